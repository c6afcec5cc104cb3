#pragma once
// Redondeo y presentación de montos con separador de miles y decimales fijos.
#include "platform/core/AnsiString.h"

// Redondea aValor a numeDeci decimales; las mitades suben (2.5 → 3, -2.5 → -2).
// base no interviene en el cálculo: se conserva por los llamadores.
double round(double aValor, int numeDeci, float base);
// Redondea a múltiplo de 1000; desde 500 sube (1499 → 1000, 1500 → 2000).
int redondearToMil(double aValor);
// Texto de presentación en un búfer estático que cada llamada sobrescribe.
// Más de 24 dígitos: mensaje con los dígitos y MyException.
char* Punto(double valor, int numeDeci);
// Reformatea el texto de un número (el de un campo, o un monto en texto).
AnsiString Punto(const AnsiString& valor, int numeDeci);
// Inserta nuevo para que quede en la posición (desde 1); 0 no cambia nada.
char* inseCade(char* cadena, int posicion, char nuevo);
