#include "payments/motor/Reintegros.h"

#include "app/schema/Versiones.h"
#include "budget/motor/LimitesLibros.h"
#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {

using tv::db::Cell;


// La clave de versión de una fila: su certificado como entero en texto (nula sin certificado).
const char* const kClave =
    "CASE WHEN cdp = CAST(cdp AS INTEGER) THEN CAST(CAST(cdp AS INTEGER) AS TEXT) ELSE CAST(cdp AS TEXT) END";

// El rubro y la versión guardada de la fila; falso si la fila ya no está.
bool LeerFila(tv::db::Connection& conn, std::int64_t fila, std::string& rubro, long long& version) {
  tv::db::Stmt st = conn.Prepare(std::string("SELECT coalesce(rubro, ''), ") + kClave + " FROM reintegros WHERE rowid=?1");
  st.Bind(1, Cell::Integer(fila));
  if (!st.Step()) return false;
  rubro = st.Column(0).s;
  version = st.Column(1).IsNull() ? 0 : tv::schema::VersionDoc(conn.Db(), "RI", st.Column(1).s);
  return true;
}

Resultado Modificado() {
  Resultado r;
  r.errores.push_back({"version", kDocumentoModificado});
  return r;
}

// Lo escrito dejó el rubro con disponible negativo: ese dinero ya se usó.
bool RubroSobregirado(tv::db::Connection& conn, const std::string& rubro) {
  for (const auto& e : ExcesosDeClave(conn.Db(), {"rubro", rubro}))
    if (e.exceso > 0) return true;
  return false;
}

}  // namespace

Resultado GrabarReintegro(const std::string& baseDatos, const Reintegro& r) {
  Resultado res;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  tv::db::Stmt st = conn->Prepare(
      "INSERT INTO reintegros (cdp, rubro, valor, justificacion, fecha, iusuario) VALUES (0, ?1, ?2, ?3, ?4, ?5)");
  st.Bind(1, TextoONulo(r.rubro));
  st.Bind(2, Cell::Float(MontoDe(r.valor)));
  st.Bind(3, TextoONulo(r.justificacion));
  st.Bind(4, TextoONulo(r.fecha));
  st.Bind(5, TextoONulo(r.usuario));
  st.Step();
  st = tv::db::Stmt();
  tx.Commit();
  res.grabado = true;
  return res;
}

std::map<std::int64_t, long long> VersionesReintegros(const std::string& baseDatos) {
  std::map<std::int64_t, long long> v;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  try {
    tv::db::Stmt st = conn->Prepare(std::string("SELECT r.rowid, v.version FROM reintegros r JOIN \"") +
                                    tv::schema::kTablaVersionesDoc + "\" v ON v.clase='RI' AND v.clave=" + kClave);
    while (st.Step()) v[st.Column(0).i] = st.Column(1).i;
  } catch (const EDBEngineError&) {
    // Sin tabla de versiones: ninguna registrada.
  }
  return v;
}

Resultado BorrarReintegro(const std::string& baseDatos, std::int64_t fila, long long versionTraida) {
  Resultado res;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  std::string rubro;
  long long version = 0;
  if (!LeerFila(*conn, fila, rubro, version)) {
    res.grabado = true;  // otro puesto ya lo borró
    return res;
  }
  if (version != versionTraida) return Modificado();
  {
    tv::db::Stmt st = conn->Prepare("DELETE FROM reintegros WHERE rowid=?1");
    st.Bind(1, Cell::Integer(fila));
    st.Step();
  }
  if (RubroSobregirado(*conn, rubro)) {
    res.errores.push_back(
        {"", "No puede borrar porque ya hizo uso de ese reintegro y utilizó ese dinero en alguna otra transacción"});
    return res;
  }
  tx.Commit();
  res.grabado = true;
  return res;
}

Resultado ModificarReintegro(const std::string& baseDatos, std::int64_t fila, const Reintegro& r,
                             long long versionTraida) {
  Resultado res;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  std::string rubroAnterior;
  long long version = 0;
  if (!LeerFila(*conn, fila, rubroAnterior, version)) {
    res.errores.push_back({"", "Otro usuario borró este reintegro."});
    return res;
  }
  if (version != versionTraida) return Modificado();
  {
    tv::db::Stmt st = conn->Prepare(
        "UPDATE reintegros SET rubro=?2, valor=?3, fecha=?4, justificacion=?5 WHERE rowid=?1");
    st.Bind(1, Cell::Integer(fila));
    st.Bind(2, TextoONulo(r.rubro));
    st.Bind(3, Cell::Float(MontoDe(r.valor)));
    st.Bind(4, TextoONulo(r.fecha));
    st.Bind(5, TextoONulo(r.justificacion));
    st.Step();
  }
  if (RubroSobregirado(*conn, rubroAnterior)) {
    res.errores.push_back(
        {"", "No puede modificar el reintegro porque ya hizo uso de ese dinero en alguna otra transacción"});
    return res;
  }
  tx.Commit();
  res.grabado = true;
  return res;
}

}  // namespace tv::motor
