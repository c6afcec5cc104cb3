#include "reports/FrmRptMayorBalance.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "reports/FrmRepComun.h"

TFrmRptMayorBalance* FrmRptMayorBalance = nullptr;

using namespace balances;

TFrmRptMayorBalance::TFrmRptMayorBalance(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRptMayorBalance";
  Caption = "Mayor y Balance";
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  DataSource1->DataSet = DM->TblBal;
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
  Pagina(this, QRBand3, 880, 110);
  // Seis columnas con cabida para -9.999.999.999.999,99 a 7 puntos (y sumas de catorce cifras).
  const int x[6] = {318, 433, 548, 663, 778, 893}, ancho = 114;
  Etiqueta(this, QRBand3, "Saldos antes del", x[0], 134, 2 * ancho, taCenter);
  LblM1 = Etiqueta(this, QRBand3, "", x[0], 150, 2 * ancho, taCenter);
  Etiqueta(this, QRBand3, "Movimiento", x[2], 142, 2 * ancho, taCenter);
  Etiqueta(this, QRBand3, "Saldos al", x[4], 134, 2 * ancho, taCenter);
  LblM3 = Etiqueta(this, QRBand3, "", x[4], 150, 2 * ancho, taCenter);
  Etiqueta(this, QRBand3, "Codigo", 0, 170)->Font->Style = {fsBold};
  Etiqueta(this, QRBand3, "Cuenta", 75, 170)->Font->Style = {fsBold};
  const char* titulos[6] = {"Debito", "Credito", "Debito", "Credito", "Debito", "Credito"};
  const char* campos[6] = {"SaldoDebito", "SaldoCredito", "Debito", "Credito", "NuevoDebito", "NuevoCredito"};
  for (int i = 0; i < 6; ++i) Etiqueta(this, QRBand3, titulos[i], x[i], 170, ancho, taRightJustify)->Font->Style = {fsBold};

  QRBand2 = Banda(this, QuickReport1, rbDetail, 17);
  Texto(this, QRBand2, "NumeCuen", 0, 0, 72);
  Texto(this, QRBand2, "NombCuen", 75, 0, 240);
  for (int i = 0; i < 6; ++i) TextoMonto(this, QRBand2, campos[i], x[i], 0, ancho)->Font->Size = 7;

  QRBand1 = Banda(this, QuickReport1, rbSummary, 30);
  Etiqueta(this, QRBand1, "TOTALES:", 75, 8)->Font->Style = {fsBold};
  TQRDBCalc** sumas[6] = {&QRDBCalc1, &QRDBCalc2, &QRDBCalc3, &QRDBCalc4, &QRDBCalc5, &QRDBCalc6};
  for (int i = 0; i < 6; ++i) {
    *sumas[i] = Suma(this, QRBand1, campos[i], x[i], 8, ancho);
    (*sumas[i])->Font->Size = 7;
  }

  QRLabel10->Caption = LineaEntidad();
  EncabezadoIni(QRLabel33, QRLabel34, QRLabel35, Image1);
}
