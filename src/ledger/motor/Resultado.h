#pragma once
// Lo que devuelve un motor: lo grabado, o los errores con el campo que tocan y su texto.
#include <string>
#include <vector>

namespace tv::motor {

struct ErrorCampo {
  std::string campo;  // "" cuando no es de un campo
  std::string texto;
};

struct Resultado {
  bool grabado = false;
  std::vector<ErrorCampo> errores;
  std::string numeroLibre;  // el siguiente número libre cuando el pedido está ocupado
  unsigned short codigo = 0;  // código del motor de datos cuando la confirmación se rehusó

  bool Tiene(const std::string& campo) const {
    for (const auto& e : errores)
      if (e.campo == campo) return true;
    return false;
  }
  // Los textos, uno por línea.
  std::string Texto() const {
    std::string t;
    for (const auto& e : errores) t += (t.empty() ? "" : "\n") + e.texto;
    return t;
  }
};

}  // namespace tv::motor
