#include "payments/motor/ComprobanteProgramado.h"

#include "ledger/motor/DuenoDiario.h"
#include "payments/motor/AsientoOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {

using tv::db::Cell;


// Por qué el comprobante no puede escribir (tipo, numero); "" cuando puede.
std::string Ajeno(tv::db::Connection& conn, const std::string& tipo, const std::string& numero) {
  DuenoDiario d = DuenoDe(conn, tipo, numero);
  if (d.clase == ClaseDueno::Manual) return kAsientoManual;
  if (d.clase == ClaseDueno::OrdenPago)
    return "El asiento " + tipo + " " + numero + " es de la orden de pago " + std::to_string(d.orden) + ".";
  return "";
}

void Escribir(tv::db::Connection& conn, const ComprobanteProgramado& c) {
  tv::db::Stmt st = conn.Prepare(
      "INSERT INTO mvt (numecuen, cedulanit, centCost, debito, credito, rubro, descdocu, numedocu, fecha, Detalle, "
      "descComp, numeComp) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
  for (const auto& l : c.lineas) {
    st.Reset();
    st.Bind(1, TextoONulo(l.cuenta));
    st.Bind(2, TextoONulo(c.tercero));
    st.Bind(3, TextoONulo(c.centroCosto));
    Cell monto = Cell::Float(MontoDe(l.monto));
    st.Bind(4, l.debito ? monto : Cell());
    st.Bind(5, l.debito ? Cell() : monto);
    st.Bind(6, TextoONulo(l.rubro));
    st.Bind(7, Cell::String(c.tipo));
    st.Bind(8, Cell::String(c.numero));
    st.Bind(9, Cell::String(c.fecha));
    st.Bind(10, TextoONulo(c.detalle));
    st.Bind(11, c.cheque.empty() ? Cell() : Cell::String("CH"));
    st.Bind(12, TextoONulo(c.cheque));
    st.Step();
  }
  tv::db::Stmt enc = conn.Prepare(
      "INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor, op1, op2, op3, op4, op5, qitems, "
      "iusuario) VALUES ('P', ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  enc.Bind(1, Cell::String(c.tipo));
  enc.Bind(2, Cell::String(c.numero));
  enc.Bind(3, Cell::String(c.fecha));
  enc.Bind(4, Cell::Float(MontoDe(c.valor)));
  for (int i = 0; i < 5; ++i) enc.Bind(5 + i, c.ordenes[i] == 0 ? Cell() : Cell::Integer(c.ordenes[i]));
  enc.Bind(10, Cell::Integer(c.qitems));
  enc.Bind(11, TextoONulo(c.usuario));
  enc.Step();
}

}  // namespace

Resultado GrabarComprobanteProgramado(const std::string& baseDatos, const ComprobanteProgramado& c) {
  Resultado r;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  std::string ajeno = Ajeno(*conn, c.tipo, c.numero);
  if (!ajeno.empty()) {
    r.errores.push_back({"numero", ajeno});
    r.numeroLibre = SiguienteNumeroLibre(*conn, c.tipo, c.numero);
    return r;
  }
  BorrarDocumento(*conn, c.tipo, c.numero);
  Escribir(*conn, c);
  tx.Commit();
  r.grabado = true;
  return r;
}

Resultado BorrarComprobanteProgramado(const std::string& baseDatos, const std::string& tipo,
                                      const std::string& numero) {
  Resultado r;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Transaction tx(baseDatos.c_str());
  std::string ajeno = Ajeno(*conn, tipo, numero);
  if (!ajeno.empty()) {
    r.errores.push_back({"numero", ajeno});
    return r;
  }
  BorrarDocumento(*conn, tipo, numero);
  tx.Commit();
  r.grabado = true;
  return r;
}

}  // namespace tv::motor
