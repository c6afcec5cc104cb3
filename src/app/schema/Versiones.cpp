#include "app/schema/Versiones.h"

#include <sqlite3.h>

#include <stdexcept>

#include "app/schema/Schema.h"

namespace tv::schema {

namespace {

// Avanza la versión del documento de la fila vieja o nueva ("old" o "new") de un disparador.
// Una fila sin tipo o sin número no es de ningún documento.
std::string Avance(const std::string& fila) {
  std::string t = std::string(kTablaVersiones);
  return "INSERT OR IGNORE INTO \"" + t + "\" (descdocu, numedocu, version) SELECT " + fila + ".descdocu, " + fila +
         ".numedocu, 0 WHERE " + fila + ".descdocu IS NOT NULL AND " + fila + ".numedocu IS NOT NULL; UPDATE \"" + t +
         "\" SET version = version + 1 WHERE descdocu = " + fila + ".descdocu AND numedocu = " + fila +
         ".numedocu; ";
}

std::vector<std::string> Sentencias() {
  std::string t = kTablaVersiones;
  std::vector<std::string> s = {"CREATE TABLE IF NOT EXISTS \"" + t +
                                "\" (descdocu VARCHAR(3), numedocu VARCHAR(15), version INTEGER NOT NULL DEFAULT 0, "
                                "PRIMARY KEY (descdocu, numedocu))"};
  for (const char* tabla : {"MVT", "mvtMaestro"}) {
    std::string base = "CREATE TRIGGER IF NOT EXISTS \"" + t + "_" + tabla + "_";
    s.push_back(base + "alta\" AFTER INSERT ON \"" + tabla + "\" BEGIN " + Avance("new") + "END");
    s.push_back(base + "cambio\" AFTER UPDATE ON \"" + tabla + "\" BEGIN " + Avance("old") + Avance("new") + "END");
    s.push_back(base + "baja\" AFTER DELETE ON \"" + tabla + "\" BEGIN " + Avance("old") + "END");
  }
  return s;
}

int Entero(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  int v = -1;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    v = sqlite3_column_int(st, 0);
  sqlite3_finalize(st);
  return v;
}

// La tabla y sus seis disparadores ya están; sin MVT o sin mvtMaestro no hay sobre qué ponerlos.
bool Completas(sqlite3* db) {
  std::string t = kTablaVersiones;
  std::string sql = "SELECT (SELECT count(*) FROM sqlite_master WHERE (type='table' AND name='" + t +
                    "') OR (type='trigger' AND name LIKE '" + t + "^_%' ESCAPE '^')) = 7 OR (SELECT count(*) FROM "
                    "sqlite_master WHERE type='table' AND lower(name) IN ('mvt', 'mvtmaestro')) < 2";
  return Entero(db, sql.c_str()) == 1;
}

}  // namespace

const std::vector<std::string>& DocumentVersionSql() {
  static const std::vector<std::string> s = Sentencias();
  return s;
}

void CreateDocumentVersions(sqlite3* db) {
  if (Completas(db)) return;
  for (const auto& sql : DocumentVersionSql()) ExecSql(db, sql);
}

bool KeepDocumentVersions(sqlite3* db) {
  if (sqlite3_db_readonly(db, "main") != 0 || Completas(db)) return false;
  // Sin esperar: con otro puesto escribiendo, la apertura sigue y lo hará otra.
  int espera = Entero(db, "PRAGMA busy_timeout");
  sqlite3_busy_timeout(db, 0);
  bool creadas = false;
  if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
    try {
      CreateDocumentVersions(db);
      ExecSql(db, "COMMIT");
      creadas = true;
    } catch (const std::exception&) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  sqlite3_busy_timeout(db, espera > 0 ? espera : 0);
  return creadas;
}

}  // namespace tv::schema
