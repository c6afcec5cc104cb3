#pragma once
// Montos en los campos con máscara de miles de los documentos presupuestales. La máscara se
// arma según las cifras del valor; uno escrito con la máscara de otro quedaría cortado
// (30.000.000 con la de tres cifras se ve "300" y se graba 300).
class TMaskEdit;
class AnsiString;

// Escribe el monto desde el programa: sin la máscara anterior, y con la suya cuando la admite.
void MostrarMonto(TMaskEdit* aCampo, const AnsiString& aTexto);
// Pone la máscara de miles al monto que el campo tiene, solo cuando es un entero sin signo que
// cabe entero en ella; con centavos, signo u otra cosa el campo queda sin máscara.
void EnmascararMonto(TMaskEdit* aCampo);
