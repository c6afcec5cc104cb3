#include "reports/FrmRepCajaDiario.h"

#include "platform/db/DBTables.h"
#include "reports/FrmRepComun.h"

TFrmRepCajaDiario* FrmRepCajaDiario = nullptr;

using namespace balances;

TFrmRepCajaDiario::TFrmRepCajaDiario(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRepCajaDiario";
  Caption = "Caja Diario por Comprobante";
  // El listado (temp2) lo enlaza la ventana de balances que imprime.
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  Report = new TQuickRep(this);
  Report->DataSource = DataSource1;
  Report->Page->PaperSize = qrpLetter;
  Report->Page->Orientation = poPortrait;
  Report->Page->LeftMargin = 0;
  Report->ShowPrintDialog = true;

  QRBand3 = Banda(this, Report, rbPageHeader, 0);
  QRBand1 = Banda(this, Report, rbPageHeader, 84);
  QRLabel10 = Etiqueta(this, QRBand1, "", 0, 4);
  QRLabel10->Font->Style = {fsBold};
  QRLabel10->Font->Size = 10;
  QRLabel1 = Etiqueta(this, QRBand1, "Caja Diario por Comprobante ", 0, 28);
  QRLabel1->Font->Size = 10;
  LblTitulo = Etiqueta(this, QRBand1, "", 220, 28);
  LblTitulo->Font->Style = {fsBold, fsItalic};
  LblTitulo->Font->Size = 10;
  Pagina(this, QRBand1, 640, 4);
  Nume = Etiqueta(this, QRBand1, "Codigo", 0, 62);
  Cue = Etiqueta(this, QRBand1, "Cuenta", 70, 62);
  QRLabel2 = Etiqueta(this, QRBand1, "Debito", 414, 62, 130, taRightJustify);
  Credito = Etiqueta(this, QRBand1, "Credito", 550, 62, 130, taRightJustify);
  for (TQRLabel* l : {Nume, Cue, QRLabel2, Credito}) l->Font->Style = {fsBold};

  QRBand2 = Banda(this, Report, rbDetail, 17);
  QRDBText1 = Texto(this, QRBand2, "data", 0, 0, 66);
  QRDBText2 = Texto(this, QRBand2, "nombcuen", 70, 0, 340);
  // Montos con cabida para -9.999.999.999.999,99.
  QRDBText3 = TextoMonto(this, QRBand2, "debito", 414, 0, 130);
  QRDBText4 = TextoMonto(this, QRBand2, "credito", 550, 0, 130);
  for (TQRDBText* t : {QRDBText1, QRDBText2, QRDBText3, QRDBText4}) t->Font->Name = "Tahoma";

  QRLabel10->Caption = LineaEntidad();
}
