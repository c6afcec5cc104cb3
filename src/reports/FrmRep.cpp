#include "reports/FrmRep.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "reports/FrmRepComun.h"
#include "shared/general/SqlUtil.h"
#include "shared/general/Utiles.h"

TFrmRep* FrmRep = nullptr;

using namespace balances;

TFrmRep::TFrmRep(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRep";
  Caption = "Balance";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblBal;
  Query1 = Make<TQuery>(this, "Query1");
  QuickReport1 = new TQuickRep(this);
  QuickReport1->DataSource = DataSource1;
  QuickReport1->Page->PaperSize = qrpLetter;
  QuickReport1->Page->Orientation = poPortrait;
  // Nada se imprime en el borde del papel; el caja diario pone el margen del usuario.
  QuickReport1->Page->LeftMargin = 10;
  QuickReport1->ShowPrintDialog = true;

  QRBandMargen = Banda(this, QuickReport1, rbPageHeader, 0);
  QRBand6 = Banda(this, QuickReport1, rbPageHeader, 113);
  Image1 = new TQRImage(this);
  Image1->Parent = QRBand6;
  Image1->Left = 8;
  Image1->Top = 4;
  Image1->Width = 105;
  Image1->Height = 105;
  Image1->Stretch = true;
  QRLabel10 = Etiqueta(this, QRBand6, "", 130, 44);
  QRLabel10->Font->Style = {fsBold};
  QRLabel10->Font->Size = 10;

  QRBand1 = Banda(this, QuickReport1, rbPageHeader, 62);
  LblTitulo = Etiqueta(this, QRBand1, "", 0, 4);
  LblTitulo->Font->Style = {fsBold};
  LblTitulo->Font->Size = 10;
  QRLabel4 = Etiqueta(this, QRBand1, "", 440, 0);
  QRLabel4->Font->Size = 16;
  QRLabel4->Font->Style = {fsBold};
  QRSysData1 = Pagina(this, QRBand1, 640, 4);
  LCodigo = Etiqueta(this, QRBand1, "Codigo", 0, 40);
  LCuenta = Etiqueta(this, QRBand1, "Cuenta", 80, 40);
  LSDebito = Etiqueta(this, QRBand1, "Debito", 300, 40, 68, taRightJustify);
  LSCredito = Etiqueta(this, QRBand1, "Credito", 370, 40, 68, taRightJustify);
  LDebito = Etiqueta(this, QRBand1, "Debito", 440, 40, 68, taRightJustify);
  LCredito = Etiqueta(this, QRBand1, "Credito", 510, 40, 68, taRightJustify);
  LNDebito = Etiqueta(this, QRBand1, "Debito", 580, 40, 68, taRightJustify);
  LNCredito = Etiqueta(this, QRBand1, "Credito", 650, 40, 68, taRightJustify);
  for (TQRLabel* l : {LCodigo, LCuenta, LSDebito, LSCredito, LDebito, LCredito, LNDebito, LNCredito})
    l->Font->Style = {fsBold};

  QRBand2 = Banda(this, QuickReport1, rbDetail, 17);
  QRDBText1 = Texto(this, QRBand2, "Numecuen", 0, 0, 78);
  QRDBText2 = Texto(this, QRBand2, "NombCuen", 80, 0, 210);
  TSDebito = TextoMonto(this, QRBand2, "SaldoDebito", 300, 0, 68);
  TSCredito = TextoMonto(this, QRBand2, "SaldoCredito", 370, 0, 68);
  TDebito = TextoMonto(this, QRBand2, "Debito", 440, 0, 68);
  TCredito = TextoMonto(this, QRBand2, "Credito", 510, 0, 68);
  TNDebito = TextoMonto(this, QRBand2, "NuevoDebito", 580, 0, 68);
  TNCredito = TextoMonto(this, QRBand2, "NuevoCredito", 650, 0, 68);
  for (TQRDBText* t : {QRDBText1, QRDBText2, TSDebito, TSCredito, TDebito, TCredito, TNDebito, TNCredito})
    t->Font->Name = "Abadi MT Condensed Light";

  QRBand4 = Banda(this, QuickReport1, rbSummary, 150);
  Ind = Etiqueta(this, QRBand4, "Activo=", 300, 10);
  Act = Etiqueta(this, QRBand4, "", 380, 10, 120, taRightJustify);
  QRLabel5 = Etiqueta(this, QRBand4, "Pasivo=", 300, 28);
  Pas = Etiqueta(this, QRBand4, "", 380, 28, 120, taRightJustify);
  QRLabel6 = Etiqueta(this, QRBand4, "Patrimonio=", 300, 46);
  Pat = Etiqueta(this, QRBand4, "", 380, 46, 120, taRightJustify);
  QRDBCalc1 = Suma(this, QRBand4, "Debito", 440, 10, 88);
  QRDBCalc2 = Suma(this, QRBand4, "Credito", 610, 10, 88);
  QRDBCalc1->Enabled = false;
  QRDBCalc2->Enabled = false;
  Q1 = Etiqueta(this, QRBand4, "", 10, 100, 220, taCenter);
  Q2 = Etiqueta(this, QRBand4, "", 250, 100, 220, taCenter);
  Q3 = Etiqueta(this, QRBand4, "", 490, 100, 220, taCenter);
  N1 = Etiqueta(this, QRBand4, "", 10, 118, 220, taCenter);
  N2 = Etiqueta(this, QRBand4, "", 250, 118, 220, taCenter);
  N3 = Etiqueta(this, QRBand4, "", 490, 118, 220, taCenter);
  for (TQRLabel* l : {Q1, Q2, Q3, N1, N2, N3}) l->Enabled = false;
  QRBand3 = Banda(this, QuickReport1, rbPageFooter, 56);

  QRLabel10->Caption = LineaEntidad();
  CargarLogo(Image1, RutaLogo());

  QRLabel4->OnPrint = [this](TObject* s, AnsiString& v) { QRLabel4Print(s, v); };
  QuickReport1->BeforePrint = [this](TQuickRep* s, bool& p) { QuickReport1BeforePrint(s, p); };
}

void TFrmRep::QRLabel4Print(TObject*, AnsiString& Value) {
  unsigned short a2, m2, d2;
  StrToDate(FFinal).DecodeDate(&a2, &m2, &d2);
  if (FInicial.IsEmpty()) {
    Value = GetNameMes(m2).c_str();
    return;
  }
  unsigned short a1, m1, d1;
  StrToDate(FInicial).DecodeDate(&a1, &m1, &d1);
  Value = a1 == a2 && m1 == m2 ? AnsiString(GetNameMes(m2).c_str()) : AnsiString();
}

void TFrmRep::QuickReport1BeforePrint(TQuickRep*, bool&) {
  if (!BalGeneral) return;
  HagaSQL("Contabilidad", Query1, "delete from baltempestados where nuevoSaldo=0");
  DM->TblBal->Refresh();
}
