#include "reports/FrmRptBalancePrueba.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "reports/FrmRepComun.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TFrmRptBalancePrueba* FrmRptBalancePrueba = nullptr;

using namespace balances;


TFrmRptBalancePrueba::TFrmRptBalancePrueba(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRptBalancePrueba";
  Caption = "Balance de Prueba";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblBal;
  Query1 = Make<TQuery>(this, "Query1");
  QuickReport1 = new TQuickRep(this);
  QuickReport1->DataSource = DataSource1;
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poLandscape;
  QuickReport1->Page->LeftMargin = 0;
  QuickReport1->ShowPrintDialog = true;

  QRBand5 = Banda(this, QuickReport1, rbPageHeader, 0);
  QRBand3 = Banda(this, QuickReport1, rbPageHeader, 190);
  Image1 = new TQRImage(this);
  Image1->Parent = QRBand3;
  Image1->Left = 8;
  Image1->Top = 4;
  Image1->Width = 90;
  Image1->Height = 90;
  Image1->Stretch = true;
  QRLabel10 = Etiqueta(this, QRBand3, "", 120, 4, 740, taCenter);
  QRLabel10->Font->Style = {fsBold};
  QRLabel10->Font->Size = 10;
  QRLabel33 = Etiqueta(this, QRBand3, "", 120, 24, 740, taCenter);
  QRLabel34 = Etiqueta(this, QRBand3, "", 120, 40, 740, taCenter);
  QRLabel35 = Etiqueta(this, QRBand3, "", 120, 56, 740, taCenter);
  LblTitulo = Etiqueta(this, QRBand3, "", 120, 76, 740, taCenter);
  LblTitulo->Font->Style = {fsBold};
  LblTitulo->Font->Size = 10;
  QRLabel13 = Etiqueta(this, QRBand3, "", 0, 110);
  Pagina(this, QRBand3, 880, 110);
  Etiqueta(this, QRBand3, "Saldos antes del", 430, 134, 120, taRightJustify);
  LblM1 = Etiqueta(this, QRBand3, "", 430, 150, 120, taRightJustify);
  Etiqueta(this, QRBand3, "Movimiento", 560, 142, 250, taCenter);
  Etiqueta(this, QRBand3, "Saldos al", 820, 134, 120, taRightJustify);
  LblM3 = Etiqueta(this, QRBand3, "", 820, 150, 120, taRightJustify);
  auto* codigo = Etiqueta(this, QRBand3, "Codigo", 0, 170);
  auto* cuenta = Etiqueta(this, QRBand3, "Cuenta", 90, 170);
  LSDebito = Etiqueta(this, QRBand3, "Saldo Débito", 430, 170, 120, taRightJustify);
  LDebito = Etiqueta(this, QRBand3, "Debito", 560, 170, 120, taRightJustify);
  LCredito = Etiqueta(this, QRBand3, "Credito", 690, 170, 120, taRightJustify);
  LNDebito = Etiqueta(this, QRBand3, "Saldo Débito", 820, 170, 120, taRightJustify);
  for (TQRLabel* l : {codigo, cuenta, LSDebito, LDebito, LCredito, LNDebito}) l->Font->Style = {fsBold};

  QRBand2 = Banda(this, QuickReport1, rbDetail, 17);
  QRDBText2 = Texto(this, QRBand2, "NumeCuen", 0, 0, 86);
  QRDBText3 = Texto(this, QRBand2, "NombCuen", 90, 0, 326);
  // Montos con cabida para -9.999.999.999.999,99; los bordes derechos, bajo sus títulos.
  QRDBText1 = Texto(this, QRBand2, "SaldoDebito", 422, 0, 128, taRightJustify);
  QRDBText5 = TextoMonto(this, QRBand2, "Debito", 552, 0, 128);
  QRDBText6 = TextoMonto(this, QRBand2, "Credito", 682, 0, 128);
  QRDBText7 = Texto(this, QRBand2, "NuevoDebito", 812, 0, 128, taRightJustify);

  QRBand4 = Banda(this, QuickReport1, rbSummary, 30);
  QRLabel5 = Etiqueta(this, QRBand4, "TOTALES:", 90, 8);
  QRLabel5->Font->Style = {fsBold};
  TotSaldo = Etiqueta(this, QRBand4, "", 422, 8, 128, taRightJustify);
  TotDebito = Etiqueta(this, QRBand4, "", 552, 8, 128, taRightJustify);
  TotCredito = Etiqueta(this, QRBand4, "", 682, 8, 128, taRightJustify);
  TotNuevo = Etiqueta(this, QRBand4, "", 812, 8, 128, taRightJustify);

  QRLabel10->Caption = LineaEntidad();
  EncabezadoIni(QRLabel33, QRLabel34, QRLabel35, Image1);

  QRDBText1->OnPrint = [this](TObject* s, AnsiString& v) { QRDBText1Print(s, v); };
  QRDBText7->OnPrint = [this](TObject* s, AnsiString& v) { QRDBText7Print(s, v); };
  QRBand4->BeforePrint = [this](TQRCustomBand* s, bool& p) { QRBand4BeforePrint(s, p); };
}

void TFrmRptBalancePrueba::QRDBText1Print(TObject*, AnsiString& Value) {
  TTable* bal = DM->TblBal;
  Value = Punto(bal->FieldByName("SaldoDebito")->AsFloat - bal->FieldByName("SaldoCredito")->AsFloat, 2);
}

void TFrmRptBalancePrueba::QRDBText7Print(TObject*, AnsiString& Value) {
  TTable* bal = DM->TblBal;
  Value = Punto(bal->FieldByName("NuevoDebito")->AsFloat - bal->FieldByName("NuevoCredito")->AsFloat, 2);
}

void TFrmRptBalancePrueba::QRBand4BeforePrint(TQRCustomBand*, bool&) {
  // Sin el modo breve, las clases ya acumulan sus subcuentas: solo ellas se suman.
  AnsiString filtro = express ? "" : " where numecuen  like '_'";
  HagaSQL("Contabilidad", Query1,
          "select Sum(saldoDebito)as saldoDebito,Sum(saldoCredito) as saldoCredito from balTempEstados" + filtro);
  double sd = Query1->FieldByName("saldoDebito")->AsFloat, sc = Query1->FieldByName("saldoCredito")->AsFloat;
  HagaSQL("Contabilidad", Query1,
          "select Sum(Debito) as Debito, Sum(Credito) as Credito from balTempEstados" + filtro);
  double d = Query1->FieldByName("Debito")->AsFloat, c = Query1->FieldByName("Credito")->AsFloat;
  HagaSQL("Contabilidad", Query1,
          "select Sum(nuevoDebito) as saldoDebNue,Sum(nuevoCredito) as saldoCreNue from balTempEstados" + filtro);
  double nd = Query1->FieldByName("saldoDebNue")->AsFloat, nc = Query1->FieldByName("saldoCreNue")->AsFloat;
  TotSaldo->Caption = Punto(sd - sc, 2);
  TotDebito->Caption = Punto(d, 2);
  TotCredito->Caption = Punto(c, 2);
  TotNuevo->Caption = Punto(nd - nc, 2);
}
