#pragma once
// Reintegros: dinero devuelto a un rubro de egreso. Se agregan libremente; borrar uno o bajarle
// el valor o cambiarle el rubro solo cabe si ese dinero sigue disponible en su rubro, medido en
// la misma transacción de escritura que hace el cambio.
#include <cstdint>
#include <map>
#include <string>

#include "ledger/motor/Resultado.h"

namespace tv::motor {

struct Reintegro {
  std::string rubro;
  std::int64_t valor = 0;  // centavos
  std::string fecha;       // ISO; "" sin fecha
  std::string justificacion;
  std::string usuario;
};

// Agrega el reintegro (sin certificado: cdp 0).
Resultado GrabarReintegro(const std::string& baseDatos, const Reintegro& r);

// La versión que tiene cada fila (rowid): la de los reintegros de su certificado ("RI"), que
// avanza con toda escritura de cualquiera de ellos. Leída antes que las filas que se muestran,
// lo mostrado nunca es más viejo que su versión; una fila que no está aquí se trajo sin versión.
std::map<std::int64_t, long long> VersionesReintegros(const std::string& baseDatos);

// Promete: borra la fila (rowid) solo si sigue en la versión traída y su rubro queda con
// disponible >= 0; si no, nada cambia y el error lo dice ("version": kDocumentoModificado).
Resultado BorrarReintegro(const std::string& baseDatos, std::int64_t fila, long long versionTraida);

// Promete: escribe rubro, valor, fecha y justificación de la fila solo si sigue en la versión
// traída y el rubro que tenía queda con disponible >= 0; si no, nada cambia y el error lo dice.
Resultado ModificarReintegro(const std::string& baseDatos, std::int64_t fila, const Reintegro& r,
                             long long versionTraida);

}  // namespace tv::motor
