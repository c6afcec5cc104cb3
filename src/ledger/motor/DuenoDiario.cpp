#include "ledger/motor/DuenoDiario.h"

#include <cmath>
#include <cstdint>

#include "app/Validaciones.h"
#include "app/schema/Versiones.h"
#include "platform/core/SysUtils.h"
#include "platform/db/Engine.h"

namespace tv::motor {

namespace {

tv::db::Stmt Consulta(tv::db::Connection& conn, const std::string& sql, const std::string& tipo,
                      const std::string& numero) {
  tv::db::Stmt st = conn.Prepare(sql);
  st.Bind(1, tv::db::Cell::String(tipo));
  st.Bind(2, tv::db::Cell::String(numero));
  return st;
}

}  // namespace

DuenoDiario DuenoDe(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  DuenoDiario d;
  tv::db::Stmt enc = Consulta(
      conn, "SELECT coalesce(tipoAsiento, '') FROM mvtMaestro WHERE descdocu=?1 AND numedocu=?2", tipo, numero);
  bool hayEncabezado = false, plantilla = false;
  while (enc.Step()) {
    hayEncabezado = true;
    plantilla = plantilla || enc.Column(0).s == "P";
  }
  if (!hayEncabezado) {
    tv::db::Stmt lin = Consulta(conn, "SELECT 1 FROM mvt WHERE descdocu=?1 AND numedocu=?2 LIMIT 1", tipo, numero);
    if (lin.Step()) d.clase = ClaseDueno::Manual;
    return d;
  }
  if (!plantilla) {
    d.clase = ClaseDueno::Manual;
    return d;
  }
  // Las órdenes viejas pueden no tener guardado su tipo de documento: es el del asiento.
  tv::db::Stmt op = Consulta(conn,
                             "SELECT iop FROM mvtOrdenPago WHERE numeDocu=?2 AND coalesce(descdocu, ?1)=?1 "
                             "ORDER BY iop LIMIT 1",
                             tipo, numero);
  if (op.Step()) {
    d.clase = ClaseDueno::OrdenPago;
    tv::db::Cell c = op.Column(0);
    d.orden = c.kind == tv::db::Cell::Int ? c.i : static_cast<std::int64_t>(std::llround(c.Number()));
  } else {
    d.clase = ClaseDueno::Programado;
  }
  return d;
}

bool DocumentoExiste(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  tv::db::Stmt st = Consulta(conn,
                             "SELECT EXISTS (SELECT 1 FROM mvt WHERE descdocu=?1 AND numedocu=?2) OR EXISTS "
                             "(SELECT 1 FROM mvtMaestro WHERE descdocu=?1 AND numedocu=?2)",
                             tipo, numero);
  return st.Step() && st.Column(0).i != 0;
}

std::string SiguienteNumeroLibre(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  std::string n = numero;
  // Un tope holgado: tantos documentos seguidos ocupados no los escribe nadie a mano.
  for (int i = 0; i < 100000; ++i) {
    n = IncNumeDocu(n.c_str()).str();
    if (n.empty() || !DocumentoExiste(conn, tipo, n)) return n;
  }
  return "";
}

void BorrarDocumento(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  for (const char* sql : {"DELETE FROM mvt WHERE descdocu=?1 AND numedocu=?2",
                          "DELETE FROM mvtMaestro WHERE descdocu=?1 AND numedocu=?2"}) {
    tv::db::Stmt st = Consulta(conn, sql, tipo, numero);
    st.Step();
  }
}

long long VersionDiario(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  std::string tabla = tv::schema::kTablaVersiones;
  tv::db::Stmt hay = conn.Prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name='" + tabla + "'");
  if (!hay.Step()) return 0;
  hay = tv::db::Stmt();
  tv::db::Stmt st = Consulta(conn, "SELECT version FROM \"" + tabla + "\" WHERE descdocu=?1 AND numedocu=?2", tipo,
                             numero);
  return st.Step() ? st.Column(0).i : 0;
}


double MontoDe(std::int64_t centavos) { return static_cast<double>(centavos) / 100.0; }

bool NumeroDocumento(const std::string& texto, std::int64_t& numero) {
  size_t a = texto.find_first_not_of(' '), b = texto.find_last_not_of(' ');
  if (a == std::string::npos) return false;
  std::int64_t n = 0;
  for (size_t i = a; i <= b; ++i) {
    char c = texto[i];
    if (c < '0' || c > '9') return false;
    if (n > (INT64_MAX - (c - '0')) / 10) return false;
    n = n * 10 + (c - '0');
  }
  numero = n;
  return true;
}

}  // namespace tv::motor
