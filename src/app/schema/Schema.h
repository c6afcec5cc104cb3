#pragma once
// Esquema de una contabilidad y de la carpeta del programa: una sola definición sirve a la
// instalación y a las pruebas.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/db/sql/Translator.h"

struct sqlite3;

namespace tv::schema {

using tv::db::ColumnKind;

struct FieldDef {
  std::string name;
  ColumnKind kind = ColumnKind::Text;
  int size = 0;  // ancho de los textos
};

struct IndexDef {
  IndexDef(std::string n, std::vector<std::string> f, std::string c = "")
      : name(std::move(n)), fields(std::move(f)), collate(std::move(c)) {}
  std::string name;
  std::vector<std::string> fields;
  // Orden de los campos al consultar ("ES": español, para nombres); vacío: el del motor. El
  // índice guardado no lo lleva: los libros quedan de SQLite simple, que cualquier cliente
  // escribe y revisa; quien recorre la tabla por el índice ordena con él.
  std::string collate;
};

enum class Place { Books, Program };

struct TableDef {
  std::string name;  // como se guarda
  Place place = Place::Books;
  bool work = false;          // tabla de trabajo de un formulario o informe
  bool createdBySql = false;  // la crea por SQL el informe que la usa; no viene instalada
  std::vector<FieldDef> fields;
  std::vector<std::string> key;  // identidad única (clave primaria)
  std::vector<IndexDef> indexes;

  const FieldDef* Field(std::string_view fieldName) const;
};

// Todas las tablas, en el orden en que se crean.
const std::vector<TableDef>& AllTables();
const TableDef* FindTable(std::string_view name);  // sin distinguir mayúsculas, con o sin ".db"

// Texto DDL de una tabla y de sus índices.
std::string CreateTableSql(const TableDef& table);
std::vector<std::string> CreateIndexSql(const TableDef& table);

// Corre texto SQL en la conexión. Lanza std::runtime_error con el mensaje de SQLite y el texto.
void ExecSql(sqlite3* db, const std::string& sql);

// Crea en la conexión las tablas del lugar que falten (las creadas por SQL solo con
// includeSqlCreated). Devuelve los nombres de las tablas creadas.
std::vector<std::string> CreateMissingTables(sqlite3* db, Place place, bool includeSqlCreated = false);

// Lleva las tablas instaladas de un lugar a su definición: crea las que falten, añade las
// columnas e índices que falten y ensancha los textos más angostos que su definición (la
// tabla se reconstruye conservando filas e identificadores de fila). Idempotente; todo en una
// transacción, que solo se abre cuando hay algo que cambiar. Devuelve lo que cambió, como
// "tabla", "tabla.columna", "tabla:índice" o "tabla.columna(ancho)".
// Nunca escribe unos libros de solo lectura; cuando solo faltan índices y otro puesto tiene
// tomada la escritura, no espera: los índices quedan para una apertura siguiente.
std::vector<std::string> UpgradeSchema(sqlite3* db, Place place);
// Lo mismo sobre la conexión compartida de una carpeta (contabilidad o programa), cuyo
// esquema en memoria se renueva cuando algo cambió.
std::vector<std::string> UpgradeBooks(const std::string& folder);
// Rehace las estadísticas del planificador de unos libros cuando faltan o quedaron cortas
// frente al diario (nada en un medio de solo lectura, ni cuando otro puesto tiene tomada la
// escritura: quedan para una apertura siguiente). Verdadero cuando las rehízo.
bool KeepStatistics(sqlite3* db);
std::vector<std::string> UpgradeProgram(const std::string& folder);
// Verdadero cuando los libros de la carpeta se abrieron solo para leer (el archivo o la
// carpeta no se pueden escribir).
bool BooksReadOnly(const std::string& folder);

// Crea las tablas que falten en el archivo de base de datos de una carpeta.
std::vector<std::string> CreateBookTables(const std::string& folder);
std::vector<std::string> CreateProgramTables(const std::string& folder);

// Instalación completa: carpeta del programa con sus tablas, "data.ini",
// "codigosMunicipios.txt", "images" y la contabilidad inicial. Solo crea lo que falta:
// nunca toca datos existentes.
void InstallProgramFolder(const std::string& programFolder);
// La misma instalación en una carpeta nueva (para las pruebas).
void CreateFreshInstallation(const std::string& folder);

// Datos de la contabilidad inicial.
inline constexpr const char* kStarterBooksName = "Ejemplo";
inline constexpr int kStarterYear = 2026;
std::string StarterBooksFolder(const std::string& programFolder);  // <carpeta>/Ejemplo2026

}  // namespace tv::schema
