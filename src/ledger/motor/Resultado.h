#pragma once
// Lo que devuelve un motor: lo grabado, o los errores con el campo que tocan y su texto.
#include <string>
#include <vector>

namespace tv::motor {

// La frase con que se rehúsa grabar o borrar un documento que otro guardó después de traerlo,
// la misma para toda clase de documento.
inline constexpr const char* kDocumentoModificado =
    "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.";

struct ErrorCampo {
  std::string campo;  // "" cuando no es de un campo
  std::string texto;
};

struct Resultado {
  bool grabado = false;
  std::vector<ErrorCampo> errores;
  std::string numeroLibre;  // el siguiente número libre cuando el pedido está ocupado
  unsigned short codigo = 0;  // código del motor de datos cuando la confirmación se rehusó
  long long version = 0;  // grabado: la versión que el documento quedó teniendo (0 borrado)

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
