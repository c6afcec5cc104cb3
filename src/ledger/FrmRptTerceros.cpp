#include "ledger/FrmRptTerceros.h"

#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"

TFrmRptTerceros* FrmRptTerceros = nullptr;

namespace {

constexpr TColor kGrisClaro = static_cast<TColor>(15395562);

TQRBand* Banda(TComponent* owner, const char* nombre, TQuickRep* rep, TQRBandType tipo, int alto) {
  auto* b = Make<TQRBand>(owner, nombre);
  b->Parent = rep;
  b->BandType = tipo;
  b->Height = alto;
  return b;
}

template <class T>
T* Poner(TComponent* owner, const char* nombre, TQRBand* banda, int left, int top, int width) {
  T* e = Make<T>(owner, nombre);
  e->Parent = banda;
  e->Left = left;
  e->Top = top;
  e->Width = width;
  return e;
}

}  // namespace

TFrmRptTerceros::TFrmRptTerceros(TComponent* Owner) : TForm(Owner) {
  Name = "FrmRptTerceros";
  Caption = "Terceros";
  QuickRep1 = Make<TQuickRep>(this, "QuickRep1");
  QuickRep1->DataSource = DM->DSTerceros;
  QuickRep1->Page->PaperSize = qrpLetter;
  QuickRep1->Page->Orientation = poPortrait;
  QuickRep1->ReportTitle = "Terceros";

  const int ancho = 720;
  TitleBand1 = Banda(this, "TitleBand1", QuickRep1, rbTitle, 50);
  QRLabel1 = Poner<TQRLabel>(this, "QRLabel1", TitleBand1, 0, 0, ancho);
  QRLabel1->AutoSize = false;
  QRLabel1->Alignment = taCenter;
  QRLabel1->Font->Style = {fsBold};
  QRLabel1->Font->Size = 11;
  QRLabel2 = Poner<TQRLabel>(this, "QRLabel2", TitleBand1, 0, 24, ancho);
  QRLabel2->AutoSize = false;
  QRLabel2->Alignment = taCenter;
  QRLabel2->Caption = "TERCEROS";
  QRLabel2->Font->Style = {fsBold};

  struct Columna {
    const char* titulo;
    const char* campo;
    int left, width;
    bool gris;
  };
  const Columna columnas[] = {{"Cédula o NIT", "CedulaNIT", 0, 90, true},
                              {"D.V.", "digitoVerificacion", 92, 24, false},
                              {"Nombre", "Nombre", 118, 200, true},
                              {"Direccción", "direccion", 320, 150, false},
                              {"Teléfono", "telefono", 472, 80, true},
                              {"Razón Social", "razonsocial", 554, 166, false}};
  ColumnHeaderBand1 = Banda(this, "ColumnHeaderBand1", QuickRep1, rbColumnHeader, 20);
  DetailBand1 = Banda(this, "DetailBand1", QuickRep1, rbDetail, 17);
  TQRDBText** textos[] = {&QRDBText1, &QRDBText2, &QRDBText3, &QRDBText4, &QRDBText5, &QRDBText6};
  int i = 0;
  for (const Columna& c : columnas) {
    AnsiString n = "QRLabelT" + AnsiString(i + 1);
    auto* t = Poner<TQRLabel>(this, n.c_str(), ColumnHeaderBand1, c.left, 2, c.width);
    t->Caption = c.titulo;
    t->Font->Style = {fsBold};
    AnsiString nd = "QRDBText" + AnsiString(i + 1);
    auto* d = Poner<TQRDBText>(this, nd.c_str(), DetailBand1, c.left, 0, c.width);
    d->DataSource = DM->DSTerceros;
    d->DataField = c.campo;
    d->AutoSize = false;
    if (c.gris) d->Color = kGrisClaro;
    *textos[i++] = d;
  }
  QRDBText6->Font->Size = 7;

  TTable* cfg = DM->TblConfigContab;
  QRLabel1->Caption =
      cfg->FieldByName("IEmpresa")->AsString + "        NIT: " + cfg->FieldByName("Nit")->AsString;
}
