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
  // Columnas cuyo cambio avanza la versión; "" = todas. Fuera quedan solo las que ninguna
  // grabación escribe (quién autorizó un suministro, la orden de pago de una orden de
  // servicio, quién registró un reintegro).
  const char* columnas = "";
};

const std::vector<DocumentoVersionado>& Documentos() {
  static const std::vector<DocumentoVersionado> d = {
      {"MvtPptalMaestro", "MP", [](const std::string& f) { return f + ".iMvtPptal || '|' || " + f + ".tipoMvtPptal"; }},
      {"mvtPptal", "MP", [](const std::string& f) { return f + ".iMvtPptal || '|' || " + f + ".tipoMvtPptal"; }},
      {"mvtCertDisp", "CD", [](const std::string& f) { return Numero(f + ".icd"); }},
      {"certDispRubros", "CD", [](const std::string& f) { return Numero(f + ".icd"); }},
      {"mvtRegPptal", "RP", [](const std::string& f) { return Numero(f + ".irp"); }},
      {"mvtOrdenServicio", "OS", [](const std::string& f) { return Numero(f + ".iOrdenServicio"); },
       "iOrdenServicio, Fecha, itercero, descServicio, irp, valor"},
      {"mvtOrdenSumiMaestro", "SU", [](const std::string& f) { return Numero(f + ".iOrdenSuministro"); },
       "iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp"},
      {"mvtOrdenSuministro", "SU", [](const std::string& f) { return Numero(f + ".iOrdenSuministro"); }},
      {"mvtOrdenPago", "OP", [](const std::string& f) { return Numero(f + ".iop"); }},
      {"reintegros", "RI", [](const std::string& f) { return Numero(f + ".cdp"); }, "cdp, rubro, valor, justificacion, fecha"},
  };
  return d;
}

std::string AvanceDoc(const DocumentoVersionado& d, const std::string& fila, const std::string& ademas = "") {
  std::string t = kTablaVersionesDoc;
  std::string clave = d.clave(fila);
  return "INSERT INTO \"" + t + "\" (clase, clave, version) SELECT '" + d.clase + "', " + clave + ", 1 WHERE " +
         clave + " IS NOT NULL" + ademas + " ON CONFLICT (clase, clave) DO UPDATE SET version = version + 1; ";
}

// Un disparador: su nombre y la orden que lo crea.
struct Disparador {
  std::string nombre;
  std::string sql;
};

// Mientras la tabla de pausa tiene una fila (solo dentro de la transacción de una escritura
// masiva, que la borra antes de confirmar) ningún disparador de versión escribe: quien escribe
// avanza cada documento una vez. SQL estándar: cualquier cliente de SQLite los dispara igual.
std::string Cuando() { return std::string(" WHEN NOT EXISTS (SELECT 1 FROM \"") + kTablaPausa + "\")"; }

void AgregarTres(std::vector<Disparador>& s, const std::string& prefijo, const std::string& tabla,
                 const std::string& columnas, const std::string& alta, const std::string& cambio,
                 const std::string& baja) {
  auto uno = [&](const char* sufijo, const std::string& evento, const std::string& cuerpo) {
    std::string nombre = prefijo + "_" + tabla + "_" + sufijo;
    s.push_back({nombre, "CREATE TRIGGER IF NOT EXISTS \"" + nombre + "\" AFTER " + evento + " ON \"" + tabla +
                             "\"" + Cuando() + " BEGIN " + cuerpo + "END"});
  };
  uno("alta", "INSERT", alta);
  uno("cambio", columnas.empty() ? std::string("UPDATE") : "UPDATE OF " + columnas, cambio);
  uno("baja", "DELETE", baja);
}

std::vector<Disparador> DisparadoresDoc(const std::vector<const DocumentoVersionado*>& docs) {
  std::vector<Disparador> s;
  for (const DocumentoVersionado* d : docs)
    // la clave nueva avanza aparte solo cuando no es la vieja
    AgregarTres(s, kTablaVersionesDoc, d->tabla, d->columnas, AvanceDoc(*d, "new"),
                AvanceDoc(*d, "old") + AvanceDoc(*d, "new", " AND " + d->clave("new") + " IS NOT " + d->clave("old")),
                AvanceDoc(*d, "old"));
  return s;
}

std::vector<std::string> Tablas() {
  return {std::string("CREATE TABLE IF NOT EXISTS \"") + kTablaVersiones +
              "\" (descdocu VARCHAR(3), numedocu VARCHAR(15), version INTEGER NOT NULL DEFAULT 0, "
              "PRIMARY KEY (descdocu, numedocu))",
          std::string("CREATE TABLE IF NOT EXISTS \"") + kTablaVersionesDoc +
              "\" (clase VARCHAR(3) NOT NULL, clave VARCHAR(40) NOT NULL, version INTEGER NOT NULL DEFAULT 0, "
              "PRIMARY KEY (clase, clave))",
          std::string("CREATE TABLE IF NOT EXISTS \"") + kTablaPausa + "\" (pausa INTEGER)"};
}

int Entero(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  int v = -1;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    v = sqlite3_column_int(st, 0);
  sqlite3_finalize(st);
  return v;
}

bool Existe(sqlite3* db, const std::string& tabla) {
  std::string sql = "SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name)=lower('" + tabla + "')";
  return Entero(db, sql.c_str()) == 1;
}

std::vector<const DocumentoVersionado*> DocumentosPresentes(sqlite3* db) {
  std::vector<const DocumentoVersionado*> r;
  for (const auto& d : Documentos())
    if (Existe(db, d.tabla)) r.push_back(&d);
  return r;
}

// Los del diario, sobre MVT y mvtMaestro; sin alguna de las dos no hay sobre qué ponerlos.
std::vector<Disparador> DisparadoresDiario(sqlite3* db) {
  std::vector<Disparador> s;
  if (!Existe(db, "MVT") || !Existe(db, "mvtMaestro")) return s;
  for (const char* tabla : {"MVT", "mvtMaestro"})
    AgregarTres(s, kTablaVersiones, tabla, ColumnasDiario(tabla), Avance("new"),
                Avance("old") +
                    Avance("new", " AND (new.descdocu IS NOT old.descdocu OR new.numedocu IS NOT old.numedocu)"),
                Avance("old"));
  return s;
}

std::vector<Disparador> Esperados(sqlite3* db) {
  std::vector<Disparador> s = DisparadoresDiario(db);
  for (auto& d : DisparadoresDoc(DocumentosPresentes(db))) s.push_back(std::move(d));
  return s;
}

// Como SQLite guarda la orden: sin "IF NOT EXISTS".
std::string Guardada(const std::string& sql) {
  static const std::string crear = "CREATE TRIGGER IF NOT EXISTS ";
  return "CREATE TRIGGER " + sql.substr(crear.size());
}

// Los disparadores de versión guardados, por nombre con su orden.
std::vector<Disparador> Guardados(sqlite3* db) {
  std::vector<Disparador> r;
  std::string sql = std::string("SELECT name, sql FROM sqlite_master WHERE type='trigger' AND (name LIKE '") +
                    kTablaVersiones + "^_%' ESCAPE '^' OR name LIKE '" + kTablaVersionesDoc + "^_%' ESCAPE '^')";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
    while (sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* texto = sqlite3_column_text(st, 1);
      r.push_back({reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                   texto ? reinterpret_cast<const char*>(texto) : ""});
    }
  sqlite3_finalize(st);
  return r;
}

bool Esperado(const std::vector<Disparador>& esperados, const Disparador& g) {
  for (const auto& e : esperados)
    if (e.nombre == g.nombre) return Guardada(e.sql) == g.sql;
  return false;
}

// Las tablas están y los disparadores guardados son justo los de ahora: los de una versión
// anterior del programa (sin pausa, en toda columna, dos escrituras por fila) se rehacen.
bool Completas(sqlite3* db) {
  for (const char* t : {kTablaVersiones, kTablaVersionesDoc, kTablaPausa})
    if (!Existe(db, t)) return false;
  if (Entero(db, (std::string("SELECT count(*) FROM \"") + kTablaPausa + "\"").c_str()) != 0) return false;
  std::vector<Disparador> esperados = Esperados(db), guardados = Guardados(db);
  if (esperados.size() != guardados.size()) return false;
  for (const auto& g : guardados)
    if (!Esperado(esperados, g)) return false;
  return true;
}

}  // namespace

void CreateDocumentVersions(sqlite3* db) {
  for (const auto& sql : Tablas()) ExecSql(db, sql);
  std::vector<Disparador> esperados = Esperados(db);
  for (const auto& g : Guardados(db))
    if (!Esperado(esperados, g)) ExecSql(db, "DROP TRIGGER \"" + g.nombre + "\"");
  for (const auto& e : esperados) ExecSql(db, e.sql);
  // Una pausa confirmada por error (otro cliente) no deja los documentos sin versión.
  ExecSql(db, std::string("DELETE FROM \"") + kTablaPausa + "\"");
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

EscrituraMasiva::EscrituraMasiva(sqlite3* db, Filas filas) : db_(db), todos_(filas != Filas::Diario) {
  if (filas == Filas::Pocas) {
    // Libros cuyos disparadores aún no tienen pausa: escriben por fila, y las versiones avanzan igual.
    std::string sql = std::string("INSERT INTO \"") + kTablaPausa + "\" (pausa) VALUES (1)";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      sqlite3_finalize(st);
      return;
    }
    int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    pausada_ = true;
    return;
  }
  // Muchas filas: sin disparadores no se paga ni la pausa por fila.
  std::string sql = std::string("SELECT name, sql FROM sqlite_master WHERE type='trigger' AND (name LIKE '") +
                    kTablaVersiones + "^_%' ESCAPE '^'" +
                    (filas == Filas::Todas ? std::string(" OR name LIKE '") + kTablaVersionesDoc + "^_%' ESCAPE '^'"
                                           : "") +
                    ")";
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
  sqlite3_finalize(avance_);
  if (pausada_) sqlite3_exec(db_, (std::string("DELETE FROM \"") + kTablaPausa + "\"").c_str(), nullptr, nullptr, nullptr);
  for (const auto& sql : disparadores_) sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

void EscrituraMasiva::AvanzarDiario(const std::string& dondeMvt) {
  if (!Existe(db_, kTablaVersiones)) return;
  ExecSql(db_, std::string("INSERT INTO \"") + kTablaVersiones +
                   "\" (descdocu, numedocu, version) SELECT DISTINCT descdocu, numedocu, 1 FROM MVT WHERE (" +
                   dondeMvt + ") AND descdocu IS NOT NULL AND numedocu IS NOT NULL ON CONFLICT (descdocu, numedocu) "
                   "DO UPDATE SET version = version + 1");
}

void EscrituraMasiva::AvanzarDocumento(const std::string& tipo, const std::string& numero) {
  if (!avance_) {
    std::string sql = std::string("INSERT INTO \"") + kTablaVersiones +
                      "\" (descdocu, numedocu, version) VALUES (?1, ?2, 1) ON CONFLICT (descdocu, numedocu) DO "
                      "UPDATE SET version = version + 1";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &avance_, nullptr) != SQLITE_OK) {
      sqlite3_finalize(avance_);
      avance_ = nullptr;
      if (!Existe(db_, kTablaVersiones)) return;  // libros sin versiones del diario
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
  }
  sqlite3_bind_text(avance_, 1, tipo.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(avance_, 2, numero.c_str(), -1, SQLITE_TRANSIENT);
  int rc = sqlite3_step(avance_);
  sqlite3_reset(avance_);
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
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
  if (pausada_) ExecSql(db_, std::string("DELETE FROM \"") + kTablaPausa + "\"");
  pausada_ = false;
  for (const auto& sql : disparadores_) ExecSql(db_, sql);
  disparadores_.clear();
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
