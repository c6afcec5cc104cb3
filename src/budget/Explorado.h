#pragma once
// Lo que los exploradores del presupuesto y de pagos comparten al pedir un cambio a su motor:
// el número de la fila elegida, exacto, y el rehúso del motor mostrado con sus frases.
#include <cstdint>

#include "platform/core/AnsiString.h"
#include "shared/motor/Resultado.h"

class TField;

// Un número de documento guardado como entero exacto de 64 bits; 0 vacío.
std::int64_t NumeroDocDe(TField* f);
// El número escrito en una sentencia o un mensaje: "20260001".
AnsiString TextoEntero(std::int64_t n);
// Verdadero cuando el motor hizo el cambio; si no, muestra sus frases.
bool Hecho(const tv::motor::Resultado& r);
