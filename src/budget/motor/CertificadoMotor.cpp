#include "budget/motor/CertificadoMotor.h"

#include <cmath>
#include <map>

#include "budget/CalculosPptal.h"

namespace tv::motor {

namespace {

using tv::db::Cell;

std::string Numero(std::int64_t n) { return std::to_string(n); }

void RevisarCampos(const Certificado& c, Resultado& res) {
  if (c.icd <= 0) res.Error("icd", "El número del certificado de disponibilidad debe ser un entero mayor que 0.");
  if (c.valor <= 0) res.Error("valor", "El valor debe ser mayor que 0.");
  std::int64_t rubros = 0;
  for (const auto& r : c.rubros) rubros += r.valor;
  if (rubros != c.valor) res.Error("rubros", "El valor del CDP no coincide con la suma de separado para cada rubro.");
  if (c.func + c.inv != c.valor)
    res.Error("valor", "La suma de inversión mas funcionamiento es diferente del valor solicitado.");
}

void RevisarNumeroYVersion(Libros& l, const Certificado& c, const CertificadoTraido& t, Resultado& res) {
  if (t.nuevo) {
    if (l.Existe("select 1 from mvtCertDisp where icd=?", {NumeroCelda(c.icd)})) {
      res.siguiente =
          static_cast<std::int64_t>(std::floor(l.Valor("select max(icd) from mvtCertDisp").Number())) + 1;
      res.Error("numero", "El certificado de disponibilidad " + Numero(c.icd) +
                              " ya fue grabado por otro usuario. Se propone el número " + Numero(res.siguiente) + ".");
    }
    return;
  }
  if (l.Version("CD", c.icd) != t.version) res.Error("version", kDocumentoModificado);
}

// Solo lo que el certificado aumenta en cada rubro se mide contra su disponible guardado.
void RevisarDisponibles(const Certificado& c, const CertificadoTraido& t, Resultado& res) {
  std::map<std::string, std::int64_t> pedido, antes;
  std::vector<std::string> orden;
  for (const auto& r : c.rubros) {
    if (!pedido.count(r.rubro)) orden.push_back(r.rubro);
    pedido[r.rubro] += r.valor;
  }
  if (!t.nuevo)
    for (const RubroCertificado& r : RubrosDeCertificado(c.icd))
      antes[r.rubro.str()] += CentavosDe(r.valor);
  for (const std::string& rubro : orden) {
    std::int64_t aumento = pedido[rubro] - antes[rubro];
    if (aumento <= 0) continue;
    std::int64_t disponible = CentavosDe(getDisponibilidadRubro(rubro.c_str(), "E", nullptr));
    if (aumento > disponible)
      res.Error("rubros", FraseSinDisponible(rubro.c_str(), PesosDe(aumento), !t.nuevo && antes[rubro] != 0,
                                             PesosDe(disponible))
                              .str());
  }
}

std::vector<RubroCertificadoMonto> FilasGuardadas(Libros& l, std::int64_t icd) {
  std::vector<RubroCertificadoMonto> filas;
  tv::db::Stmt st = l.Conexion().Prepare("select rubroPptal, valor from certDispRubros where icd=" + Numero(icd) +
                                         " order by rowid");
  while (st.Step()) {
    Cell rubro = st.Column(0);
    filas.push_back({rubro.IsNull() ? std::string() : rubro.s, CentavosDe(st.Column(1).Number())});
  }
  return filas;
}

void Escribir(Libros& l, const Certificado& c, bool nuevo) {
  if (nuevo)
    l.Ejecutar("insert into mvtCertDisp (FechaExped, fechaVenc, objetoGasto, valor, func, inv, vigFiscal, icd) "
               "values (?,?,?,?,?,?,?,?)",
               {Cell::String(c.fechaExped), Cell::String(c.fechaVenc), TextoCelda(c.objetoGasto), MontoCelda(c.valor),
                MontoCelda(c.func), MontoCelda(c.inv), TextoCelda(c.vigFiscal), NumeroCelda(c.icd)});
  else
    // Sus rubros quedan en certDispRubros: el campo propio se vacía para no separar dos veces.
    l.Ejecutar("update mvtCertDisp set FechaExped=?, fechaVenc=?, objetoGasto=?, valor=?, func=?, inv=?, "
               "vigFiscal=?, rubroPptal=null where icd=?",
               {Cell::String(c.fechaExped), Cell::String(c.fechaVenc), TextoCelda(c.objetoGasto), MontoCelda(c.valor),
                MontoCelda(c.func), MontoCelda(c.inv), TextoCelda(c.vigFiscal), NumeroCelda(c.icd)});
  if (!l.Existe("select 1 from pac where icd=?", {NumeroCelda(c.icd)}))
    l.Ejecutar("insert into pac (icd) values (?)", {NumeroCelda(c.icd)});
  std::string meses;
  std::vector<Cell> montos;
  for (int m = 1; m <= 12; ++m) {
    meses += (m > 1 ? ", m" : "m") + std::to_string(m) + "=?";
    montos.push_back(MontoCelda(c.pac[m - 1]));
  }
  montos.push_back(NumeroCelda(c.icd));
  l.Ejecutar("update pac set " + meses + " where icd=?", montos);
  // Filas iguales a las guardadas no se reescriben: sus rubros no cambian.
  if (FilasGuardadas(l, c.icd) == c.rubros) return;
  l.Ejecutar("delete from certDispRubros where icd=?", {NumeroCelda(c.icd)});
  for (const auto& r : c.rubros)
    l.Ejecutar("insert into certDispRubros (icd, rubropptal, valor) values (?,?,?)",
               {NumeroCelda(c.icd), Cell::String(r.rubro), MontoCelda(r.valor)});
}

}  // namespace

Resultado GrabarCertificado(const Certificado& c, const CertificadoTraido& t) {
  return EnTransaccion([&](Libros& l, Resultado& res) {
    RevisarCampos(c, res);
    if (!res.Grabado()) return;
    RevisarNumeroYVersion(l, c, t, res);
    if (!res.Grabado()) return;
    RevisarDisponibles(c, t, res);
    if (!res.Grabado()) return;
    Escribir(l, c, t.nuevo);
    res.version = l.Version("CD", c.icd);
  });
}

long long VersionCertificado(std::int64_t icd) {
  Libros l;
  return l.Version("CD", icd);
}

}  // namespace tv::motor
