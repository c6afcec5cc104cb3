#pragma once
// El asiento de una orden de pago (`_OP n`): la orden lo escribe solo cuando es suyo o está
// libre. Dentro de la misma transacción de escritura que la orden se revisa el dueño, se borra
// el asiento propio y se escribe el nuevo; un asiento manual o de otra orden nunca se borra.
#include <cstdint>
#include <string>
#include <vector>

#include "ledger/motor/Resultado.h"

namespace tv::motor {

struct LineaAsientoOrden {
  std::string cuenta;
  bool debito = true;
  std::int64_t monto = 0;  // centavos
};

struct AsientoOrdenPago {
  std::string tipo;            // tipo de documento de las órdenes ("_OP")
  std::string numero;          // número del asiento con que se graba
  std::string numeroGuardado;  // el que la orden tenía guardado ("" para una orden nueva)
  std::int64_t orden = 0;      // número de la orden de pago
  std::string fecha;           // ISO
  std::string tercero, detalle, usuario;
  std::vector<LineaAsientoOrden> lineas;
  std::int64_t valor = 0;  // centavos: suma de los débitos
  int qitems = 0;          // filas de la rejilla con la de títulos
};

// El texto con que se rehúsa un número que tiene un asiento manual.
inline constexpr const char* kAsientoManual =
    "Existe un asiento hecho manualmente que debe llamar por la opción \"Asientos manuales\"";

// Revisa el dueño del número y escribe el asiento en la transacción abierta de baseDatos (abre
// una propia si no hay). Promete: si no es grabado nada se escribió y el error de campo
// "numeDocu" trae el siguiente número libre; si es grabado, el asiento viejo de esta orden (el
// de numeroGuardado) ya no está y el nuevo sí, sin tocar asientos de otros dueños.
Resultado EscribirAsientoOrdenPago(const std::string& baseDatos, const AsientoOrdenPago& a);

}  // namespace tv::motor
