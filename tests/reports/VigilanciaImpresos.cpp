// Toda prueba de este binario falla si algún impreso deja un texto cortado.
#include "impresos/Impresos.h"

namespace {
const bool registrada = impresos::VigilaCortes::Registrar();
}  // namespace
