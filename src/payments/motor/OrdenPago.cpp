#include "payments/motor/OrdenPago.h"

#include <cmath>
#include <functional>
#include <vector>

#include "app/schema/Versiones.h"
#include "ledger/motor/DuenoDiario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "shared/motor/Rehusado.h"
#include "shared/motor/Celdas.h"

namespace tv::motor {

namespace {

using tv::db::Cell;


// Un texto guardado; un número en una columna de texto (libros viejos), como se escribe.
std::string Texto(const Cell& c) {
  if (c.kind == Cell::Text) return c.s;
  if (c.kind == Cell::Int) return std::to_string(c.i);
  if (c.kind == Cell::Real && c.d == std::floor(c.d)) return std::to_string(std::llround(c.d));
  return c.kind == Cell::Real ? std::to_string(c.d) : std::string();
}

// Un número guardado (entero o real) como entero exacto.
std::int64_t Entero(const Cell& c) {
  return c.kind == Cell::Int ? c.i : static_cast<std::int64_t>(std::llround(c.Number()));
}

long long Version(tv::db::Connection& conn, std::int64_t numero) {
  return tv::schema::VersionDoc(conn.Db(), "OP", tv::schema::ClaveDoc(numero));
}

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

// Valor del registro menos sus órdenes de pago.
std::int64_t SinPagar(tv::db::Connection& conn, std::int64_t registro) {
  return Suma(conn, "SELECT valor FROM mvtRegPptal WHERE irp=?1", registro) -
         Suma(conn, "SELECT valor FROM mvtOrdenPago WHERE irp=?1", registro);
}

// Lo que la orden ya toma del registro (nada si es de otro).
std::int64_t TomadoPor(tv::db::Connection& conn, std::int64_t orden, std::int64_t registro) {
  return Suma(conn, "SELECT valor FROM mvtOrdenPago WHERE iop=?1 AND irp=?2", orden, registro);
}

// Lo que la orden pide al registro, medido sobre lo guardado: "" cuando cabe.
std::string Pendiente(tv::db::Connection& conn, const OrdenPago& o) {
  std::int64_t queda = SinPagar(conn, o.registro);
  std::int64_t antes = o.nueva ? 0 : TomadoPor(conn, o.numero, o.registro);
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
    // Una orden guardada se escribe solo sobre lo que se trajo (ni editada ni borrada después).
    if (!o.nueva && Version(*conn, o.numero) != o.versionTraida) {
      r.errores.push_back({"version", kDocumentoModificado});
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
    r.version = Version(*conn, o.numero);
    tx.Commit();
  } catch (const EDBEngineError& e) {
    return Rehusado(e, r);
  }
  r.grabado = true;
  return r;
}

std::optional<OrdenPago> TraerOrdenPago(const std::string& baseDatos, std::int64_t numero) {
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  // Una sola sentencia: la fila y su versión son de la misma foto de los libros.
  std::string sql =
      "SELECT IRP, FechaExped, fechaVenc, itercero, valor, numeDocu, descdocu, iAstoProg, objetoGasto, "
      "numeroCheque, banco, valorCheque, valorEfectivo, (SELECT version FROM \"" +
      std::string(tv::schema::kTablaVersionesDoc) + "\" WHERE clase='OP' AND clave=?2) FROM mvtOrdenPago WHERE iop=?1";
  tv::db::Stmt st;
  try {
    st = conn->Prepare(sql);
  } catch (const EDBEngineError&) {
    // Libros sin tabla de versiones (abiertos solo para leer): ninguna versión registrada.
    st = conn->Prepare(sql.substr(0, sql.find(", (SELECT version")) + ", NULL FROM mvtOrdenPago WHERE iop=?1");
  }
  st.Bind(1, Cell::Integer(numero));
  st.Bind(2, Cell::String(tv::schema::ClaveDoc(numero)));
  if (!st.Step()) return std::nullopt;
  OrdenPago o;
  o.numero = numero;
  o.nueva = false;
  o.registro = st.Column(0).IsNull() ? 0 : Entero(st.Column(0));
  o.fechaExped = Texto(st.Column(1));
  o.fechaVenc = Texto(st.Column(2));
  o.tercero = Texto(st.Column(3));
  o.valor = CentavosDe(st.Column(4).Number());
  o.asiento.numero = o.asiento.numeroGuardado = Texto(st.Column(5));
  o.asiento.tipo = Texto(st.Column(6));
  o.asiento.orden = numero;
  o.plantilla = st.Column(7).IsNull() ? 0 : Entero(st.Column(7));
  o.objetoGasto = Texto(st.Column(8));
  o.numeroCheque = Texto(st.Column(9));
  o.banco = Texto(st.Column(10));
  if (!st.Column(11).IsNull()) o.valorCheque = CentavosDe(st.Column(11).Number());
  if (!st.Column(12).IsNull()) o.valorEfectivo = CentavosDe(st.Column(12).Number());
  o.versionTraida = st.Column(13).IsNull() ? 0 : Entero(st.Column(13));
  return o;
}

std::map<std::int64_t, long long> VersionesOrdenesPago(const std::string& baseDatos) {
  std::map<std::int64_t, long long> v;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  try {
    tv::db::Stmt st = conn->Prepare("SELECT clave, version FROM \"" + std::string(tv::schema::kTablaVersionesDoc) +
                                    "\" WHERE clase='OP'");
    while (st.Step()) {
      std::int64_t numero = 0;
      if (NumeroDocumento(Texto(st.Column(0)), numero)) v[numero] = Entero(st.Column(1));
    }
  } catch (const EDBEngineError&) {
    // Sin tabla de versiones: ninguna registrada.
  }
  return v;
}

std::int64_t PendienteDeRegistro(const std::string& baseDatos, std::int64_t registro, std::int64_t propia) {
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  return SinPagar(*conn, registro) + (propia != 0 ? TomadoPor(*conn, propia, registro) : 0);
}

namespace {

// La orden y su asiento, solo si el asiento es de ella: uno manual o de otra orden se queda.
void BorrarOrdenYAsiento(tv::db::Connection& conn, std::int64_t numero) {
  tv::db::Stmt st = conn.Prepare("SELECT coalesce(descdocu, ''), coalesce(numeDocu, '') FROM mvtOrdenPago WHERE iop=?1");
  st.Bind(1, Cell::Integer(numero));
  if (!st.Step()) return;
  std::string tipo = Texto(st.Column(0)), asiento = Texto(st.Column(1));
  st = tv::db::Stmt();
  DuenoDiario d = DuenoDe(conn, tipo, asiento);
  bool suyo = !asiento.empty() && d.clase == ClaseDueno::OrdenPago && d.orden == numero;
  tv::db::Stmt del = conn.Prepare("DELETE FROM mvtOrdenPago WHERE iop=?1");
  del.Bind(1, Cell::Integer(numero));
  del.Step();
  if (suyo) BorrarDocumento(conn, tipo, asiento);
}

// Una sentencia con parámetros enteros; avisa a los cursores de las tablas que escribió.
void Ejecutar(tv::db::Connection& conn, const std::string& sql, std::initializer_list<Cell> p = {}) {
  tv::db::Stmt st = conn.Prepare(sql);
  int i = 1;
  for (const Cell& c : p) st.Bind(i++, c);
  while (st.Step()) {
  }
  st = tv::db::Stmt();
  for (const auto& t : conn.TakeWrittenTables()) conn.Touch(t);
}

// Corre `escribir` en una transacción de escritura; un límite de los libros que la confirmación
// rechaza vuelve como error con su código.
Resultado Escribir(const std::string& baseDatos,
                   const std::function<void(tv::db::Connection&, Resultado&)>& escribir) {
  Resultado r;
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  try {
    tv::db::Transaction tx(baseDatos.c_str());
    escribir(*conn, r);
    if (!r.errores.empty()) return r;
    tx.Commit();
  } catch (const EDBEngineError& e) {
    return Rehusado(e, r);
  }
  r.grabado = true;
  return r;
}

}  // namespace

Resultado BorrarOrdenPago(const std::string& baseDatos, std::int64_t numero, long long versionTraida) {
  return Escribir(baseDatos, [&](tv::db::Connection& conn, Resultado& r) {
    if (Version(conn, numero) != versionTraida) {
      r.errores.push_back({"version", kDocumentoModificado});
      return;
    }
    BorrarOrdenYAsiento(conn, numero);
  });
}

Resultado BorrarRegistroYPagos(const std::string& baseDatos, std::int64_t irp, long long versionRegistro,
                               const std::map<std::int64_t, long long>& versionesPagos) {
  return Escribir(baseDatos, [&](tv::db::Connection& conn, Resultado& r) {
    std::vector<std::int64_t> ordenes;
    tv::db::Stmt st = conn.Prepare("SELECT iop FROM mvtOrdenPago WHERE IRP=?1 AND iop IS NOT NULL");
    st.Bind(1, Cell::Integer(irp));
    while (st.Step()) ordenes.push_back(Entero(st.Column(0)));
    st = tv::db::Stmt();
    // Ni el registro ni ninguna de sus órdenes cambió desde la lista (tampoco una orden nueva).
    bool alDia = tv::schema::VersionDoc(conn.Db(), "RP", tv::schema::ClaveDoc(irp)) == versionRegistro;
    for (std::int64_t o : ordenes) {
      auto v = versionesPagos.find(o);
      alDia = alDia && Version(conn, o) == (v == versionesPagos.end() ? 0 : v->second);
    }
    if (!alDia) {
      r.errores.push_back({"version", kDocumentoModificado});
      return;
    }
    Ejecutar(conn, "DELETE FROM mvtRegPptal WHERE irp=?1", {Cell::Integer(irp)});
    for (std::int64_t o : ordenes) BorrarOrdenYAsiento(conn, o);
    for (const auto& t : conn.TakeWrittenTables()) conn.Touch(t);
  });
}

Resultado CorrerOrdenesPago(const std::string& baseDatos, std::int64_t desde, int paso, long long versionTraida) {
  return Escribir(baseDatos, [&](tv::db::Connection& conn, Resultado& r) {
    if (!Existe(conn, desde) || Version(conn, desde) != versionTraida) {
      r.errores.push_back({"version", kDocumentoModificado});
      return;
    }
    if (paso < 0) {
      tv::db::Stmt st = conn.Prepare("SELECT max(iop) FROM mvtOrdenPago WHERE iop<?1");
      st.Bind(1, Cell::Integer(desde));
      bool hay = st.Step() && !st.Column(0).IsNull();
      std::int64_t anterior = hay ? Entero(st.Column(0)) : 0;
      if (desde - anterior <= 1) {
        r.errores.push_back({"numero", hay ? "La anterior órden de pago debe tener un número no consecutivo."
                                           : "Inicio de la numeración."});
        return;
      }
    }
    // Números de asiento hechos solo de dígitos: los únicos que la numeración corre.
    const std::string soloDigitos = "numedocu<>'' and numedocu not glob '*[^0-9]*'";
    const std::string s = paso > 0 ? "+1" : "-1";
    std::vector<std::string> tipos;
    {
      tv::db::Stmt st = conn.Prepare("SELECT DISTINCT descdocu FROM mvtOrdenPago WHERE iop>=?1 AND descdocu IS NOT NULL");
      st.Bind(1, Cell::Integer(desde));
      while (st.Step()) tipos.push_back(Texto(st.Column(0)));
    }
    Cell d = Cell::Integer(desde);
    // Dos pasos: el número de orden es clave y no puede chocar a mitad de camino.
    Ejecutar(conn,
             "UPDATE mvtOrdenPago SET iop=-(iop" + s + "), numedocu=CASE WHEN " + soloDigitos +
                 " THEN cast(cast(numedocu AS integer)" + s + " AS text) ELSE numedocu END WHERE iop>=?1",
             {d});
    Ejecutar(conn, "UPDATE mvtOrdenPago SET iop=-iop WHERE iop<0");
    for (const auto& t : tipos)
      for (const char* tabla : {"mvt", "mvtMaestro"})
        Ejecutar(conn,
                 std::string("UPDATE ") + tabla + " SET numedocu=cast(cast(numedocu AS integer)" + s +
                     " AS text) WHERE descdocu=?2 AND " + soloDigitos + " AND cast(numedocu AS integer)>=?1",
                 {d, Cell::String(t)});
    for (const char* op : {"op1", "op2", "op3", "op4", "op5"})
      Ejecutar(conn, std::string("UPDATE mvtMaestro SET ") + op + "=" + op + s + " WHERE " + op + ">=?1", {d});
  });
}

}  // namespace tv::motor
