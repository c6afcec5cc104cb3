// Motor de saldos: una fila de baltempestados por cuenta, con las sumas antes y dentro del
// periodo acumuladas sobre la cuenta y todo código que empieza por ella.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "app/DataModule.h"
#include "app/Validaciones.h"
#include "platform/db/DBTables.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"
#include "reports/FrmMessage.h"
#include "shared/general/SqlUtil.h"

namespace {

constexpr const char* kAlias = "Contabilidad";
// Diferencias menores son restos de la suma en coma flotante, no saldos.
constexpr double kTolerancia = 1e-9;

struct Suma {
  double debito = 0;
  double credito = 0;
};
using Sumas = std::map<std::string, Suma>;

// Las sumas por cuenta de las líneas de una ventana de fechas: acumuladas también por
// clase y guardadas en la tabla de trabajo de la ventana (inserciones de varias filas).
void SumasDeVentana(TQuery* q, TQuery* escritura, const std::string& condicion, const char* tabla, Sumas& sumas,
                    double* deb, double* cre) {
  HagaSQL(kAlias, q,
          "select numecuen, sum(debito) as Debito, sum(credito) as Credito from mvt" +
              (condicion.empty() ? std::string() : " where " + condicion) + " group by numecuen");
  TField* cuenta = q->FieldByName("numecuen");
  TField* d = q->FieldByName("Debito");
  TField* c = q->FieldByName("Credito");
  auto valor = [](TField* f) { return f->IsNull ? std::string("null") : NumeroSQL(f->AsFloat).str(); };
  std::string filas;
  auto guardar = [&] {
    if (filas.empty()) return;
    HagaSQL(kAlias, escritura, std::string("insert into ") + tabla + " (numecuen, Debito, Credito) values " + filas);
    filas.clear();
  };
  for (q->First(); !q->Eof; q->Next()) {
    if (!filas.empty()) filas += ", ";
    filas += "(" + (cuenta->IsNull ? std::string("null") : TextoSQL(cuenta->AsString).str()) + ", " + valor(d) +
             ", " + valor(c) + ")";
    if (filas.size() > 32768) guardar();
    if (cuenta->IsNull) continue;
    std::string codigo = cuenta->AsString.str();
    Suma& s = sumas[codigo];
    s.debito += d->AsFloat;
    s.credito += c->AsFloat;
    unsigned char clase = static_cast<unsigned char>(codigo[0]);
    if (clase >= '0' && clase <= '9') {
      deb[clase - '0'] += d->AsFloat;
      cre[clase - '0'] += c->AsFloat;
    }
  }
  guardar();
}

// Suma de la cuenta y de todo código que empieza por ella (el mismo resultado que
// "numecuen like 'cuenta%'", sin armar un patrón con el código).
Suma Acumulada(const Sumas& sumas, const std::string& cuenta) {
  Suma total;
  for (auto it = sumas.lower_bound(cuenta); it != sumas.end(); ++it) {
    if (it->first.compare(0, cuenta.size(), cuenta) != 0) break;
    total.debito += it->second.debito;
    total.credito += it->second.credito;
  }
  return total;
}

// Débito y crédito netos: solo el lado mayor guarda la diferencia; iguales quedan como están.
void Neto(double d, double c, double& od, double& oc) {
  double x = d - c;
  if (x > kTolerancia) {
    od = x;
    oc = 0;
  } else if (x < -kTolerancia) {
    od = 0;
    oc = c - d;
  } else {
    od = d;
    oc = c;
  }
}

}  // namespace

void TFrmBalances::LlenarBalTempEstados() {
  TTable* plan = DM->TblPlan;
  TTable* bal = DM->TblBal;
  if (!plan->Active) plan->Open();
  FrmMessage->PBar->Max = plan->RecordCount;
  FrmMessage->Show();

  AnsiString desde = MesDiaAnio(EdFechaInicio->Text);
  AnsiString hasta = MesDiaAnio(EdFechaFinal->Text);
  HagaSQL(kAlias, Query1, "delete from SaldosAntes");
  HagaSQL(kAlias, Query1, "delete from SaldosEntre");

  // Con las estadísticas de los libros cada suma recorre solo su ventana de fechas dentro de
  // cada cuenta del índice de cuenta, que cubre fecha, débito y crédito.
  // Cuando toda línea cae en el periodo (el año entero) la suma del periodo no mira fechas.
  Sumas antes, entre;
  HagaSQL(kAlias, Query3,
          "select count(*) as n from (select 1 from mvt where fecha is null or fecha <'" + desde.str() +
              "' or fecha >'" + hasta.str() + "' limit 1)");
  bool todas = Query3->FieldByName("n")->AsInteger == 0;
  if (!todas)
    SumasDeVentana(Query1, Query3, "fecha <'" + desde.str() + "'", "SaldosAntes", antes, sumas_.debAntes,
                   sumas_.creAntes);
  SumasDeVentana(Query2, Query3, todas ? "" : "fecha >='" + desde.str() + "' and fecha<='" + hasta.str() + "'",
                 "SaldosEntre", entre, sumas_.debEntre, sumas_.creEntre);
  DM->TblSaldosAntes->Refresh();
  DM->TblSaldosEntre->Refresh();

  // Una pasada por el plan responde qué cuentas son auxiliares.
  struct Cuenta {
    std::string codigo;
    AnsiString nombre;
  };
  std::vector<Cuenta> lista;
  std::vector<std::string> codigos;
  codigos.reserve(plan->RecordCount);
  for (plan->First(); !plan->Eof; plan->Next()) {
    Cuenta c{plan->FieldByName("numecuen")->AsString.str(), plan->FieldByName("nombcuen")->AsString};
    codigos.push_back(c.codigo);
    if (!chbExpress->Checked) lista.push_back(std::move(c));
  }
  std::sort(codigos.begin(), codigos.end());
  if (chbExpress->Checked) {
    HagaSQL(kAlias, queryGral,
            "select numecuen,nombcuen from pl where numecuen in (select numecuen from mvt) order by numecuen");
    for (queryGral->First(); !queryGral->Eof; queryGral->Next())
      lista.push_back({queryGral->FieldByName("numecuen")->AsString.str(),
                       queryGral->FieldByName("nombcuen")->AsString});
    // La barra mide las cuentas que se recorren: contra el plan entero apenas avanzaba.
    FrmMessage->PBar->Max = std::max<int>(1, static_cast<int>(lista.size()));
  }
  auto esAuxiliar = [&codigos](const std::string& c) {
    if (c.size() <= 4) return false;
    auto it = std::lower_bound(codigos.begin(), codigos.end(), c);
    int debajo = 0;
    for (; it != codigos.end() && it->compare(0, c.size(), c) == 0 && debajo < 2; ++it) ++debajo;
    return debajo <= 1;
  };
  auto tieneLineas = [&](const std::string& c) {
    if (antes.count(c) || entre.count(c)) return true;
    // Solo líneas fuera de las dos sumas (posteriores al periodo) o ninguna.
    HagaSQL(kAlias, Query3, "select count(*) as n from mvt where numecuen=" + TextoSQL(AnsiString(c)));
    return Query3->FieldByName("n")->AsInteger > 0;
  };

  bool iguales = chbSaldosIguales->Checked;
  bool ceros = chbSaldosCero->Checked;
  bool neto = Llamado == 2 || Llamado == 5;
  int maxLargo = 0;
  if (Llamado == 1 || Llamado == 3) {
    if (RBCuatro->Checked) maxLargo = 4;
    else if (RBDos->Checked) maxLargo = 2;
  }
  TField* fCuenta = bal->FieldByName("Numecuen");
  TField* fNombre = bal->FieldByName("NombCuen");
  TField* fDebito = bal->FieldByName("Debito");
  TField* fCredito = bal->FieldByName("Credito");
  TField* fPasa = bal->FieldByName("Pasasaldo");
  TField* fNuevo = bal->FieldByName("NuevoSaldo");
  TField* fSD = bal->FieldByName("SaldoDebito");
  TField* fSC = bal->FieldByName("SaldoCredito");
  TField* fND = bal->FieldByName("NuevoDebito");
  TField* fNC = bal->FieldByName("NuevoCredito");
  for (const Cuenta& cuenta : lista) {
    const std::string& c = cuenta.codigo;
    FrmMessage->PBar->Position = FrmMessage->PBar->Position + 1;
    FrmMessage->Label1->Caption = AnsiString(c);
    FrmMessage->Repaint();
    if (esAuxiliar(c) && !tieneLineas(c)) continue;
    if (Llamado == 3 && (c.empty() || c[0] <= '3')) continue;
    if (maxLargo && static_cast<int>(c.size()) > maxLargo) continue;
    Suma a = Acumulada(antes, c);
    double dA = a.debito, cA = a.credito;
    if (std::fabs(dA - cA) < 0.01 && iguales) {
      dA = 0;
      cA = 0;
    }
    Suma e = Acumulada(entre, c);
    double dE = e.debito, cE = e.credito;
    if (!ceros && dA == 0 && cA == 0 && dE == 0 && cE == 0) continue;
    double D = dE + dA, C = cE + cA;
    if (std::fabs(D - C) < kTolerancia && iguales) {
      D = 0;
      C = 0;
    }
    bal->Append();
    fCuenta->AsString = cuenta.codigo.c_str();
    fNombre->AsString = cuenta.nombre;
    fDebito->AsFloat = dE;
    fCredito->AsFloat = cE;
    double saldo = (dA - cA) + (dE - cE);
    fPasa->AsFloat = saldo;
    fNuevo->AsFloat = saldo;
    if (neto) {
      double sd, sc, nd, nc;
      Neto(dA, cA, sd, sc);
      Neto(D, C, nd, nc);
      fSD->AsFloat = sd;
      fSC->AsFloat = sc;
      fND->AsFloat = nd;
      fNC->AsFloat = nc;
    } else {
      fSD->AsFloat = dA;
      fSC->AsFloat = cA;
      fND->AsFloat = D;
      fNC->AsFloat = C;
    }
    bal->Post();
  }
}
