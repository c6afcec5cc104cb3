#include "budget/CalculosPptal.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "budget/motor/LimitesLibros.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/db/sql/Translator.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

namespace {

const char* const kAlias = "Contabilidad";

// Consulta propia de cada cálculo; un campo nulo o de un resultado vacío vale 0.
class Consulta {
 public:
  Consulta() : q_(new TQuery(nullptr)) {}
  void sql(const std::string& texto) { HagaSQL(kAlias, q_.get(), texto); }
  double num(const char* campo) const {
    if (q_->IsEmpty() || q_->Eof) return 0;
    TField* f = q_->FieldByName(campo);
    return f->IsNull ? 0 : static_cast<double>(f->AsFloat);
  }
  // Suma de la primera columna de una consulta de una fila.
  double valor(const std::string& texto, const char* campo) {
    sql(texto);
    return num(campo);
  }
  TQuery* operator->() const { return q_.get(); }
  TQuery* get() const { return q_.get(); }

 private:
  std::unique_ptr<TQuery> q_;
};

// Todo programa que usa las cifras del presupuesto también revisa sus límites al grabar.
[[maybe_unused]] const bool kLimitesInstalados = (tv::motor::InstalarLimitesLibros(), true);

std::string T(const AnsiString& s) { return TextoSQL(s).str(); }
std::string N(double v) { return NumeroSQL(v).str(); }
std::string F(const AnsiString& fechaTexto) { return "'" + MesDiaAnio(fechaTexto).str() + "'"; }
std::string F(TDateTime fecha) { return "'" + MesDiaAnio(fecha).str() + "'"; }

// Parte del certificado que toca a la fila cdr de certDispRubros: su monto sobre la suma
// de los montos del certificado (partes iguales cuando esa suma es 0).
const std::string kParte =
    "(case when (select sum(z.valor) from certDispRubros as z where z.icd=cdr.icd)<>0 "
    "then 1.0*cdr.valor/(select sum(z.valor) from certDispRubros as z where z.icd=cdr.icd) "
    "else 1.0/(select count(*) from certDispRubros as z where z.icd=cdr.icd) end)";
// Certificados de un solo rubro por su campo propio, sin filas en certDispRubros.
const std::string kSoloCampoPropio =
    " not exists (select z.icd from certDispRubros as z where z.icd=cdp.icd)";

// Las dos vías por las que un registro llega al rubro, cada una una consulta de una suma:
// por las filas del certificado (con su participación) y por el campo propio de los
// certificados sin filas. `resto` agrega uniones (sobre rp) y `filtro` condiciones.
struct Vias {
  std::string filas, campoPropio;
};
Vias ViasPorRubro(const AnsiString& aRubro, const std::string& expr, const std::string& resto,
                  const std::string& filtro) {
  return {"select sum(" + expr + "*" + kParte + ") as total from certDispRubros as cdr " +
              "join mvtRegPptal as rp on rp.icd=cdr.icd " + resto + " where cdr.rubroPptal=" + T(aRubro) + filtro,
          "select sum(" + expr + ") as total from mvtCertDisp as cdp join mvtRegPptal as rp on rp.icd=cdp.icd " +
              resto + " where cdp.rubroPptal=" + T(aRubro) + " and" + kSoloCampoPropio + filtro};
}

// Varias sumas en una sola sentencia ("union all": dos sumas iguales nunca se juntan); el
// resultado es el total de todas.
double SumaDeSumas(const std::vector<std::string>& sumas) {
  std::string sql;
  for (size_t i = 0; i < sumas.size(); ++i) sql += (i ? " union all " : "") + sumas[i];
  Consulta q;
  q.sql(sql);
  double total = 0;
  for (q->First(); !q->Eof; q->Next()) total += q.num("total");
  return total;
}

double SumaPorRubro(const AnsiString& aRubro, const std::string& expr, const std::string& resto,
                    const std::string& filtro) {
  if (aRubro.IsEmpty()) return 0;
  Vias v = ViasPorRubro(aRubro, expr, resto, filtro);
  return SumaDeSumas({v.filas, v.campoPropio});
}

// Montos del rubro en los certificados (filas propias del certificado o su campo propio).
double SeparadoPorRubro(const AnsiString& aRubro, const std::string& filtroFecha) {
  if (aRubro.IsEmpty()) return 0;
  return SumaDeSumas({"select sum(cdr.valor) as total from certDispRubros as cdr join mvtCertDisp as cdp on "
                      "cdp.icd=cdr.icd where cdr.rubroPptal=" + T(aRubro) + filtroFecha,
                      "select sum(cdp.valor) as total from mvtCertDisp as cdp where cdp.rubroPptal=" + T(aRubro) +
                          " and" + kSoloCampoPropio + filtroFecha});
}

std::string Ventana(const char* campo, const std::string& desde, const std::string& hasta) {
  return std::string(" and ") + campo + ">=" + desde + " and " + campo + "<=" + hasta;
}

}  // namespace

// ---- Numeración y pendientes --------------------------------------------------------------

double getLastCertDisp() {
  Consulta q;
  return q.valor("select max(icd) as icd from mvtCertDisp", "icd");
}

double getLastRegPptal() {
  Consulta q;
  return std::round(q.valor("select max(irp) as irp from mvtRegPptal", "irp"));
}

double getLastOrdenPago() {
  Consulta q;
  return std::round(q.valor("select max(iop) as iop from mvtOrdenPago", "iop"));
}

bool EsNumeroTomado(const Exception& e, const char* tabla, const char* campo, double numero) {
  auto* motor = dynamic_cast<const EDBEngineError*>(&e);
  if (!motor || motor->ErrorCode() != DBIERR_KEYVIOL) return false;
  Consulta q;
  return q.valor(std::string("select count(*) as n from ") + tabla + " where " + campo + "=" +
                     N(numero),
                 "n") > 0;
}

void borrarOrdenSuministro(double aOrdenSuministro) {
  tv::db::Transaction tx(kAlias);
  DM->tblMvtOrdenSumiMaestro->Delete();
  Consulta q;
  q.sql("delete from mvtOrdenSuministro where iOrdenSuministro=" + N(aOrdenSuministro));
  tx.Commit();
}

void borrarOrdenServicio(double aOrdenServicio) {
  Consulta q;
  q.sql("delete from mvtOrdenServicio where iOrdenServicio=" + N(aOrdenServicio));
}

double getCompromisoPendiente(double aICD, bool ubicado) {
  Consulta q;
  double valor = ubicado ? static_cast<double>(DM->tblMvtCertDisp->FieldByName("valor")->AsFloat)
                         : q.valor("select valor from mvtcertdisp where icd=" + N(aICD), "valor");
  return valor - q.valor("select sum(valor) as total from mvtRegpptal where icd=" + N(aICD), "total");
}

double getPagoPendienteRP(double aIRP, bool ubicado) {
  Consulta q;
  double valor = ubicado ? static_cast<double>(DM->tblMvtRegPptal->FieldByName("valor")->AsFloat)
                         : q.valor("select valor from mvtRegPptal where irp=" + N(aIRP), "valor");
  return valor - q.valor("select sum(valor) as total from mvtOrdenPago where irp=" + N(aIRP), "total");
}

double getPendienteParaOrden(double aIRP, double aIOP) {
  Consulta q;
  return getPagoPendienteRP(aIRP, false) +
         q.valor("select sum(valor) as total from mvtOrdenPago where iop=" + N(aIOP) + " and irp=" + N(aIRP), "total");
}

double getOrden(double airp, AnsiString& aFecha, int& atipoOrden) {
  Consulta q;
  q.sql("select iOrdenServicio,fecha from mvtOrdenServicio where irp=" + N(airp));
  int filas = q->RecordCount;
  if (filas == 1) {
    aFecha = DateToStr(q->FieldByName("fecha")->AsDateTime);
    atipoOrden = 0;
    return q->FieldByName("iOrdenServicio")->AsFloat;
  }
  if (filas > 1) {
    atipoOrden = 0;
    return -1;
  }
  q.sql("select iOrdenSuministro, fecha from mvtOrdenSumiMaestro where irp=" + N(airp));
  filas = q->RecordCount;
  if (filas == 1) {
    aFecha = DateToStr(q->FieldByName("fecha")->AsDateTime);
    atipoOrden = 1;
    return q->FieldByName("iOrdenSuministro")->AsFloat;
  }
  if (filas > 1) {
    atipoOrden = 1;
    return -2;
  }
  atipoOrden = 2;
  return 0;
}

AnsiString MensajeVariasOrdenes(double aOrden) {
  if (aOrden == -1) return "Existen varias órdenes de servicio asociadas a este registro presupuestal";
  if (aOrden == -2) return "Existen varias órdenes de suministro asociadas a este registro presupuestal";
  return "";
}

bool CPCuadraConOP(double valorCP, double sumaOP) { return valorCP <= sumaOP && sumaOP <= 1.3 * valorCP; }

bool validaCP_OP(const AnsiString& aCP) {
  Consulta q;
  // Cada orden una vez; "in" sobre op1..op5 usa el índice de iop en lugar de recorrer todo.
  q.sql(std::string("select a.iop,a.valor as valorOP,b.descdocu,b.numedocu,b.valor \t\t") +
        "from mvtmaestro as b \t\tjoin mvtOrdenPago as a \t\t" +
        "on a.iop in (b.op1,b.op2,b.op3,b.op4,b.op5) \t\t" +
        "where b.descdocu='CP' and b.numedocu=" + T(aCP));
  double valorCP = q.num("valor");
  double suma = 0;
  for (q->First(); !q->Eof; q->Next()) suma += q.num("valorOP");
  return CPCuadraConOP(valorCP, suma);
}

// ---- Rubros de un certificado -------------------------------------------------------------

std::vector<RubroCertificado> RubrosDeCertificado(std::int64_t aICD) {
  std::vector<RubroCertificado> rubros;
  Consulta q;
  q.sql("select rubroPptal, valor from certDispRubros where icd=" + std::to_string(aICD));
  double suma = 0;
  for (q->First(); !q->Eof; q->Next()) {
    RubroCertificado r;
    r.rubro = q->FieldByName("rubroPptal")->AsString;
    r.valor = q.num("valor");
    suma += r.valor;
    rubros.push_back(r);
  }
  if (rubros.empty()) {
    q.sql("select rubroPptal, valor from mvtCertDisp where icd=" + std::to_string(aICD));
    if (!q->IsEmpty() && !q->FieldByName("rubroPptal")->AsString.IsEmpty()) {
      RubroCertificado r;
      r.rubro = q->FieldByName("rubroPptal")->AsString;
      r.valor = q.num("valor");
      r.participacion = 1;
      rubros.push_back(r);
    }
    return rubros;
  }
  for (auto& r : rubros)
    r.participacion = suma != 0 ? r.valor / suma : 1.0 / static_cast<double>(rubros.size());
  return rubros;
}

// ---- Saldos de rubros ---------------------------------------------------------------------

double getSumaReintegrosRubro(const AnsiString& aRubro) {
  Consulta q;
  return q.valor("select sum(valor) as reintegrado from reintegros where rubro=" + T(aRubro) + " ",
                 "reintegrado");
}

double getSumaOPRubro(const AnsiString& aRubro) {
  return SumaPorRubro(aRubro, "op.valor", "join mvtOrdenPago as op on op.irp=rp.irp", "");
}

double getSumaOPRubro(const AnsiString& aRubro, TDateTime aFecha1, TDateTime aFecha2) {
  return SumaPorRubro(aRubro, "op.valor", "join mvtOrdenPago as op on op.irp=rp.irp",
                      Ventana("op.fechaExped", F(aFecha1), F(aFecha2)));
}

namespace {
// El valor del comprobante m se reparte entre las órdenes que nombra (cada una una vez) en
// proporción a sus valores: la parte de la orden op.
const std::string kSumaOrdenes =
    "(select sum(w.valor) from mvtOrdenPago as w where w.iop in (m.op1,m.op2,m.op3,m.op4,m.op5))";
const std::string kPagadoOrden = "m.valor*(case when " + kSumaOrdenes + "<>0 then 1.0*op.valor/" + kSumaOrdenes +
                                 " else 1.0/(select count(*) from mvtOrdenPago as w where w.iop in "
                                 "(m.op1,m.op2,m.op3,m.op4,m.op5)) end)";
// Cada orden una vez por comprobante: la unión por el campo op k no toma las órdenes ya
// nombradas por un campo anterior.
std::string SinCamposAnteriores(int k) {
  std::string filtro;
  for (int j = 1; j < k; ++j) {
    std::string c = "m.op" + std::to_string(j);
    filtro += " and (" + c + " is null or " + c + "<>op.iop)";
  }
  return filtro;
}
}  // namespace

double getSumaCPRubro(const AnsiString& aRubro, TDateTime aFecha1, TDateTime aFecha2) {
  // Cada par orden-comprobante una vez: la unión por "o" de los cinco campos op no repite el
  // comprobante que nombra dos veces la orden. Los comprobantes se buscan desde las órdenes del
  // rubro por el índice de cada campo ("cross join" fija ese orden): si no, con pocos op5
  // llenos la búsqueda parte de la fecha y recorre todos los comprobantes del periodo.
  if (aRubro.IsEmpty()) return 0;
  std::string resto = "join mvtOrdenPago as op on op.irp=rp.irp cross join mvtmaestro as m on (";
  for (int k = 1; k <= 5; ++k) resto += std::string(k > 1 ? " or " : "") + "m.op" + std::to_string(k) + "=op.iop";
  resto += ")";
  Vias v = ViasPorRubro(aRubro, kPagadoOrden, resto, Ventana("m.fecha", F(aFecha1), F(aFecha2)));
  return SumaDeSumas({v.filas, v.campoPropio});
}

double getDisponibilidadRubro(const AnsiString& aRubro, const AnsiString& aTipo, double* aPagado) {
  // Un monto nulo cuenta como 0 sin escribirlo: leer nunca escribe.
  Consulta q;
  if (aTipo == "E") {
    std::vector<std::string> columnas = {
        "select sum(coalesce(egreso,0)-coalesce(ingreso,0)) as total from mvtPptal where iCuenta=" + T(aRubro) + " and tipoCuenta=" + T(aTipo),
        "select sum(valor) as total from reintegros where rubro=" + T(aRubro)};
    if (!aRubro.IsEmpty()) {
      // Toda fila de certDispRubros cuenta, tenga o no encabezado.
      columnas.push_back("select -sum(valor) as total from certDispRubros where rubropptal=" + T(aRubro));
      columnas.push_back("select -sum(cdp.valor) as total from mvtCertDisp as cdp where cdp.rubropptal=" + T(aRubro) +
                         " and" + kSoloCampoPropio);
    }
    double disponible = SumaDeSumas(columnas);
    if (aPagado) *aPagado = getSumaOPRubro(aRubro);
    return disponible;
  }
  double aprobado = q.valor("select sum(coalesce(ingreso,0)-coalesce(egreso,0)) as aprobado from mvtPptal where iCuenta=" +
                                T(aRubro) + " and tipoCuenta='I'",
                            "aprobado");
  q.sql("select sum(credito) as sumaCred, sum(debito) as sumaDeb from mvt where rubro=" + T(aRubro));
  return aprobado - (q.num("sumaCred") - q.num("sumaDeb"));
}

double getApropiadoRubro(const AnsiString& aRubro, const AnsiString& aTipo, const AnsiString& aFechaInicial,
                         const AnsiString& aFechaFinal) {
  if (aTipo != "E") return 0;
  return getSeparadoRubro(aRubro, aFechaInicial, aFechaFinal);
}

double getPresupuestadoRubro(const AnsiString& aRubro, const AnsiString& aTipo, const AnsiString& aFechaInicial,
                             const AnsiString& aFechaFinal) {
  Consulta q;
  std::string columna = aTipo == "E" ? "egreso" : "ingreso";
  return q.valor("select sum(" + columna + ") as aprobado from mvtPptal as a " +
                     " left join mvtPptalMaestro as b on(a.imvtPptal=b.ImvtPptal and a.tipomvtPptal=b.tipoMvtPptal)" +
                     " where icuenta=" + T(aRubro) + " and b.fecha<=" + F(aFechaFinal) +
                     " and b.fecha>=" + F(aFechaInicial),
                 "aprobado");
}

double getComprometidoRubro(const AnsiString& aRubro, const AnsiString& aTipo, const AnsiString& aFechaInicial,
                            const AnsiString& aFechaFinal) {
  if (aTipo == "E") return getComprometidoRubro(aRubro, aFechaInicial, aFechaFinal);
  Consulta q;
  q.sql("select sum(credito) as sumaCred, sum(debito) as sumaDeb from mvt where rubro=" + T(aRubro) +
        " and fecha<=" + F(aFechaFinal) + " and fecha>=" + F(aFechaInicial));
  return q.num("sumaCred") - q.num("sumaDeb");
}

double getComprometidoRubro(const AnsiString& aRubro, const AnsiString& aFechaInicial,
                            const AnsiString& aFechaFinal) {
  return SumaPorRubro(aRubro, "rp.valor", "", Ventana("rp.fechaExped", F(aFechaInicial), F(aFechaFinal)));
}

double getSeparadoRubro(const AnsiString& aRubro, const AnsiString& aFechaInicial, const AnsiString& aFechaFinal) {
  return SeparadoPorRubro(aRubro, Ventana("cdp.fechaExped", F(aFechaInicial), F(aFechaFinal)));
}

// ---- Saldos de todos los rubros --------------------------------------------------------------

namespace {

// Las dos ventanas de un saldo agrupado: antes del periodo y el periodo.
struct Ventanas {
  std::string antesDesde, antesHasta, desde, hasta;  // fechas ya escritas para SQL
  // La expresión dentro de cada ventana de la fecha dada, nula fuera de ella.
  std::string antes(const char* fecha, const std::string& expr) const {
    return "(case when " + Entre(fecha, antesDesde, antesHasta) + " then " + expr + " end)";
  }
  std::string periodo(const char* fecha, const std::string& expr) const {
    return "(case when " + Entre(fecha, desde, hasta) + " then " + expr + " end)";
  }
  // Filas en alguna de las dos ventanas.
  std::string alguna(const char* fecha) const {
    return " and ((" + Entre(fecha, antesDesde, antesHasta) + ") or (" + Entre(fecha, desde, hasta) + "))";
  }
  static std::string Entre(const char* fecha, const std::string& d, const std::string& h) {
    return std::string(fecha) + ">=" + d + " and " + fecha + "<=" + h;
  }
};

// Parte de cada fila de certDispRubros con los totales de su certificado calculados una vez
// (la misma cuenta que kParte).
const std::string kTotalesCertificado =
    "join (select z.icd, sum(z.valor) as suma, count(*) as filas from certDispRubros as z group by z.icd) as tc "
    "on tc.icd=cdr.icd ";
const std::string kParteAgrupada = "(case when tc.suma<>0 then 1.0*cdr.valor/tc.suma else 1.0/tc.filas end)";

// Cada consulta da filas (rubro, parte, antes, periodo). Las partes de un rubro se suman en el
// orden de su número, el de las sumas de la función por rubro, así el total es el mismo.
CadenaPorRubro SumarPartes(const std::vector<std::string>& consultas, int partes) {
  std::map<std::string, std::vector<MontoVentanas>> porParte;
  Consulta q;
  for (const auto& sql : consultas) {
    q.sql(sql);
    for (q->First(); !q->Eof; q->Next()) {
      std::string rubro = q->FieldByName("rubro")->AsString.str();
      if (rubro.empty()) continue;
      auto& v = porParte[rubro];
      v.resize(partes);
      auto& m = v.at(static_cast<size_t>(q->FieldByName("parte")->AsInteger));
      m.antes = q.num("antes");
      m.periodo = q.num("periodo");
    }
  }
  CadenaPorRubro totales;
  for (const auto& [rubro, v] : porParte) {
    MontoVentanas t;
    for (const auto& m : v) {
      t.antes += m.antes;
      t.periodo += m.periodo;
    }
    totales[rubro] = t;
  }
  return totales;
}

// Las dos vías de un registro hacia sus rubros (filas del certificado con su parte; campo propio
// de los certificados sin filas), agrupadas por rubro. `desde` es la tabla de partida con sus
// uniones hasta rp; `antes` y `periodo` el importe de cada fila en su ventana (nulo fuera).
struct ViaAgrupada {
  std::string desde, antes, periodo, filtro;
  std::string parteFilas = "0", parteCampoPropio = "1", grupo = "";
};
std::vector<std::string> ViasAgrupadas(const ViaAgrupada& v) {
  auto sumas = [&](const std::string& parte) {
    return "sum(" + v.antes + parte + ") as antes, sum(" + v.periodo + parte + ") as periodo";
  };
  return {"select cdr.rubroPptal as rubro, " + v.parteFilas + " as parte, " + sumas("*" + kParteAgrupada) + " from " +
              v.desde + " join certDispRubros as cdr on cdr.icd=rp.icd " + kTotalesCertificado +
              "where cdr.rubroPptal is not null" + v.filtro + " group by cdr.rubroPptal" + v.grupo,
          "select cdp.rubroPptal as rubro, " + v.parteCampoPropio + " as parte, " + sumas("") + " from " + v.desde +
              " join mvtCertDisp as cdp on cdp.icd=rp.icd where cdp.rubroPptal is not null and" + kSoloCampoPropio +
              v.filtro + " group by cdp.rubroPptal" + v.grupo};
}

}  // namespace

CadenaPorRubro getSeparadoRubros(const AnsiString& aAntesDesde, const AnsiString& aAntesHasta,
                                 const AnsiString& aDesde, const AnsiString& aHasta) {
  Ventanas v{F(aAntesDesde), F(aAntesHasta), F(aDesde), F(aHasta)};
  const char* fecha = "cdp.fechaExped";
  auto via = [&](const char* tabla, const char* parte, const std::string& resto) {
    std::string campo = std::string(tabla) + ".rubroPptal", valor = std::string(tabla) + ".valor";
    return "select " + campo + " as rubro, " + parte + " as parte, sum(" + v.antes(fecha, valor) +
           ") as antes, sum(" + v.periodo(fecha, valor) + ") as periodo " + resto + " and " + campo +
           " is not null" + v.alguna(fecha) + " group by " + campo;
  };
  return SumarPartes(
      // Desde los certificados: por el índice de rubros serían saltos sueltos a ambas tablas.
      {via("cdr", "0", "from mvtCertDisp as cdp cross join certDispRubros as cdr on cdr.icd=cdp.icd where 1=1"),
       via("cdp", "1", "from mvtCertDisp as cdp where" + kSoloCampoPropio)},
      2);
}

CadenaPorRubro getComprometidoRubros(const AnsiString& aAntesDesde, const AnsiString& aAntesHasta,
                                     const AnsiString& aDesde, const AnsiString& aHasta) {
  Ventanas v{F(aAntesDesde), F(aAntesHasta), F(aDesde), F(aHasta)};
  const char* fecha = "rp.fechaExped";
  return SumarPartes(
      ViasAgrupadas({"mvtRegPptal as rp", v.antes(fecha, "rp.valor"), v.periodo(fecha, "rp.valor"), v.alguna(fecha)}),
      2);
}

CadenaPorRubro getSumaOPRubros(TDateTime aAntesDesde, TDateTime aAntesHasta, TDateTime aDesde, TDateTime aHasta) {
  Ventanas v{F(aAntesDesde), F(aAntesHasta), F(aDesde), F(aHasta)};
  const char* fecha = "op.fechaExped";
  return SumarPartes(ViasAgrupadas({"mvtOrdenPago as op join mvtRegPptal as rp on rp.irp=op.irp",
                                    v.antes(fecha, "op.valor"), v.periodo(fecha, "op.valor"), v.alguna(fecha)}),
                     2);
}

CadenaPorRubro getSumaCPRubros(TDateTime aAntesDesde, TDateTime aAntesHasta, TDateTime aDesde, TDateTime aHasta) {
  Ventanas v{F(aAntesDesde), F(aAntesHasta), F(aDesde), F(aHasta)};
  // Cada par comprobante-orden una vez, con lo que del comprobante toca a la orden en cada
  // ventana: cinco uniones por igualdad que parten de las órdenes ("cross join" fija ese orden;
  // si no, cada unión recorre todos los documentos del año por su fecha).
  std::string pares;
  for (int k = 1; k <= 5; ++k)
    pares += std::string(k > 1 ? " union all " : "") + "select " + std::to_string(k) + " as k, op.irp as irp, " +
             v.antes("m.fecha", kPagadoOrden) + " as antes, " + v.periodo("m.fecha", kPagadoOrden) +
             " as periodo from mvtOrdenPago as op cross join mvtmaestro as m on m.op" + std::to_string(k) +
             "=op.iop where 1=1" + v.alguna("m.fecha") + SinCamposAnteriores(k);
  // La vía de filas del campo k es la parte 2(k-1) y la de campo propio la siguiente (la
  // función por rubro suma las mismas filas en dos partes: el total coincide al centavo).
  ViaAgrupada via{"(" + pares + ") as pg join mvtRegPptal as rp on rp.irp=pg.irp", "pg.antes", "pg.periodo", ""};
  via.parteFilas = "2*pg.k-2";
  via.parteCampoPropio = "2*pg.k-1";
  via.grupo = ", pg.k";
  return SumarPartes(ViasAgrupadas(via), 10);
}

// ---- Plan de rubros -----------------------------------------------------------------------

bool EsRubroHoja(const AnsiString& aCuenta, const AnsiString& aTipoCuenta) {
  std::string patron = tv::db::EscapeLikePattern(aCuenta.str());
  std::string sql = "select icuenta from plPpto where tipoCuenta=" + T(aTipoCuenta);
  if (aCuenta.Pos(".") > 0)
    sql += " and icuenta like '" + patron + ".%' escape '\\'";
  else
    sql += " and icuenta like '" + patron + "%' escape '\\' and icuenta<>" + T(aCuenta);
  Consulta q;
  q.sql(sql);
  return q->IsEmpty();
}

// ---- Límites de la cadena al grabar -------------------------------------------------------

namespace {

// Montos comparados a centavos: 0.1 + 0.2 es 0.3.
double Centavos(double v) { return std::round(v * 100.0) / 100.0; }

// Los límites solo valen bajo el candado de escritura de la grabación.
void ExigirTransaccion() {
  if (!tv::db::ConnectionFor(kAlias)->InTransaction())
    throw Exception("Los límites del presupuesto se revisan dentro de la transacción de la grabación.");
}

}  // namespace

AnsiString FraseSinDisponible(const AnsiString& aRubro, double aPedido, bool aAumento, double aDisponible) {
  return "No hay disponible en el rubro " + aRubro + (aAumento ? ": el aumento es " : ": se piden ") +
         AnsiString(Punto(aPedido, 2)) + " y hay " + AnsiString(Punto(aDisponible, 2)) + " disponibles.";
}

AnsiString RevisarLimiteTraslado(const AnsiString& aRubro, double aMonto) {
  ExigirTransaccion();
  double disponible = getDisponibilidadRubro(aRubro, "E", nullptr);
  if (Centavos(disponible) < Centavos(aMonto))
    return "No tiene fondos para hacer el traslado. El rubro de donde saca (" + aRubro + ") solo tiene " +
           AnsiString(Punto(disponible, 2)) + "\n";
  return "";
}
