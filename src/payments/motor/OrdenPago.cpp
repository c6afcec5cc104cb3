#include "payments/motor/OrdenPago.h"

#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace tv::motor {

namespace {

using tv::db::Cell;

Cell TextoONulo(const std::string& s) { return s.empty() ? Cell() : Cell::String(s); }

// Suma en centavos, fila por fila, de los montos que da la consulta (un parámetro entero).
std::int64_t Suma(tv::db::Connection& conn, const std::string& sql, std::int64_t a, std::int64_t b = 0) {
  tv::db::Stmt st = conn.Prepare(sql);
  st.Bind(1, Cell::Integer(a));
  if (sql.find("?2") != std::string::npos) st.Bind(2, Cell::Integer(b));
  std::int64_t total = 0;
  while (st.Step()) total += CentavosDe(st.Column(0).Number());
  return total;
}

bool Existe(tv::db::Connection& conn, std::int64_t numero) {
  tv::db::Stmt st = conn.Prepare("SELECT 1 FROM mvtOrdenPago WHERE iop=?1");
  st.Bind(1, Cell::Integer(numero));
  return st.Step();
}

std::int64_t Siguiente(tv::db::Connection& conn) {
  tv::db::Stmt st = conn.Prepare("SELECT max(iop) FROM mvtOrdenPago");
  if (!st.Step() || st.Column(0).IsNull()) return 1;
  Cell c = st.Column(0);
  return (c.kind == Cell::Int ? c.i : static_cast<std::int64_t>(c.Number())) + 1;
}

// Lo que la orden pide al registro, medido sobre lo guardado: "" cuando cabe.
std::string Pendiente(tv::db::Connection& conn, const OrdenPago& o) {
  std::int64_t registro = Suma(conn, "SELECT valor FROM mvtRegPptal WHERE irp=?1", o.registro);
  std::int64_t pagado = Suma(conn, "SELECT valor FROM mvtOrdenPago WHERE irp=?1", o.registro);
  std::int64_t queda = registro - pagado;
  // Lo que esta orden ya tomaba del mismo registro.
  std::int64_t antes =
      o.nueva ? 0 : Suma(conn, "SELECT valor FROM mvtOrdenPago WHERE iop=?1 AND irp=?2", o.numero, o.registro);
  std::string msg;
  if (o.valor > antes && o.valor - antes > queda)
    msg += "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro "
           "presupuestal.\n";
  if (o.nueva && !(queda > 0)) msg += "No debe hacer Orden de Pago. Este Reg. Presupuestal ya está cancelado!\n";
  if (o.nueva && o.asiento.valor > queda)
    msg += "tiene una cuenta por pagar mayor al valor pendiente de pago que tiene el reg. Presupuestal\n";
  return msg;
}

void EscribirFila(tv::db::Connection& conn, const OrdenPago& o) {
  if (!Existe(conn, o.numero)) {
    tv::db::Stmt ins = conn.Prepare("INSERT INTO mvtOrdenPago (iop) VALUES (?1)");
    ins.Bind(1, Cell::Integer(o.numero));
    ins.Step();
  }
  std::string sql =
      "UPDATE mvtOrdenPago SET FechaExped=?2, fechaVenc=?3, itercero=?4, IRP=?5, valor=?6, numeDocu=?7, "
      "iAstoProg=?8, objetoGasto=?9, descdocu=?10, numeroCheque=?11, banco=?12";
  if (o.valorCheque) sql += ", valorCheque=?13";
  if (o.valorEfectivo) sql += ", valorEfectivo=?14";
  tv::db::Stmt up = conn.Prepare(sql + " WHERE iop=?1");
  up.Bind(1, Cell::Integer(o.numero));
  up.Bind(2, TextoONulo(o.fechaExped));
  up.Bind(3, TextoONulo(o.fechaVenc));
  up.Bind(4, TextoONulo(o.tercero));
  up.Bind(5, Cell::Integer(o.registro));
  up.Bind(6, Cell::Float(MontoDe(o.valor)));
  up.Bind(7, TextoONulo(o.asiento.numero));
  up.Bind(8, Cell::Integer(o.plantilla));
  up.Bind(9, TextoONulo(o.objetoGasto));
  up.Bind(10, TextoONulo(o.asiento.tipo));
  up.Bind(11, TextoONulo(o.numeroCheque));
  up.Bind(12, TextoONulo(o.banco));
  if (o.valorCheque) up.Bind(13, Cell::Float(MontoDe(*o.valorCheque)));
  if (o.valorEfectivo) up.Bind(14, Cell::Float(MontoDe(*o.valorEfectivo)));
  up.Step();
}

std::string NumeroTomado(std::int64_t numero, std::int64_t siguiente) {
  return "La orden de pago " + std::to_string(numero) + " ya fue grabada por otro usuario. Se propone el número " +
         std::to_string(siguiente) + ".";
}

}  // namespace

Resultado GrabarOrdenPago(const std::string& baseDatos, const OrdenPago& o) {
  Resultado r;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  try {
    tv::db::Transaction tx(baseDatos.c_str());
    // Una orden nueva nunca reescribe una guardada (tampoco la que otro puesto acaba de grabar).
    if (o.nueva && Existe(*conn, o.numero)) {
      std::int64_t siguiente = Siguiente(*conn);
      r.errores.push_back({"orden", NumeroTomado(o.numero, siguiente)});
      r.numeroLibre = std::to_string(siguiente);
      return r;
    }
    std::string pendiente = Pendiente(*conn, o);
    if (!pendiente.empty()) {
      r.errores.push_back({"valor", pendiente});
      return r;
    }
    AsientoOrdenPago asiento = o.asiento;
    asiento.orden = o.numero;
    Resultado a = EscribirAsientoOrdenPago(baseDatos, asiento);
    if (!a.grabado) return a;
    EscribirFila(*conn, o);
    tx.Commit();
  } catch (const EDBEngineError& e) {
    if (e.ErrorCode() != DBIERR_RULEVIOL) throw;
    r.errores.push_back({"", e.Message.str()});
    r.codigo = static_cast<unsigned short>(e.ErrorCode());
    return r;
  }
  r.grabado = true;
  return r;
}

}  // namespace tv::motor
