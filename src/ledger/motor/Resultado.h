#pragma once
// El resultado de los motores del diario es el de todos los motores.
#include "shared/motor/Resultado.h"
