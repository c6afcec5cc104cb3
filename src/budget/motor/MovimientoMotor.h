#pragma once
// Motor del movimiento presupuestal (apropiación, adición, reducción, traslado). Promete, en una
// sola transacción de escritura:
// - un documento se graba solo si nadie lo grabó después de traerlo (su versión, que nunca
//   vuelve a empezar tras borrarlo y crearlo de nuevo);
// - el documento viejo sale y el nuevo entra completo, o nada;
// - en un traslado, cada rubro de donde sale dinero lo tiene, medido sin el propio documento.
// Los límites de los libros (el disponible de cada rubro tocado) se revisan además al confirmar.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "budget/motor/Libros.h"

namespace tv::motor {

struct RenglonMovimiento {
  std::string rubro;
  std::string tipo;  // "I" ingreso, "E" egreso
  std::optional<std::int64_t> ingreso;  // centavos; sin valor se guarda nulo
  std::optional<std::int64_t> egreso;
  std::string cuentaDebito;
  std::string cuentaCredito;
};

struct MovimientoPptal {
  std::string numero;
  std::string tipo;   // "APR", "ADD", "RED", "TRA"
  std::string fecha;  // ISO
  std::string detalle;
  std::string usuario;
  int contadorEncabezado = 0;  // columna "version" del encabezado al traerlo
  std::vector<RenglonMovimiento> renglones;
};

// Campos de los errores: "version", "traslado", "limite".
Resultado GrabarMovimiento(const MovimientoPptal& movimiento, long long versionTraida);

}  // namespace tv::motor
