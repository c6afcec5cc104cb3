#pragma once
// Cambio del tipo o del número de un documento del diario (renumerar, renombrar).
#include <string>

namespace tv::motor {

// Pasa líneas y encabezado de (tipo, numero) a (tipoNuevo, numeroNuevo) en una transacción; el
// documento viejo y el nuevo avanzan su versión una vez, no una por línea. Quien llama ya
// revisó que el destino esté libre. Las fallas del motor de datos se lanzan (nada quedó escrito).
void CambiarClaveDocumento(const std::string& baseDatos, const std::string& tipo, const std::string& numero,
                           const std::string& tipoNuevo, const std::string& numeroNuevo);

}  // namespace tv::motor
