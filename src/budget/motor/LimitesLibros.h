#pragma once
// Los límites de los libros, revisados una sola vez: al confirmar cada transacción de la
// contabilidad, sobre las cifras guardadas de toda clave que la escritura tocó, la haga un
// formulario, un explorador, una renumeración, un borrado o cualquier otro camino.
//
// - Rubro de egreso: definitivo + reintegros - certificado >= 0.
// - Certificado: ninguna fila negativa, sus filas suman su valor, registros <= certificado.
// - Registro: sus órdenes (servicio y suministro) <= registro; sus órdenes de pago <= registro.
//
// Una clave que ya estaba fuera de su límite antes de la escritura (libros de versiones
// anteriores) puede quedar igual o mejor, nunca peor. Una violación deshace toda la escritura y
// la confirmación lanza EDBEngineError con la frase que nombra la clave y sus cifras.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

namespace tv::motor {

// Lo que tocó una escritura: tipo ("rubro", "certificado", "registro") y clave.
struct ClaveTocada {
  std::string tipo;
  std::string clave;  // rubro, o número del documento tal como está guardado
};

// Cifras de una clave en una base (la transacción en curso o lo último confirmado), en
// centavos. Cada límite da un exceso: mayor que cero cuando no se cumple.
struct ExcesoLimite {
  std::int64_t exceso = 0;
  std::string mensaje;  // frase para el usuario cuando exceso > 0
};
// Los excesos de la clave en db, uno por límite, en orden fijo.
std::vector<ExcesoLimite> ExcesosDeClave(sqlite3* db, const ClaveTocada& clave);

// Registra la revisión en la capa de datos (una vez por proceso; llamarla de nuevo no hace nada).
void InstalarLimitesLibros();

// Las frases de lo que no cabe entre las claves dadas, comparando cada límite de `ahora` con el
// de `antes` (nullptr: antes todo cabía). Vacío cuando todo cabe.
std::vector<std::string> RevisarClaves(sqlite3* ahora, sqlite3* antes, const std::vector<ClaveTocada>& claves);

}  // namespace tv::motor
