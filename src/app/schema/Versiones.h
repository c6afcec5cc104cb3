#pragma once
// Versión de cada documento contable: una fila por tipo y número que avanza con toda escritura
// de sus líneas (MVT) o de su encabezado (mvtMaestro), la haga este programa u otro cliente de
// SQLite. Los disparadores usan solo SQL estándar de SQLite: cualquier cliente escribe los libros.
#include <string>
#include <vector>

struct sqlite3;

namespace tv::schema {

inline constexpr const char* kTablaVersiones = "mvtVersion";

// Sentencias idempotentes que crean la tabla de versiones y sus disparadores.
const std::vector<std::string>& DocumentVersionSql();

// Crea lo que falte dentro de la transacción de quien llama. Lanza std::runtime_error.
void CreateDocumentVersions(sqlite3* db);

// Al abrir unos libros: crea lo que falte cuando se pueden escribir y el bloqueo de escritura
// está libre en el acto; si no, queda para otra apertura. Nunca lanza. Verdadero cuando creó.
bool KeepDocumentVersions(sqlite3* db);

}  // namespace tv::schema
