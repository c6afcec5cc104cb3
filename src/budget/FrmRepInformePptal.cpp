#include "budget/FrmRepInformePptal.h"

#include "app/DataModule.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmInformePptal.h"
#include "platform/core/SysUtils.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Mask.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Numeros.h"

TfrmRepInformePptal* frmRepInformePptal = nullptr;
TfrmRepInformePptal_i* frmRepInformePptal_i = nullptr;

namespace {
const char* kDesdeSiempre = "01/01/1900";

AnsiString Config(const char* campo) {
  TTable* t = DM->TblConfigContab;
  if (!t->Active) t->Open();
  t->First();
  return t->FieldByName(campo)->AsString;
}

AnsiString Monto(double v) { return AnsiString(Punto(v, 2)); }

AnsiString DiaAnterior(const AnsiString& fecha) {
  TDateTime d;
  if (!TryStrToDate(fecha, d)) return fecha;
  return DateToStr(TDateTime(static_cast<double>(d) - 1));
}
}  // namespace

int AltoLineaResumen(const AnsiString& aTexto, bool aIngreso) {
  int n = aTexto.Length();
  if (n <= 24) return 17;
  return aIngreso ? (n / 25 + 1) * 17 : n * 17 / 25;
}

TfrmRepInformePptal::TfrmRepInformePptal(TComponent* Owner, bool aIngreso) : TForm(Owner), ingreso_(aIngreso) {
  Name = aIngreso ? "frmRepInformePptal_i" : "frmRepInformePptal";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  if (frmInformePptal) {
    DataSource1->DataSet = frmInformePptal->Query1;
    fechaInicial = frmInformePptal->EdFechaInicio->Text;
    fechaFinal = frmInformePptal->EdFechaFinal->Text;
  }
  QuickReport1 = Make<TQuickRep>(this, "QuickReport1");
  QuickReport1->DataSource = DataSource1;
  QuickReport1->Page->Orientation = poLandscape;
  QuickReport1->Page->PaperSize = aIngreso ? qrpLetter : qrpLegal;
  if (aIngreso) QuickReport1->Page->LeftMargin = 10;
  QuickReport1->ShowPrintDialog = true;
  QuickReport1->ReportTitle = aIngreso ? "INFORME PRESUPUESTAL DE INGRESOS" : "INFORME PRESUPUESTAL DE GASTOS";
  CrearBandas();
}

const CierreRubroPptal& TfrmRepInformePptal::Cierre(const AnsiString& aRubro) {
  auto it = cierres_.find(aRubro);
  if (it != cierres_.end()) return it->second;
  ++calculos;
  CierreRubroPptal c;
  AnsiString antes = DiaAnterior(fechaInicial);
  if (ingreso_) {
    c.movimientoAnterior = getPresupuestadoRubro(aRubro, "I", kDesdeSiempre, antes);
    c.registrosAnterior = getComprometidoRubro(aRubro, "I", kDesdeSiempre, antes);
    c.disponible = getDisponibilidadRubro(aRubro, "I", nullptr);
  } else {
    c.movimientoAnterior = getPresupuestadoRubro(aRubro, "E", kDesdeSiempre, antes);
    c.certificadosAnterior = getApropiadoRubro(aRubro, "E", kDesdeSiempre, antes);
    c.registrosAnterior = getComprometidoRubro(aRubro, "E", kDesdeSiempre, antes);
    c.certificadosPeriodo = getApropiadoRubro(aRubro, "E", fechaInicial, fechaFinal);
    c.certificadosSaldo = getApropiadoRubro(aRubro, "E", kDesdeSiempre, fechaFinal);
    c.disponible = getDisponibilidadRubro(aRubro, "E", nullptr);
  }
  return cierres_.emplace(aRubro, c).first->second;
}

void TfrmRepInformePptal::CrearBandas() {
  TDataSource* ds = DataSource1;
  TQRCustomBand* titulo = NuevaBanda(this, QuickReport1, rbTitle, 50);
  NuevaEtiqueta(this, titulo, "QRLabel1", Config("IEmpresa") + "  " + Config("NIT"), 10, 4, 0, false, true);
  TQRLabel* lblTitulo = NuevaEtiqueta(this, titulo, "QRLabel2", "", 10, 26, 0, false, true);
  titulo->BeforePrint = [this, lblTitulo](TQRCustomBand*, bool&) {
    AnsiString desde = frmInformePptal ? AnsiString(frmInformePptal->EdFechaInicio->Text) : fechaInicial;
    AnsiString hasta = frmInformePptal ? AnsiString(frmInformePptal->EdFechaFinal->Text) : fechaFinal;
    lblTitulo->Caption = AnsiString(ingreso_ ? "INFORME PRESUPUESTAL DE INGRESOS DESDE "
                                             : "INFORME PRESUPUESTAL DE GASTOS DESDE ") +
                         desde + " HASTA " + hasta;
  };

  // Columnas: gasto con CDP y comprometido; ingreso sin ellos.
  struct Col {
    const char *titulo, *campo;
    int x, ancho;
    bool monto;
  };
  std::vector<Col> cols;
  if (!ingreso_)
    cols = {{"Rubro", "rubroPptal", 10, 85, false},   {"Fecha", "fecha", 97, 72, false},
            {"Comp", "descDocu", 171, 40, false},     {"Núm", "numero", 213, 60, false},
            {"CDP", "icd", 275, 40, false},           {"NIT o cédula", "itercero", 317, 90, false},
            {"Beneficiario", "nombre", 409, 200, false}, {"Objeto gasto", "objetoGasto", 611, 175, false},
            {"Aprobado", "Aprobado", 790, 110, true}, {"Comprometido", "Comprometido", 904, 110, true},
            {"Ejecutado", "ejecutado", 1018, 110, true}};
  else
    cols = {{"Rubro", "rubroPptal", 10, 70, false},   {"Fecha", "fecha", 82, 70, false},
            {"Comp", "descDocu", 154, 36, false},     {"Núm", "numero", 192, 56, false},
            {"NIT o cédula", "itercero", 250, 84, false}, {"Beneficiario", "nombre", 336, 180, false},
            {"Concepto del ingreso", "objetoGasto", 518, 175, false}, {"Aprobado", "Aprobado", 697, 110, true},
            {"Ejecutado", "ejecutado", 811, 110, true}};
  TQRCustomBand* cab = NuevaBanda(this, QuickReport1, rbColumnHeader, 20);
  for (const auto& c : cols) NuevaEtiqueta(this, cab, "", c.titulo, c.x, 2, c.monto ? c.ancho : 0, c.monto, true);

  auto* grupo = new TQRGroup(this);
  grupo->Name = "QRGroup1";
  grupo->Expression = "RubroPptal";
  grupo->Height = 0;
  grupo->Parent = QuickReport1;

  TQRCustomBand* det = NuevaBanda(this, QuickReport1, rbDetail, 17);
  TQRLabel* lblNit = nullptr;
  TQRLabel* lblNombre = nullptr;
  for (const auto& c : cols) {
    AnsiString campo = c.campo;
    if (campo == "objetoGasto") {
      QRMemo1 = new TQRMemo(this);
      QRMemo1->Name = "QRMemo1";
      QRMemo1->Left = c.x;
      QRMemo1->Top = 0;
      QRMemo1->Width = c.ancho;
      QRMemo1->Height = 17;
      QRMemo1->Parent = det;
    } else if (campo == "itercero") {
      lblNit = NuevaEtiqueta(this, det, "lblNit", "", c.x, 1, c.ancho);
    } else if (campo == "nombre") {
      lblNombre = NuevaEtiqueta(this, det, "lblNombre", "", c.x, 1, c.ancho);
    } else {
      auto* t = NuevoCampo(this, det, "", ds, c.campo, c.x, 1, c.ancho, c.monto);
      if (c.monto) t->OnPrint = [](TObject*, AnsiString& v) { v = MontoImpreso(v); };
    }
  }
  det->BeforePrint = [this, lblNit, lblNombre](TQRCustomBand* b, bool&) {
    TDataSet* d = DataSource1->GetDataSet();
    AnsiString texto = d->FieldByName("objetoGasto")->AsString;
    QRMemo1->Lines->SetText(texto);
    QRMemo1->Height = AltoLineaResumen(texto, ingreso_);
    b->Height = QRMemo1->Height;
    // Los movimientos de la entidad llevan su propia identificación.
    AnsiString doc = d->FieldByName("descDocu")->AsString;
    bool entidad = doc == "ADD" || doc == "APR" || doc == "TRA";
    lblNit->Caption = entidad ? Config("Nit") : AnsiString(d->FieldByName("itercero")->AsString);
    lblNombre->Caption = entidad ? Config("IEMPRESA") : AnsiString(d->FieldByName("nombre")->AsString);
    AnsiString r = d->FieldByName("rubroPptal")->AsString;
    if (r != rubroGrupo_) {
      rubroGrupo_ = r;
      sumaAprobado_ = sumaEjecutado_ = 0;
    }
    sumaAprobado_ += d->FieldByName("Aprobado")->AsFloat;
    sumaEjecutado_ += d->FieldByName("ejecutado")->AsFloat;
  };

  TQRCustomBand* pie = NuevaBanda(this, QuickReport1, rbGroupFooter, 76);
  pie->Name = "bandFooter";
  grupo->FooterBand = pie;
  TQRLabel* lblResumen = NuevaEtiqueta(this, pie, "lblResumen", "", 10, 4, 0, false, true);
  std::vector<TQRLabel*> v;
  // Cada bloque con su título encima de sus columnas.
  auto fila = [&](const char* bloque, int y, std::vector<std::pair<const char*, int>> subt) {
    NuevaEtiqueta(this, pie, "", bloque, subt.front().second, y, 0, false, true);
    for (auto& [s, x] : subt) {
      NuevaEtiqueta(this, pie, "", s, x, y + 16, 120, true);
      v.push_back(NuevaEtiqueta(this, pie, "", "", x, y + 32, 120, true));
    }
  };
  if (!ingreso_) {
    fila("SALDO ANTERIOR", 22, {{"MOVIMIENTO", 20}, {"CERTIFICADOS", 150}, {"REGISTROS", 280}});
    fila("TOTALES EN EL PERÍODO", 22, {{"MOVIMIENTO", 440}, {"CERTIFICADOS", 570}, {"REGISTROS", 700}});
    fila("SALDO", 22, {{"CERTIFICADOS", 860}, {"Disponible", 990}});
  } else {
    fila("SALDO ANTERIOR", 22, {{"APROBADO", 20}, {"EJECUTADO", 150}});
    fila("TOTALES EN EL PERÍODO", 22, {{"APROBADO", 300}, {"EJECUTADO", 430}});
    fila("DISPONIBLE", 22, {{"", 580}});
  }
  pie->BeforePrint = [this, lblResumen, v](TQRCustomBand*, bool&) {
    rubro = rubroGrupo_;
    AnsiString tipo = frmInformePptal ? frmInformePptal->tipoCuentas : AnsiString(ingreso_ ? "I" : "E");
    TTable* plan = DM->tblPlanPpto;
    if (!plan->Active) plan->Open();
    AnsiString linea = rubro;
    if (!rubro.IsEmpty() && plan->Locate("tipocuenta;icuenta", VarArrayOf({Variant(tipo), Variant(rubro)})))
      linea = rubro + "  " + plan->FieldByName("NCuenta")->AsString;
    lblResumen->Caption = "RESUMEN DE " + linea;
    const CierreRubroPptal& c = Cierre(rubro);
    if (!ingreso_) {
      double cifras[] = {c.movimientoAnterior, c.certificadosAnterior, c.registrosAnterior, sumaAprobado_,
                         c.certificadosPeriodo, sumaEjecutado_, c.certificadosSaldo, c.disponible};
      for (size_t i = 0; i < v.size(); ++i) v[i]->Caption = Monto(cifras[i]);
    } else {
      double cifras[] = {c.movimientoAnterior, c.registrosAnterior, sumaAprobado_, sumaEjecutado_, c.disponible};
      for (size_t i = 0; i < v.size(); ++i) v[i]->Caption = Monto(cifras[i]);
    }
  };
  if (!ingreso_) {
    TQRCustomBand* pagina = NuevaBanda(this, QuickReport1, rbPageFooter, 36);
    auto* nota = new TQRMemo(this);
    nota->Name = "QRMemo2";
    nota->Left = 10;
    nota->Top = 2;
    nota->Width = 1100;
    nota->Height = 32;
    nota->Lines->SetText(
        "* En los totales en el período la columna comprometido se refiere a la suma de los CDPs. Recordar un CDP "
        "puede tener varios CE asociados, por lo que la suma incluye a los CDP únicos y puede no coincidir con la "
        "suma de los ítems listados en cada CE");
    nota->Parent = pagina;
  }
}
