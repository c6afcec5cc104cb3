#pragma once
// Grabación de una orden de pago: la fila de la orden y su asiento (`_OP n`) en una sola
// transacción de escritura, con el número, lo pendiente del registro y el dueño del asiento
// revisados sobre lo guardado dentro de ella.
#include <cstdint>
#include <optional>
#include <string>

#include "ledger/motor/Resultado.h"
#include "payments/motor/AsientoOrdenPago.h"

namespace tv::motor {

struct OrdenPago {
  std::int64_t numero = 0;  // iop
  bool nueva = true;
  std::int64_t registro = 0;  // irp
  std::string fechaExped, fechaVenc;  // ISO
  std::string tercero, objetoGasto, numeroCheque, banco;
  std::int64_t valor = 0;  // centavos
  std::optional<std::int64_t> valorCheque, valorEfectivo;  // centavos; vacío deja lo guardado
  std::int64_t plantilla = 0;  // iAstoProg
  AsientoOrdenPago asiento;    // tipo, número, líneas y valor del asiento (orden = numero)
};

// Promete: grabado solo si (1) una orden nueva trae un número libre, (2) lo que pide cabe en lo
// pendiente de pagar del registro, (3) el número del asiento es de esta orden o está libre. Si
// no, nada cambió y el error lleva su campo: "orden" (número tomado; el siguiente en
// numeroLibre), "valor" (lo pendiente, una frase por línea) o "numeDocu" (asiento ajeno; el
// siguiente libre en numeroLibre). Un límite de los libros al confirmar llega con su código.
Resultado GrabarOrdenPago(const std::string& baseDatos, const OrdenPago& o);

}  // namespace tv::motor
