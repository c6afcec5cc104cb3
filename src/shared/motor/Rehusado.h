#pragma once
// Un límite de los libros rehusado al confirmar es un error del documento; cualquier otra falla
// del motor de datos (ocupado, disco) sigue su camino. Se llama dentro del catch que la recibe.
#include "platform/db/DB.h"
#include "shared/motor/Resultado.h"

namespace tv::motor {

inline Resultado& Rehusado(const EDBEngineError& e, Resultado& r) {
  if (e.ErrorCode() != DBIERR_RULEVIOL) throw;
  r.errores.push_back({"", e.Message.str()});
  r.codigo = static_cast<unsigned short>(e.ErrorCode());
  return r;
}

}  // namespace tv::motor
