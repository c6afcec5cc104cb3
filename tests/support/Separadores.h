#pragma once
// Separadores de montos con que corren las pruebas de la aplicación: TALLIVAR_TEST_DECIMAL
// "," (el predeterminado del programa: decimal "," y miles ".") o "." (decimal "." y miles ",").
#include <cstdlib>
#include <string>

#include "platform/os/Regional.h"

namespace prueba {

inline bool DecimalEsPunto() {
  const char* v = std::getenv("TALLIVAR_TEST_DECIMAL");
  return v != nullptr && std::string(v) == ".";
}

// Deja los separadores del usuario según la variable; quien llama aplica la configuración.
inline void SeparadoresDePrueba() {
  const bool punto = DecimalEsPunto();
  tv::os::SetUserDecimalSeparator(punto ? "." : ",");
  tv::os::SetUserThousandSeparator(punto ? "," : ".");
}

}  // namespace prueba

namespace prueba {

// Un monto como lo teclea el usuario: el texto escrito con "." pasa al separador decimal
// de la prueba ("100.50" es "100,50" con coma decimal).
inline std::string Tecleado(std::string texto) {
  if (!DecimalEsPunto())
    for (char& c : texto)
      if (c == '.') c = ',';
  return texto;
}

}  // namespace prueba

namespace prueba {

// Un monto como lo muestra el programa, escrito en la prueba con decimal "." y miles ",":
// con coma decimal se intercambian ("1,500.25" es "1.500,25").
inline std::string Mostrado(std::string texto) {
  if (!DecimalEsPunto())
    for (char& c : texto)
      c = c == '.' ? ',' : c == ',' ? '.' : c;
  return texto;
}

}  // namespace prueba
