#include "reports/FrmRepInfComp.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "reports/ConsultasComun.h"
#include "reports/FrmInfComp.h"
#include "reports/FrmInfSop.h"

TFrmRepInfComp* FrmRepInfComp = nullptr;

TFrmRepInfComp::TFrmRepInfComp(TComponent* Owner, int aTipo) : TForm(Owner) {
  Name = "FrmRepInfComp";
  Caption = "Informe de documentos";
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "INFORME DE DOCUMENTOS";

  PageHeaderBand1 = NuevaBanda(this, QuickRep1, rbPageHeader, 84);
  QRLabel10 = NuevaEtiqueta(this, PageHeaderBand1, "QRLabel10", "", 10, 4, 0, false, true);
  QRLabel1 = NuevaEtiqueta(this, PageHeaderBand1, "QRLabel1", "INFORME DE DOCUMENTOS", 250, 24, 0, false, true);
  ICuenta = NuevaEtiqueta(this, PageHeaderBand1, "ICuenta", "", 10, 44);
  NCuenta = NuevaEtiqueta(this, PageHeaderBand1, "NCuenta", "", 160, 44);
  QRLabel2 = NuevaEtiqueta(this, PageHeaderBand1, "QRLabel2", "Entre", 10, 62);
  FInicio = NuevaEtiqueta(this, PageHeaderBand1, "FInicio", "", 60, 62);
  QRLabel3 = NuevaEtiqueta(this, PageHeaderBand1, "QRLabel3", "Y", 150, 62);
  FFinal = NuevaEtiqueta(this, PageHeaderBand1, "FFinal", "", 170, 62);

  ColumnHeaderBand1 = NuevaBanda(this, QuickRep1, rbColumnHeader, 22);
  L1 = NuevaEtiqueta(this, ColumnHeaderBand1, "L1", "Fecha", 10, 4, 0, false, true);
  L2 = NuevaEtiqueta(this, ColumnHeaderBand1, "L2", "Comprobante", 100, 4, 0, false, true);
  L3 = NuevaEtiqueta(this, ColumnHeaderBand1, "L3", "Número", 400, 4, 0, false, true);
  L4 = NuevaEtiqueta(this, ColumnHeaderBand1, "L4", "Total", 548, 4, 132, true, true);

  DetailBand1 = NuevaBanda(this, QuickRep1, rbDetail, 18);
  SummaryBand1 = NuevaBanda(this, QuickRep1, rbSummary, 24);
  LComprobantes = NuevaEtiqueta(this, SummaryBand1, "LComprobantes", "", 548, 4, 132, true, true);

  QRLabel10->Caption = EmpresaConNit("  ");
  Tipo = aTipo;
  TDataSource* ds = nullptr;
  const char *campoTipo = "", *campoNumero = "", *campoValor = "";
  if (Tipo == 1 && FrmInfSop) {
    LComprobantes->Caption = FrmInfSop->LblTotal->Caption;
    ds = FrmInfSop->DSQuery1;
    campoTipo = "DescComp";
    campoNumero = "NumeComp";
    campoValor = "Total";
  } else if (Tipo == 2 && FrmInfComp) {
    LComprobantes->Caption = FrmInfComp->lblSumaDebito->Caption;
    ds = FrmInfComp->DSQuery1;
    campoTipo = "DescDocu";
    campoNumero = "NumeDocu";
    campoValor = "Valor";
  }
  QuickRep1->DataSource = ds;
  T1 = NuevoCampo(this, DetailBand1, "T1", ds, "Fecha", 10, 2, 85);
  T2 = NuevoCampo(this, DetailBand1, "T2", ds, campoTipo, 100, 2, 40);
  QRLblNComprobante = NuevaEtiqueta(this, DetailBand1, "QRLblNComprobante", "", 145, 2, 250);
  T3 = NuevoCampo(this, DetailBand1, "T3", ds, campoNumero, 400, 2, 140);
  // Cabe 9.999.999.999.999,99, también en la suma en negrita.
  T4 = NuevoCampo(this, DetailBand1, "T4", ds, campoValor, 548, 2, 132, true);

  T4->OnPrint = [this](TObject* s, AnsiString& v) { T4Print(s, v); };
  QRLblNComprobante->OnPrint = [this](TObject* s, AnsiString& v) { QRLblNComprobantePrint(s, v); };
}

void TFrmRepInfComp::T4Print(TObject*, AnsiString& Value) { Value = MontoImpreso(Value); }

void TFrmRepInfComp::QRLblNComprobantePrint(TObject*, AnsiString& Value) {
  TDataSet* filas = QuickRep1->DataSource ? QuickRep1->DataSource->GetDataSet() : nullptr;
  if (!filas) return;
  if (Tipo == 1) {
    AnsiString codigo = filas->FieldByName("DescComp")->AsString;
    Value = DM->TblSoportes->Locate("CodiComp", Variant(codigo))
                ? DM->TblSoportes->FieldByName("NombComp")->AsString
                : AnsiString("Soporte no conocido.");
  } else if (Tipo == 2) {
    AnsiString codigo = filas->FieldByName("DescDocu")->AsString;
    Value = DM->TblDocumentos->Locate("CodiDocu", Variant(codigo))
                ? DM->TblDocumentos->FieldByName("NombDocu")->AsString
                : AnsiString("Comprobante no conocido.");
  }
}
