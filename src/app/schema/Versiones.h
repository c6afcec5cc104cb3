#pragma once
// Versión de cada documento contable: una fila por tipo y número que avanza con toda escritura
// de sus líneas (MVT) o de su encabezado (mvtMaestro), la haga este programa u otro cliente de
// SQLite. Los disparadores usan solo SQL estándar de SQLite: cualquier cliente escribe los libros.
#include <string>
#include <vector>

struct sqlite3;

namespace tv::schema {

inline constexpr const char* kTablaVersiones = "mvtVersion";
// Versión de los demás documentos (presupuesto y pagos), por clase y clave: la fila queda tras
// borrar el documento, así que su versión nunca vuelve a empezar.
inline constexpr const char* kTablaVersionesDoc = "docVersion";

// Sentencias idempotentes que crean la tabla de versiones y sus disparadores.
const std::vector<std::string>& DocumentVersionSql();

// Crea lo que falte dentro de la transacción de quien llama. Lanza std::runtime_error.
void CreateDocumentVersions(sqlite3* db);

// Al abrir unos libros: crea lo que falte cuando se pueden escribir y el bloqueo de escritura
// está libre en el acto; si no, queda para otra apertura. Nunca lanza. Verdadero cuando creó.
bool KeepDocumentVersions(sqlite3* db);

// Versión guardada del documento de la clase ("MP" movimiento presupuestal, clave número + "|" +
// tipo; "CD" certificado; "RP" registro; "OS" orden de servicio; "SU" orden de suministro; "OP"
// orden de pago; "RI" reintegros de un certificado; las demás claves, el número entero en texto).
// 0 cuando nada lo ha escrito. Lee la contabilidad abierta ("Contabilidad").
long long VersionDoc(const std::string& clase, const std::string& clave);
long long VersionDoc(sqlite3* db, const std::string& clase, const std::string& clave);
// La clave de un documento numerado: "20260001".
std::string ClaveDoc(long long numero);

}  // namespace tv::schema
