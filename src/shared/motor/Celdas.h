#pragma once
// Un texto del registro como lo guarda la tabla: vacío es nulo.
#include <string>

#include "platform/db/Engine.h"

namespace tv::motor {

inline tv::db::Cell TextoONulo(const std::string& s) { return s.empty() ? tv::db::Cell() : tv::db::Cell::String(s); }

}  // namespace tv::motor
