#include "budget/motor/LimitesLibros.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <cstdio>
#include <map>

#include "platform/db/Engine.h"
#include "shared/general/Numeros.h"

namespace tv::motor {

namespace {

const char* const kClaves = "tvLimClaves";

// Qué claves anota cada tabla: tipo de clave y expresión sobre la fila (X = old o new), con las
// columnas cuyo cambio puede mover un límite.
struct Vigia {
  const char* tabla;
  const char* columnas;
  std::vector<std::pair<const char*, const char*>> claves;  // tipo, columna
  const char* condicion;                                    // sobre X, o nullptr
};

const std::vector<Vigia>& Vigias() {
  static const std::vector<Vigia> v = {
      {"mvtPptal", "iCuenta, tipoCuenta, ingreso, egreso", {{"rubro", "iCuenta"}}, "X.tipoCuenta='E'"},
      {"reintegros", "rubro, valor", {{"rubro", "rubro"}}, nullptr},
      {"certDispRubros", "icd, rubroPptal, valor", {{"rubro", "rubroPptal"}, {"certificado", "icd"}}, nullptr},
      {"mvtCertDisp", "icd, rubroPptal, valor", {{"rubro", "rubroPptal"}, {"certificado", "icd"}}, nullptr},
      {"mvtRegPptal", "irp, ICD, valor", {{"certificado", "ICD"}, {"registro", "irp"}}, nullptr},
      {"mvtOrdenPago", "IRP, valor", {{"registro", "IRP"}}, nullptr},
      {"mvtOrdenServicio", "irp, valor", {{"registro", "irp"}}, nullptr},
      {"mvtOrdenSumiMaestro", "irp, valorTotal", {{"registro", "irp"}}, nullptr},
  };
  return v;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Anota las claves de la fila X (old o new) de la tabla.
std::string Anotar(const Vigia& v, const char* fila) {
  std::string r;
  for (const auto& [tipo, col] : v.claves) {
    std::string x = std::string(fila) + "." + col;
    std::string cond = x + " IS NOT NULL AND " + x + "<>'' AND " + x + "<>0";
    if (v.condicion) {
      std::string c = v.condicion;
      c.replace(0, 1, fila);
      cond += " AND " + c;
    }
    r += std::string("INSERT OR IGNORE INTO ") + kClaves + " (tipo, clave) SELECT '" + tipo + "', " + x +
         " WHERE " + cond + "; ";
  }
  return r;
}

bool ExisteTabla(sqlite3* db, const char* tabla) {
  sqlite3_stmt* st = nullptr;
  bool hay = false;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM main.sqlite_master WHERE type='table' AND lower(name)=lower(?1)", -1,
                         &st, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(st, 1, tabla, -1, SQLITE_STATIC);
    hay = sqlite3_step(st) == SQLITE_ROW;
  }
  sqlite3_finalize(st);
  return hay;
}

void Ejecutar(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  std::string msg = err ? err : "";
  sqlite3_free(err);
  if (rc != SQLITE_OK) tv::db::ThrowEngine(DBIERR_UNKNOWNERR, "No se pudo preparar la revisión de los límites: " + msg, rc);
}

// Disparadores temporales: son de la conexión, no de los libros, que siguen siendo SQLite llano.
bool Preparar(tv::db::Connection& conn) {
  sqlite3* db = conn.Db();
  bool alguna = false;
  Ejecutar(db, std::string("CREATE TEMP TABLE IF NOT EXISTS ") + kClaves +
                   " (tipo TEXT NOT NULL, clave NOT NULL, PRIMARY KEY (tipo, clave)) WITHOUT ROWID");
  for (const Vigia& v : Vigias()) {
    if (!ExisteTabla(db, v.tabla)) continue;
    alguna = true;
    std::string base = std::string("CREATE TEMP TRIGGER IF NOT EXISTS tvLim_") + v.tabla + "_";
    std::string sobre = std::string(" ON \"") + v.tabla + "\" BEGIN ";
    Ejecutar(db, base + "a AFTER INSERT" + sobre + Anotar(v, "new") + "END");
    Ejecutar(db, base + "c AFTER UPDATE OF " + v.columnas + sobre + Anotar(v, "old") + Anotar(v, "new") + "END");
    Ejecutar(db, base + "b AFTER DELETE" + sobre + Anotar(v, "old") + "END");
  }
  return alguna;
}

// Un valor guardado (número o texto) tal como se lee y se vuelve a usar en una consulta.
struct Valor {
  int tipo = SQLITE_NULL;
  sqlite3_int64 i = 0;
  double d = 0;
  std::string s;
};

Valor Leer(sqlite3_stmt* st, int col) {
  Valor v;
  v.tipo = sqlite3_column_type(st, col);
  if (v.tipo == SQLITE_INTEGER) v.i = sqlite3_column_int64(st, col);
  else if (v.tipo == SQLITE_FLOAT) v.d = sqlite3_column_double(st, col);
  else if (v.tipo != SQLITE_NULL) v.s = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
  return v;
}

void Ligar(sqlite3_stmt* st, int i, const Valor& v) {
  if (v.tipo == SQLITE_INTEGER) sqlite3_bind_int64(st, i, v.i);
  else if (v.tipo == SQLITE_FLOAT) sqlite3_bind_double(st, i, v.d);
  else if (v.tipo == SQLITE_NULL) sqlite3_bind_null(st, i);
  else sqlite3_bind_text(st, i, v.s.c_str(), -1, SQLITE_TRANSIENT);
}

// El número de un documento como lo lee el usuario: entero cuando lo es.
std::string TextoClave(const Valor& v) {
  char buf[64];
  if (v.tipo == SQLITE_INTEGER) return std::to_string(v.i);
  if (v.tipo == SQLITE_FLOAT) {
    if (std::nearbyint(v.d) == v.d && std::fabs(v.d) < 9e15) return std::to_string(static_cast<long long>(v.d));
    std::snprintf(buf, sizeof buf, "%.15g", v.d);
    return buf;
  }
  return v.s;
}

Valor ValorDeTexto(const std::string& tipo, const std::string& clave) {
  Valor v;
  v.tipo = SQLITE_TEXT;
  v.s = clave;
  if (tipo != "rubro") {
    char* fin = nullptr;
    double d = std::strtod(clave.c_str(), &fin);
    if (fin && *fin == '\0' && !clave.empty()) {
      v.tipo = SQLITE_FLOAT;
      v.d = d;
    }
  }
  return v;
}

// Primera columna de cada fila de una consulta con la clave como ?1; una tabla que falta no
// tiene filas (libros de versiones anteriores).
struct Fila {
  std::vector<Valor> col;
  bool hay = false;
};
// La conexión que se está revisando: sus consultas se preparan una vez y se reutilizan en cada
// confirmación.
tv::db::Connection* enRevision = nullptr;

Fila Consultar(sqlite3* db, const std::string& sql, const Valor& clave) {
  Fila f;
  bool guardada = enRevision && enRevision->Db() == db;
  sqlite3_stmt* st = guardada ? enRevision->CachedStatement(sql) : nullptr;
  if (!guardada && sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    st = nullptr;
  }
  if (!st) return f;
  Ligar(st, 1, clave);
  if (sqlite3_step(st) == SQLITE_ROW) {
    f.hay = true;
    for (int c = 0; c < sqlite3_column_count(st); ++c) f.col.push_back(Leer(st, c));
  }
  if (guardada) sqlite3_reset(st);
  else sqlite3_finalize(st);
  return f;
}

std::int64_t Centavos(const Valor& v) {
  double d = v.tipo == SQLITE_INTEGER ? static_cast<double>(v.i) : v.tipo == SQLITE_FLOAT ? v.d
             : v.tipo == SQLITE_TEXT  ? std::strtod(v.s.c_str(), nullptr)
                                      : 0.0;
  return std::llround(d * 100.0);
}

std::int64_t Suma(sqlite3* db, const std::string& sql, const Valor& clave) {
  Fila f = Consultar(db, sql, clave);
  return f.hay && !f.col.empty() ? Centavos(f.col[0]) : 0;
}

std::string Monto(std::int64_t centavos) { return std::string(Punto(static_cast<double>(centavos) / 100.0, 2)); }

// Las cifras de una clave en una sola consulta (una preparación por clave); libros de versiones
// anteriores a los que les falta una tabla la leen por partes, con lo que falta en cero.
std::vector<std::int64_t> Cifras(sqlite3* db, const std::vector<std::string>& partes, const Valor& clave) {
  std::string junta = "SELECT ";
  for (size_t k = 0; k < partes.size(); ++k) junta += (k ? ", (" : "(") + partes[k] + ")";
  std::vector<std::int64_t> r(partes.size(), 0);
  Fila f = Consultar(db, junta, clave);
  if (f.hay) {
    for (size_t k = 0; k < partes.size() && k < f.col.size(); ++k) r[k] = Centavos(f.col[k]);
    return r;
  }
  for (size_t k = 0; k < partes.size(); ++k) r[k] = Suma(db, partes[k], clave);
  return r;
}

std::vector<ExcesoLimite> ExcesosRubro(sqlite3* db, const Valor& rubro) {
  std::vector<std::int64_t> c = Cifras(
      db,
      {"SELECT sum(coalesce(egreso,0)-coalesce(ingreso,0)) FROM mvtPptal WHERE iCuenta=?1 AND tipoCuenta='E'",
       "SELECT sum(valor) FROM certDispRubros WHERE rubroPptal=?1",
       "SELECT sum(cdp.valor) FROM mvtCertDisp AS cdp WHERE cdp.rubroPptal=?1 AND NOT EXISTS (SELECT 1 FROM "
       "certDispRubros AS z WHERE z.icd=cdp.icd)",
       "SELECT sum(valor) FROM reintegros WHERE rubro=?1"},
      rubro);
  std::int64_t definitivo = c[0], certificado = c[1] + c[2], reintegros = c[3];
  std::int64_t disponible = definitivo + reintegros - certificado;
  ExcesoLimite e;
  e.exceso = disponible < 0 ? -disponible : 0;
  if (e.exceso == 0) return {e};
  e.mensaje = "El rubro " + TextoClave(rubro) + " quedaría con disponible " + Monto(disponible) + " (definitivo " +
              Monto(definitivo) + (reintegros != 0 ? "; reintegros " + Monto(reintegros) : std::string()) +
              "; certificado " + Monto(certificado) + ")";
  return {e};
}

std::vector<ExcesoLimite> ExcesosCertificado(sqlite3* db, const Valor& icd) {
  std::string n = TextoClave(icd);
  Fila f = Consultar(db,
                     "SELECT (SELECT count(*) FROM mvtCertDisp WHERE icd=?1), (SELECT valor FROM mvtCertDisp WHERE "
                     "icd=?1), count(z.valor), min(z.valor), sum(z.valor), (SELECT rubroPptal FROM certDispRubros "
                     "WHERE icd=?1 ORDER BY valor LIMIT 1), (SELECT sum(valor) FROM mvtRegPptal WHERE ICD=?1) FROM "
                     "certDispRubros AS z WHERE z.icd=?1",
                     icd);
  if (!f.hay || f.col.size() < 7) return {};
  bool cabecera = f.col[0].i > 0;
  std::int64_t valor = Centavos(f.col[1]);
  std::int64_t cuantas = f.col[2].i;
  std::int64_t menor = cuantas ? Centavos(f.col[3]) : 0;
  std::int64_t suma = cuantas ? Centavos(f.col[4]) : 0;
  std::int64_t registros = Centavos(f.col[6]);

  ExcesoLimite negativa, cuadre, comprometido;
  if (menor < 0) {
    negativa.exceso = -menor;
    negativa.mensaje = "El certificado " + n + " tendría el rubro " + TextoClave(f.col[5]) +
                       " con valor negativo (" + Monto(menor) + ")";
  }
  if (cabecera && cuantas > 0 && suma != valor) {
    cuadre.exceso = suma > valor ? suma - valor : valor - suma;
    cuadre.mensaje = "Los rubros del certificado " + n + " sumarían " + Monto(suma) + " y su valor es " + Monto(valor);
  }
  // Borrar un certificado con registros se permite: la auditoría lista los registros que quedan.
  if (cabecera && registros > valor) {
    comprometido.exceso = registros - valor;
    comprometido.mensaje = "El certificado " + n + " quedaría con registros por " + Monto(registros) +
                           " sobre un valor de " + Monto(valor);
  }
  return {negativa, cuadre, comprometido};
}

std::vector<ExcesoLimite> ExcesosRegistro(sqlite3* db, const Valor& irp) {
  std::string n = TextoClave(irp);
  std::vector<std::int64_t> c =
      Cifras(db,
             {"SELECT count(*) FROM mvtRegPptal WHERE irp=?1", "SELECT valor FROM mvtRegPptal WHERE irp=?1",
              "SELECT sum(valor) FROM mvtOrdenPago WHERE IRP=?1", "SELECT sum(valor) FROM mvtOrdenServicio WHERE irp=?1",
              "SELECT sum(valorTotal) FROM mvtOrdenSumiMaestro WHERE irp=?1"},
             irp);
  bool cabecera = c[0] > 0;
  std::int64_t valor = c[1], pagos = c[2], ordenes = c[3] + c[4];
  // Igual que con los certificados: sin registro no hay límite (las órdenes huérfanas son de la auditoría).
  auto exceso = [&](std::int64_t tomado, const std::string& que) {
    ExcesoLimite e;
    if (!cabecera || tomado <= valor) return e;
    e.exceso = tomado - valor;
    e.mensaje = "El registro presupuestal " + n + " quedaría con " + que + " por " + Monto(tomado) +
                " sobre un valor de " + Monto(valor);
    return e;
  };
  return {exceso(pagos, "órdenes de pago"), exceso(ordenes, "órdenes")};
}

std::vector<ExcesoLimite> Excesos(sqlite3* db, const std::string& tipo, const Valor& clave) {
  if (tipo == "rubro") return ExcesosRubro(db, clave);
  if (tipo == "certificado") return ExcesosCertificado(db, clave);
  if (tipo == "registro") return ExcesosRegistro(db, clave);
  return {};
}

struct Tocada {
  std::string tipo;
  Valor clave;
};

std::vector<std::string> Revisar(sqlite3* ahora, sqlite3* antes, const std::vector<Tocada>& tocadas,
                                 std::unique_ptr<tv::db::CommittedReader>* lector, const tv::db::Connection* conn) {
  std::vector<std::string> mensajes;
  for (const Tocada& t : tocadas) {
    std::vector<ExcesoLimite> nuevos = Excesos(ahora, t.tipo, t.clave);
    std::vector<ExcesoLimite> previos;
    for (size_t k = 0; k < nuevos.size(); ++k) {
      if (nuevos[k].exceso <= 0) continue;
      if (previos.empty()) {
        sqlite3* db = antes;
        if (!db && lector && conn) {
          if (!*lector) *lector = std::make_unique<tv::db::CommittedReader>(*conn);
          db = (*lector)->Db();
        }
        previos = db ? Excesos(db, t.tipo, t.clave) : std::vector<ExcesoLimite>(nuevos.size());
      }
      // Lo que ya estaba fuera del límite puede quedar igual o mejor.
      if (k < previos.size() && nuevos[k].exceso <= previos[k].exceso) continue;
      mensajes.push_back(nuevos[k].mensaje);
    }
  }
  return mensajes;
}

void RevisarAlConfirmar(tv::db::Connection& conn) {
  sqlite3* db = conn.Db();
  sqlite3_stmt* st = nullptr;
  // Se leen y se vacían de una vez: la próxima escritura empieza sin claves.
  if (sqlite3_prepare_v2(db, (std::string("DELETE FROM temp.") + kClaves + " RETURNING tipo, clave").c_str(), -1, &st,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return;  // conexión sin nada que vigilar
  }
  std::vector<Tocada> tocadas;
  while (sqlite3_step(st) == SQLITE_ROW) {
    Tocada t;
    t.tipo = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    t.clave = Leer(st, 1);
    tocadas.push_back(std::move(t));
  }
  sqlite3_finalize(st);
  if (tocadas.empty()) return;
  std::unique_ptr<tv::db::CommittedReader> lector;
  enRevision = &conn;
  std::vector<std::string> mensajes;
  try {
    mensajes = Revisar(db, nullptr, tocadas, &lector, &conn);
  } catch (...) {
    enRevision = nullptr;
    throw;
  }
  enRevision = nullptr;
  if (mensajes.empty()) return;
  std::string texto;
  for (const auto& m : mensajes) texto += (texto.empty() ? "" : "\n") + m + ".";
  tv::db::ThrowEngine(DBIERR_RULEVIOL, texto);
}

}  // namespace

std::vector<ExcesoLimite> ExcesosDeClave(sqlite3* db, const ClaveTocada& clave) {
  return Excesos(db, clave.tipo, ValorDeTexto(clave.tipo, clave.clave));
}

std::vector<std::string> RevisarClaves(sqlite3* ahora, sqlite3* antes, const std::vector<ClaveTocada>& claves) {
  std::vector<Tocada> tocadas;
  for (const auto& c : claves) tocadas.push_back({c.tipo, ValorDeTexto(c.tipo, c.clave)});
  if (!antes) {
    std::vector<std::string> mensajes;
    for (const Tocada& t : tocadas)
      for (const auto& e : Excesos(ahora, t.tipo, t.clave))
        if (e.exceso > 0) mensajes.push_back(e.mensaje);
    return mensajes;
  }
  return Revisar(ahora, antes, tocadas, nullptr, nullptr);
}

void InstalarLimitesLibros() {
  static const bool instalada = [] {
    tv::db::CommitCheck c;
    c.prepare = Preparar;
    c.check = RevisarAlConfirmar;
    for (const Vigia& v : Vigias()) c.watches.insert(Lower(v.tabla));
    tv::db::AddCommitCheck("limitesLibros", std::move(c));
    return true;
  }();
  (void)instalada;
}

}  // namespace tv::motor
