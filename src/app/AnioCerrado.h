#pragma once
// Documentos grabados en un año que ya se cerró: la grabación vale (el cierre se puede
// repetir), pero los saldos iniciales del año siguiente no la incluyen hasta repetirlo.
#include "platform/core/SysUtils.h"

// Verdadero cuando los libros abiertos tienen el comprobante de cierre anual ("CCA") del año.
bool AnioCerrado(int anio);
// Tras una grabación que terminó bien: si la fecha cae en un año cerrado, lo dice.
void AvisarSiAnioCerrado(const TDateTime& fecha);
