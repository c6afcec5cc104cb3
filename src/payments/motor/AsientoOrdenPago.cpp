#include "payments/motor/AsientoOrdenPago.h"

#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {

using tv::db::Cell;

// La orden nombra el asiento como suyo (aunque otra orden lo nombre también).
bool EsDeLaOrden(tv::db::Connection& conn, const AsientoOrdenPago& a, const std::string& numero) {
  tv::db::Stmt st =
      conn.Prepare("SELECT 1 FROM mvtOrdenPago WHERE iop=?1 AND numeDocu=?2 AND coalesce(descdocu, ?3)=?3");
  st.Bind(1, Cell::Integer(a.orden));
  st.Bind(2, Cell::String(numero));
  st.Bind(3, Cell::String(a.tipo));
  return st.Step();
}

// Quién más tiene el número: "" cuando la orden puede escribirlo.
std::string Ocupado(tv::db::Connection& conn, const AsientoOrdenPago& a) {
  if (EsDeLaOrden(conn, a, a.numero)) return "";
  DuenoDiario d = DuenoDe(conn, a.tipo, a.numero);
  switch (d.clase) {
    case ClaseDueno::Libre:
      return "";
    case ClaseDueno::Manual:
      return kAsientoManual;
    case ClaseDueno::OrdenPago:
      if (d.orden == a.orden) return "";
      return "El asiento " + a.tipo + " " + a.numero + " es de la orden de pago " + std::to_string(d.orden) + ".";
    case ClaseDueno::Programado:
      // Hecho con plantilla y sin orden que lo nombre: el de una orden que ya no está.
      return "";
  }
  return "";
}

void Escribir(tv::db::Connection& conn, const AsientoOrdenPago& a) {
  tv::db::Stmt st = conn.Prepare(
      "INSERT INTO mvt (numecuen, cedulanit, detalle, debito, credito, descdocu, numedocu, fecha) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  for (const auto& l : a.lineas) {
    st.Reset();
    st.Bind(1, TextoONulo(l.cuenta));
    st.Bind(2, TextoONulo(a.tercero));
    st.Bind(3, TextoONulo(a.detalle));
    Cell monto = Cell::Float(MontoDe(l.monto));
    st.Bind(4, l.debito ? monto : Cell());
    st.Bind(5, l.debito ? Cell() : monto);
    st.Bind(6, Cell::String(a.tipo));
    st.Bind(7, Cell::String(a.numero));
    st.Bind(8, Cell::String(a.fecha));
    st.Step();
  }
  tv::db::Stmt enc = conn.Prepare(
      "INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, detalle, valor, qitems, iusuario) "
      "VALUES ('P', ?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  enc.Bind(1, Cell::String(a.tipo));
  enc.Bind(2, Cell::String(a.numero));
  enc.Bind(3, Cell::String(a.fecha));
  enc.Bind(4, TextoONulo(a.detalle));
  enc.Bind(5, Cell::Float(MontoDe(a.valor)));
  enc.Bind(6, Cell::Integer(a.qitems));
  enc.Bind(7, TextoONulo(a.usuario));
  enc.Step();
}

}  // namespace

Resultado EscribirAsientoOrdenPago(const std::string& baseDatos, const AsientoOrdenPago& a) {
  Resultado r;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  std::string ocupado = Ocupado(*conn, a);
  if (!ocupado.empty()) {
    r.errores.push_back({"numeDocu", ocupado});
    r.numeroLibre = SiguienteNumeroLibre(*conn, a.tipo, a.numero);
    return r;
  }
  BorrarDocumento(*conn, a.tipo, a.numero);
  // El asiento que la orden tenía con otro número se va con ella, si sigue siendo suyo.
  if (!a.numeroGuardado.empty() && a.numeroGuardado != a.numero && EsDeLaOrden(*conn, a, a.numeroGuardado))
    BorrarDocumento(*conn, a.tipo, a.numeroGuardado);
  Escribir(*conn, a);
  tx.Commit();
  r.grabado = true;
  return r;
}

}  // namespace tv::motor
