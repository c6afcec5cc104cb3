#pragma once
// Claves de los usuarios: permisos.db guarda un resumen con sal (argon2id de libsodium),
// nunca la clave escrita.
#include "platform/core/AnsiString.h"

// Resumen de una clave, listo para guardar. Lanza Exception si la biblioteca falla.
AnsiString CifrarClave(const AnsiString& clave);
// Verdadero cuando el texto guardado es un resumen y no una clave de una tabla antigua.
bool EsClaveCifrada(const AnsiString& guardada);
// Compara la clave escrita con lo guardado: contra el resumen, o exacta con una clave
// antigua sin cifrar (vacía incluida).
bool ClaveCoincide(const AnsiString& escrita, const AnsiString& guardada);
// Guarda el resumen de la clave en la fila del usuario en permisos.db de la carpeta (o
// alias) y lo devuelve. Se escribe por SQL para no depender del ancho del campo en
// tablas antiguas.
AnsiString GuardarClave(const AnsiString& baseDatos, const AnsiString& login, const AnsiString& clave);
// Texto SQL entre comillas simples, con las comillas internas dobladas.
AnsiString ComillasSQL(const AnsiString& valor);
