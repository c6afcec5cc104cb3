#pragma once
// Grabación de una orden de pago: la fila de la orden y su asiento (`_OP n`) en una sola
// transacción de escritura, con el número, lo pendiente del registro y el dueño del asiento
// revisados sobre lo guardado dentro de ella.
#include <cstdint>
#include <map>
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
  long long versionTraida = 0;  // orden guardada: su versión cuando se trajo
};

// La orden guardada con la versión que tenía, leídas juntas; vacío si no está. Las líneas del
// asiento no se traen (tipo y número sí).
std::optional<OrdenPago> TraerOrdenPago(const std::string& baseDatos, std::int64_t numero);

// La versión de cada orden de pago que alguna escritura tocó (las demás: 0). Leída antes que una
// lista de órdenes, lo que la lista muestra nunca es más viejo que su versión.
std::map<std::int64_t, long long> VersionesOrdenesPago(const std::string& baseDatos);

// Lo que el registro tiene aún sin pagar, en centavos, sin contar lo que la orden `propia` (0:
// ninguna) ya le paga: hasta dónde llega esa orden. La misma cuenta que revisa la grabación.
std::int64_t PendienteDeRegistro(const std::string& baseDatos, std::int64_t registro, std::int64_t propia = 0);

// Promete: grabado solo si (1) una orden nueva trae un número libre, (2) una guardada sigue en la
// versión que se trajo, (3) lo que pide cabe en lo pendiente de pagar del registro, (4) el
// número del asiento es de esta orden o está libre. Si no, nada cambió y el error lleva su
// campo: "orden" (número tomado; el siguiente en numeroLibre), "version" (kDocumentoModificado),
// "valor" (lo pendiente, una frase por línea) o "numeDocu" (asiento ajeno; el siguiente libre en
// numeroLibre). Un límite de los libros al confirmar llega con su código. Grabado, `version` es
// la que la orden quedó teniendo.
Resultado GrabarOrdenPago(const std::string& baseDatos, const OrdenPago& o);

// Promete: borra la orden y su asiento (solo si el asiento es de ella) cuando sigue en la versión
// que se trajo; si no, nada cambia y el error "version" lo dice.
Resultado BorrarOrdenPago(const std::string& baseDatos, std::int64_t numero, long long versionTraida);

// Promete: borra el registro con sus órdenes de pago y el asiento de cada una (solo el suyo)
// cuando el registro sigue en `versionRegistro` y cada orden que hoy tiene en la versión que la
// lista leyó (`versionesPagos`, las demás 0: una orden que otro agregó después lo impide); si
// no, nada cambia y el error "version" lo dice.
Resultado BorrarRegistroYPagos(const std::string& baseDatos, std::int64_t irp, long long versionRegistro,
                               const std::map<std::int64_t, long long>& versionesPagos);

// Promete: corre en `paso` (+1 abre un hueco en `desde`, -1 lo cierra justo debajo) las órdenes
// desde `desde`, que es la elegida y sigue en `versionTraida` (si no, error "version"), con los
// asientos de sus tipos cuyo número es de solo dígitos y las órdenes que nombran los
// comprobantes; todo o nada. Bajar exige el número de abajo libre (error "numero").
Resultado CorrerOrdenesPago(const std::string& baseDatos, std::int64_t desde, int paso, long long versionTraida);

}  // namespace tv::motor
