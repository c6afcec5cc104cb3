#pragma once
// Títulos en español de las columnas de rejilla que no traen uno propio: el nombre del campo
// ("icuenta", "m1") no es algo que el usuario deba leer.
#include "platform/core/AnsiString.h"

AnsiString TituloCampo(const AnsiString& aCampo);
// Un campo numérico con nombre de monto ("valor", "debito", "m1"...) se lee con dos decimales y
// los separadores del usuario.
bool EsCampoMonto(const AnsiString& aCampo);
// Deja los títulos y los montos puestos para toda rejilla del programa.
void RegistrarTitulosCampos();
