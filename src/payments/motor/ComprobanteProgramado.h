#pragma once
// Comprobante hecho con una plantilla (`CE n`, `CP n`): su documento del diario lleva la marca
// de plantilla y, en un comprobante de pago, las órdenes que paga. Se graba y se borra solo
// cuando el documento es suyo o está libre, revisado en la misma transacción de escritura.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ledger/motor/Resultado.h"

namespace tv::motor {

struct LineaComprobante {
  std::string cuenta, rubro;
  bool debito = true;
  std::int64_t monto = 0;  // centavos
};

struct ComprobanteProgramado {
  std::string tipo, numero;
  std::string fecha;  // ISO
  std::string tercero, centroCosto, detalle, cheque, usuario;
  std::array<std::int64_t, 5> ordenes{};  // op1..op5; 0 = ninguna
  std::vector<LineaComprobante> lineas;
  std::int64_t valor = 0;  // centavos
  int qitems = 0;          // filas de la rejilla con la de títulos
};

// Promete: grabado reemplaza el comprobante del mismo número (si era un comprobante
// programado) y nada más; un número con asiento manual o de una orden de pago se rehúsa con
// el error de campo "numero" y el siguiente número libre.
Resultado GrabarComprobanteProgramado(const std::string& baseDatos, const ComprobanteProgramado& c);

// Promete: borra el comprobante solo si es un comprobante programado; un documento de otro
// dueño queda como estaba y se rehúsa con su error.
Resultado BorrarComprobanteProgramado(const std::string& baseDatos, const std::string& tipo,
                                      const std::string& numero);

}  // namespace tv::motor
