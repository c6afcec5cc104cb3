#include "app/schema/Versiones.h"

#include <sqlite3.h>

#include <stdexcept>

#include "app/schema/Schema.h"
#include "platform/db/Engine.h"

namespace tv::schema {

namespace {

// Avanza en uno la versión del documento de la fila vieja o nueva ("old" o "new") de un
// disparador, en una sola escritura; `ademas` limita cuándo. Una fila sin tipo o sin número no
// es de ningún documento.
std::string Avance(const std::string& fila, const std::string& ademas = "") {
  std::string t = std::string(kTablaVersiones);
  return "INSERT INTO \"" + t + "\" (descdocu, numedocu, version) SELECT " + fila + ".descdocu, " + fila +
         ".numedocu, 1 WHERE " + fila + ".descdocu IS NOT NULL AND " + fila + ".numedocu IS NOT NULL" + ademas +
         " ON CONFLICT (descdocu, numedocu) DO UPDATE SET version = version + 1; ";
}

// Columnas cuyo cambio cambia el documento: las que nadie escribe no avanzan su versión.
std::string ColumnasDiario(const char* tabla) {
  return std::string(tabla) == "MVT"
             ? "numecuen, cedulanit, detalle, centcost, desccomp, numecomp, debito, credito, Cantidad, rubro, "
               "descdocu, numedocu, fecha"
             : "descdocu, numedocu, fecha, valor, op1, op2, op3, op4, op5, qitems, descuadre, iusuario, "
               "tipoAsiento, detalle";
}

// El número guardado (real o entero) como texto de entero cuando lo es.
std::string Numero(const std::string& campo) {
  return "(CASE WHEN " + campo + " = CAST(" + campo + " AS INTEGER) THEN CAST(CAST(" + campo +
         " AS INTEGER) AS TEXT) ELSE CAST(" + campo + " AS TEXT) END)";
}

struct DocumentoVersionado {
  const char* tabla;
  const char* clase;
  std::string (*clave)(const std::string& fila);
};

const std::vector<DocumentoVersionado>& Documentos() {
  static const std::vector<DocumentoVersionado> d = {
      {"MvtPptalMaestro", "MP", [](const std::string& f) { return f + ".iMvtPptal || '|' || " + f + ".tipoMvtPptal"; }},
      {"mvtPptal", "MP", [](const std::string& f) { return f + ".iMvtPptal || '|' || " + f + ".tipoMvtPptal"; }},
      {"mvtCertDisp", "CD", [](const std::string& f) { return Numero(f + ".icd"); }},
      {"certDispRubros", "CD", [](const std::string& f) { return Numero(f + ".icd"); }},
      {"mvtRegPptal", "RP", [](const std::string& f) { return Numero(f + ".irp"); }},
      {"mvtOrdenServicio", "OS", [](const std::string& f) { return Numero(f + ".iOrdenServicio"); }},
      {"mvtOrdenSumiMaestro", "SU", [](const std::string& f) { return Numero(f + ".iOrdenSuministro"); }},
      {"mvtOrdenSuministro", "SU", [](const std::string& f) { return Numero(f + ".iOrdenSuministro"); }},
      {"mvtOrdenPago", "OP", [](const std::string& f) { return Numero(f + ".iop"); }},
      {"reintegros", "RI", [](const std::string& f) { return Numero(f + ".cdp"); }},
  };
  return d;
}

std::string AvanceDoc(const DocumentoVersionado& d, const std::string& fila, const std::string& ademas = "") {
  std::string t = kTablaVersionesDoc;
  std::string clave = d.clave(fila);
  return "INSERT INTO \"" + t + "\" (clase, clave, version) SELECT '" + d.clase + "', " + clave + ", 1 WHERE " +
         clave + " IS NOT NULL" + ademas + " ON CONFLICT (clase, clave) DO UPDATE SET version = version + 1; ";
}

// Tablas de documentos que hay en los libros.
std::vector<const DocumentoVersionado*> DocumentosPresentes(sqlite3* db);

std::vector<std::string> SentenciasDoc(const std::vector<const DocumentoVersionado*>& docs) {
  std::string t = kTablaVersionesDoc;
  std::vector<std::string> s = {"CREATE TABLE IF NOT EXISTS \"" + t +
                                "\" (clase VARCHAR(3) NOT NULL, clave VARCHAR(40) NOT NULL, version INTEGER NOT NULL "
                                "DEFAULT 0, PRIMARY KEY (clase, clave))"};
  for (const DocumentoVersionado* d : docs) {
    std::string base = "CREATE TRIGGER IF NOT EXISTS \"" + t + "_" + d->tabla + "_";
    s.push_back(base + "alta\" AFTER INSERT ON \"" + d->tabla + "\" BEGIN " + AvanceDoc(*d, "new") + "END");
    // la clave nueva avanza aparte solo cuando no es la vieja
    s.push_back(base + "cambio\" AFTER UPDATE ON \"" + d->tabla + "\" BEGIN " + AvanceDoc(*d, "old") +
                AvanceDoc(*d, "new", " AND " + d->clave("new") + " IS NOT " + d->clave("old")) + "END");
    s.push_back(base + "baja\" AFTER DELETE ON \"" + d->tabla + "\" BEGIN " + AvanceDoc(*d, "old") + "END");
  }
  return s;
}

std::vector<std::string> Sentencias() {
  std::string t = kTablaVersiones;
  std::vector<std::string> s = {"CREATE TABLE IF NOT EXISTS \"" + t +
                                "\" (descdocu VARCHAR(3), numedocu VARCHAR(15), version INTEGER NOT NULL DEFAULT 0, "
                                "PRIMARY KEY (descdocu, numedocu))"};
  for (const char* tabla : {"MVT", "mvtMaestro"}) {
    std::string base = "CREATE TRIGGER IF NOT EXISTS \"" + t + "_" + tabla + "_";
    s.push_back(base + "alta\" AFTER INSERT ON \"" + tabla + "\" BEGIN " + Avance("new") + "END");
    s.push_back(base + "cambio\" AFTER UPDATE OF " + ColumnasDiario(tabla) + " ON \"" + tabla + "\" BEGIN " +
                Avance("old") +
                Avance("new", " AND (new.descdocu IS NOT old.descdocu OR new.numedocu IS NOT old.numedocu)") + "END");
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

std::vector<const DocumentoVersionado*> DocumentosPresentes(sqlite3* db) {
  std::vector<const DocumentoVersionado*> r;
  for (const auto& d : Documentos()) {
    std::string sql = std::string("SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name)=lower('") +
                      d.tabla + "')";
    if (Entero(db, sql.c_str()) == 1) r.push_back(&d);
  }
  return r;
}

// La tabla de versiones de documentos y los tres disparadores de cada tabla presente.
bool CompletasDoc(sqlite3* db) {
  std::string t = kTablaVersionesDoc;
  int esperados = 1 + 3 * static_cast<int>(DocumentosPresentes(db).size());
  std::string sql = "SELECT count(*) FROM sqlite_master WHERE (type='table' AND name='" + t +
                    "') OR (type='trigger' AND name LIKE '" + t + "^_%' ESCAPE '^')";
  return Entero(db, sql.c_str()) == esperados;
}

// La tabla y sus seis disparadores ya están; sin MVT o sin mvtMaestro no hay sobre qué ponerlos.
bool CompletasDiario(sqlite3* db) {
  std::string t = kTablaVersiones;
  std::string sql = "SELECT (SELECT count(*) FROM sqlite_master WHERE (type='table' AND name='" + t +
                    "') OR (type='trigger' AND name LIKE '" + t + "^_%' ESCAPE '^')) = 7 OR (SELECT count(*) FROM "
                    "sqlite_master WHERE type='table' AND lower(name) IN ('mvt', 'mvtmaestro')) < 2";
  return Entero(db, sql.c_str()) == 1;
}

// Disparadores de una versión anterior del programa (dos escrituras por fila, en cada columna):
// se rehacen con la escritura única.
int Anteriores(sqlite3* db, const std::string& t) {
  std::string sql = "SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name LIKE '" + t +
                    "^_%' ESCAPE '^' AND sql NOT LIKE '%ON CONFLICT%'";
  return Entero(db, sql.c_str());
}

void QuitarAnteriores(sqlite3* db, const std::string& t) {
  if (Anteriores(db, t) == 0) return;
  std::vector<std::string> nombres;
  std::string sql = "SELECT name FROM sqlite_master WHERE type='trigger' AND name LIKE '" + t + "^_%' ESCAPE '^'";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
    while (sqlite3_step(st) == SQLITE_ROW) nombres.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  for (const auto& n : nombres) ExecSql(db, "DROP TRIGGER IF EXISTS \"" + n + "\"");
}

bool Existe(sqlite3* db, const std::string& tabla) {
  std::string sql = "SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name)=lower('" + tabla + "')";
  return Entero(db, sql.c_str()) == 1;
}

bool Completas(sqlite3* db) {
  return CompletasDiario(db) && CompletasDoc(db) && Anteriores(db, kTablaVersiones) == 0 &&
         Anteriores(db, kTablaVersionesDoc) == 0;
}

}  // namespace

const std::vector<std::string>& DocumentVersionSql() {
  static const std::vector<std::string> s = Sentencias();
  return s;
}

void CreateDocumentVersions(sqlite3* db) {
  QuitarAnteriores(db, kTablaVersiones);
  QuitarAnteriores(db, kTablaVersionesDoc);
  if (!CompletasDiario(db))
    for (const auto& sql : DocumentVersionSql()) ExecSql(db, sql);
  if (!CompletasDoc(db))
    for (const auto& sql : SentenciasDoc(DocumentosPresentes(db))) ExecSql(db, sql);
}

long long VersionDoc(sqlite3* db, const std::string& clase, const std::string& clave) {
  sqlite3_stmt* st = nullptr;
  long long v = 0;
  std::string sql = std::string("SELECT version FROM \"") + kTablaVersionesDoc + "\" WHERE clase=?1 AND clave=?2";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, clase.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, clave.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) v = sqlite3_column_int64(st, 0);
  }
  sqlite3_finalize(st);
  return v;  // sin tabla (libros abiertos solo para leer): ningún cambio registrado
}

EscrituraMasiva::EscrituraMasiva(sqlite3* db, bool todos) : db_(db), todos_(todos) {
  std::string sql = std::string("SELECT name, sql FROM sqlite_master WHERE type='trigger' AND (name LIKE '") +
                    kTablaVersiones + "^_%' ESCAPE '^'" +
                    (todos ? std::string(" OR name LIKE '") + kTablaVersionesDoc + "^_%' ESCAPE '^'" : "") + ")";
  std::vector<std::string> nombres;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(db_));
  while (sqlite3_step(st) == SQLITE_ROW) {
    nombres.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    disparadores_.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
  }
  sqlite3_finalize(st);
  for (const auto& n : nombres) ExecSql(db_, "DROP TRIGGER \"" + n + "\"");
}

EscrituraMasiva::~EscrituraMasiva() {
  if (terminada_) return;
  for (const auto& sql : disparadores_) sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

void EscrituraMasiva::AvanzarDiario(const std::string& dondeMvt) {
  if (!Existe(db_, kTablaVersiones)) return;
  ExecSql(db_, std::string("INSERT INTO \"") + kTablaVersiones +
                   "\" (descdocu, numedocu, version) SELECT DISTINCT descdocu, numedocu, 1 FROM MVT WHERE (" +
                   dondeMvt + ") AND descdocu IS NOT NULL AND numedocu IS NOT NULL ON CONFLICT (descdocu, numedocu) "
                   "DO UPDATE SET version = version + 1");
}

void EscrituraMasiva::AvanzarTodos() {
  if (Existe(db_, kTablaVersiones))
    for (const char* tabla : {"MVT", "mvtMaestro"})
      if (Existe(db_, tabla))
        ExecSql(db_, std::string("INSERT INTO \"") + kTablaVersiones +
                         "\" (descdocu, numedocu, version) SELECT DISTINCT descdocu, numedocu, 1 FROM \"" + tabla +
                         "\" WHERE descdocu IS NOT NULL AND numedocu IS NOT NULL ON CONFLICT (descdocu, numedocu) "
                         "DO UPDATE SET version = version + 1");
  if (!todos_ || !Existe(db_, kTablaVersionesDoc)) return;
  for (const DocumentoVersionado* d : DocumentosPresentes(db_)) {
    std::string clave = d->clave(std::string("\"") + d->tabla + "\"");
    ExecSql(db_, std::string("INSERT INTO \"") + kTablaVersionesDoc + "\" (clase, clave, version) SELECT DISTINCT '" +
                     d->clase + "', " + clave + ", 1 FROM \"" + d->tabla + "\" WHERE " + clave +
                     " IS NOT NULL ON CONFLICT (clase, clave) DO UPDATE SET version = version + 1");
  }
}

void EscrituraMasiva::Terminar() {
  for (const auto& sql : disparadores_) ExecSql(db_, sql);
  terminada_ = true;
}

long long VersionDoc(const std::string& clase, const std::string& clave) {
  return VersionDoc(tv::db::ConnectionFor("Contabilidad")->Db(), clase, clave);
}

std::string ClaveDoc(long long numero) { return std::to_string(numero); }

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
