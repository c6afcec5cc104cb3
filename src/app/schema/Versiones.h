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

// Una escritura de muchas filas (cambio masivo, saldos iniciales, libros generados): dentro de
// la transacción de quien llama quita los disparadores de versión, para no escribir una versión
// por fila; cada documento tocado avanza una vez con Avanzar...(), y Terminar() vuelve a poner
// los disparadores antes de confirmar. Sin Terminar() (una falla) el destructor los pone de
// nuevo y quien llama deshace su transacción. Lanza std::runtime_error.
class EscrituraMasiva {
 public:
  // Con `todos` también los de los documentos de presupuesto y pagos; si no, solo los del diario.
  explicit EscrituraMasiva(sqlite3* db, bool todos = false);
  ~EscrituraMasiva();
  EscrituraMasiva(const EscrituraMasiva&) = delete;
  EscrituraMasiva& operator=(const EscrituraMasiva&) = delete;

  // Los documentos del diario con líneas de MVT que cumplen `dondeMvt` (SQL de SQLite). Las
  // claves que la escritura cambia avanzan antes y después de cambiarlas.
  void AvanzarDiario(const std::string& dondeMvt);
  // Todos los documentos de los libros, del diario y (con `todos`) de los demás.
  void AvanzarTodos();
  void Terminar();

 private:
  sqlite3* db_;
  std::vector<std::string> disparadores_;  // el SQL guardado de los que se quitaron
  bool todos_;
  bool terminada_ = false;
};

}  // namespace tv::schema
