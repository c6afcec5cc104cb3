#pragma once
// Montos de los motores: centavos enteros entre la ventana y los libros, que guardan pesos.
#include <cmath>
#include <cstdint>

#include "platform/core/SysUtils.h"

namespace tv::motor {

// Redondea al centavo como el resto del programa (mitad lejos de cero sobre 15 cifras).
inline std::int64_t CentavosDe(double pesos) {
  return std::isfinite(pesos) ? static_cast<std::int64_t>(std::llround(RoundToCents(pesos) * 100)) : 0;
}

}  // namespace tv::motor
