#pragma once
// Montos escritos en palabras (español, mayúsculas) para los documentos impresos.
#include <string>

#include "platform/core/AnsiString.h"

void unDigito(int numero, char* cadena);
void dosDigitos(int numero, char* cadena);
void tresDigitos(int numero, char* cadena);
// Palabras de una cadena de dígitos (a lo sumo 29) en cadenaNume, que también devuelve.
char* montoEscrito(const char* cadena, char* cadenaNume, bool addPesos);
// Palabras de un monto en texto con parte decimal opcional tras el separador decimal del
// usuario. cadenaNume es búfer de trabajo del llamador y puede ser nulo.
AnsiString montoEscritoPlus(const char* cadena, char* cadenaNume, bool addPesos);

// Versiones sobre std::string que usan las anteriores.
std::string MontoEscritoTexto(const std::string& digitos, bool addPesos);

// Palabras de un monto a partir del número mismo, redondeado a centavos: la parte entera,
// y " PUNTO " con los centavos cuando los hay; un negativo lleva "MENOS " delante. Es la
// única fuente de las palabras de los impresos. Nunca lanza: un valor que no es número o
// que no cabe en las tablas da el texto vacío.
AnsiString MontoEnLetras(double valor, bool addPesos);
