#pragma once
// Lo que devuelve un motor: lo grabado, o los errores con el campo que tocan y su frase, y los
// avisos que no impiden grabar. Lo comparten los motores del diario, del presupuesto y de pagos.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tv::motor {

// La frase con que se rehúsa grabar o borrar un documento que otro guardó después de traerlo,
// la misma para toda clase de documento.
inline constexpr const char* kDocumentoModificado =
    "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.";

// Un error de la grabación: el campo del registro al que se refiere ("" = el documento) y su
// frase para el usuario.
struct ErrorCampo {
  std::string campo;
  std::string texto;
};

struct Resultado {
  bool grabado = false;  // los motores del diario lo ponen al confirmar
  std::vector<ErrorCampo> errores;
  // Frases que no impiden grabar y que el usuario debe ver.
  std::vector<std::string> avisos;
  // Cuando el número pedido ya es de otro: el siguiente libre (en texto para el diario, en
  // número para los documentos del presupuesto).
  std::string numeroLibre;
  std::int64_t siguiente = 0;
  // Grabado: la versión que el documento quedó teniendo (la que trae quien sigue editándolo).
  long long version = 0;
  unsigned short codigo = 0;  // código del motor de datos cuando la confirmación se rehusó

  bool Grabado() const { return errores.empty(); }
  void Error(std::string campo, std::string texto) { errores.push_back({std::move(campo), std::move(texto)}); }
  bool Tiene(const std::string& campo) const {
    for (const auto& e : errores)
      if (e.campo == campo) return true;
    return false;
  }
  // Los errores, uno por línea.
  std::string Texto() const {
    std::string t;
    for (const auto& e : errores) t += (t.empty() ? "" : "\n") + e.texto;
    return t;
  }
};

}  // namespace tv::motor
