#pragma once
// Versión de cada documento contable: una fila por tipo y número que avanza con toda escritura
// de sus líneas (MVT) o de su encabezado (mvtMaestro), la haga este programa u otro cliente de
// SQLite. Los disparadores usan solo SQL estándar de SQLite: cualquier cliente escribe los libros.
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tv::schema {

inline constexpr const char* kTablaVersiones = "mvtVersion";
// Versión de los demás documentos (presupuesto y pagos), por clase y clave: la fila queda tras
// borrar el documento, así que su versión nunca vuelve a empezar.
inline constexpr const char* kTablaVersionesDoc = "docVersion";

// Una fila aquí, solo dentro de la transacción de una escritura masiva, pausa todos los
// disparadores de versión de esa transacción (EscrituraMasiva).
inline constexpr const char* kTablaPausa = "versionPausa";

// Crea lo que falte y rehace los disparadores que no son los de ahora, dentro de la transacción
// de quien llama. Lanza std::runtime_error.
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

// Una escritura de muchas filas (cambio masivo, saldos iniciales, libros generados) o de un
// documento entero (renumerar): dentro de la transacción de quien llama los disparadores de
// versión no escriben una versión por fila; cada documento tocado avanza una vez con
// Avanzar...(), y Terminar() los deja como estaban antes de confirmar. Sin Terminar() (una
// falla) el destructor los deja como estaban y quien llama deshace su transacción. Lanza
// std::runtime_error.
class EscrituraMasiva {
 public:
  // Diario y Todas quitan los disparadores (del diario; de todos los documentos) hasta
  // Terminar(): un cambio de esquema que solo paga en miles de filas. Pocas los pausa con una
  // fila en kTablaPausa, que cuesta una prueba por fila escrita.
  enum class Filas { Diario, Todas, Pocas };
  explicit EscrituraMasiva(sqlite3* db, Filas filas = Filas::Diario);
  ~EscrituraMasiva();
  EscrituraMasiva(const EscrituraMasiva&) = delete;
  EscrituraMasiva& operator=(const EscrituraMasiva&) = delete;

  // Los documentos del diario con líneas de MVT que cumplen `dondeMvt` (SQL de SQLite). Las
  // claves que la escritura cambia avanzan antes y después de cambiarlas.
  void AvanzarDiario(const std::string& dondeMvt);
  // Un documento del diario, tenga o no líneas.
  void AvanzarDocumento(const std::string& tipo, const std::string& numero);
  // Todos los documentos de los libros, del diario y (salvo con Filas::Diario) de los demás.
  void AvanzarTodos();
  void Terminar();

 private:
  sqlite3* db_;
  bool todos_;
  bool pausada_ = false;
  std::vector<std::string> disparadores_;  // el SQL guardado de los que se quitaron
  sqlite3_stmt* avance_ = nullptr;         // AvanzarDocumento, preparado una vez
};

}  // namespace tv::schema
