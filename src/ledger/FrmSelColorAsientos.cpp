#include "ledger/FrmSelColorAsientos.h"

#include "platform/forms/Buttons.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Grids.h"
#include "shared/general/Numeros.h"

TFrmSelColorAsientos* FrmSelColorAsientos = nullptr;

namespace {

TStringGrid* Muestra(TForm* f, const char* nombre, std::initializer_list<int> anchos, int filas, int x,
                     int y) {
  auto* g = Make<TStringGrid>(f, nombre);
  g->FixedCols = 0;
  g->FixedRows = 0;
  g->ColCount = static_cast<int>(anchos.size());
  g->RowCount = filas;
  g->ScrollBars = ssNone;
  g->DefaultRowHeight = 20;
  int total = 0, i = 0;
  for (int a : anchos) {
    g->ColWidths[i++] = a;
    total += a + 1;
  }
  g->SetBounds(x, y, total + 3, filas * 21 + 3);
  return g;
}

}  // namespace

TFrmSelColorAsientos::TFrmSelColorAsientos(TComponent* Owner) : TForm(Owner) {
  Name = "FrmSelColorAsientos";
  Caption = "Colores";
  BorderStyle = bsDialog;
  Width = 648;
  Height = 488;
  ClientWidth = 640;
  ClientHeight = 454;
  // La ventana cubre una pantalla de 640 × 480; en otra se centra.
  if (Screen->Width == 640) {
    Position = poDesigned;
    Left = -4;
    Top = -4;
  } else {
    Position = poScreenCenter;
  }

  const char* textos[4] = {"Elejir Un Color Para Fondo ------>", "Elejir Un Color Para Texto ------->",
                           "Elejir Un Color Para Debitos ---->", "Elejir Un Color Para Creditos --->"};
  TLabel** etiquetas[4] = {&Lbl1, &Lbl2, &Lbl3, &Lbl4};
  TBitBtn** botones[4] = {&BitBtn1, &BitBtn2, &BitBtn3, &BitBtn4};
  for (int i = 0; i < 4; ++i) {
    AnsiString n(i + 1);
    *etiquetas[i] = Make<TLabel>(this, "Lbl" + n);
    (*etiquetas[i])->Caption = textos[i];
    (*etiquetas[i])->SetBounds(24, 24 + i * 40, 240, 20);
    *botones[i] = Make<TBitBtn>(this, "BitBtn" + n);
    (*botones[i])->Caption = "Seleccionar";
    (*botones[i])->SetBounds(280, 18 + i * 40, 120, 30);
  }
  Lbl5 = Make<TLabel>(this, "Lbl5");
  Lbl5->Caption = "Asi se verá en Asientos!";
  Lbl5->Font->Style = TFontStyles{fsBold};
  Lbl5->Font->Color = clBlue;
  Lbl5->SetBounds(24, 184, 300, 20);

  SGT = Muestra(this, "SGT", {69, 72, 153, 42, 49, 40, 95, 94}, 1, 8, 212);
  const char* titulos[8] = {"Numecuen", "CedulaNit", "Detalle", "C. Co", "Sop", "N. Co", "Debito", "Credito"};
  for (int c = 0; c < 8; ++c) SGT->Cells[c][0] = titulos[c];
  SG1 = Muestra(this, "SG1", {70, 71, 154, 41, 50, 38}, 4, 8, 236);
  SG2 = Muestra(this, "SG2", {92}, 4, SG1->Left + SG1->Width, 236);
  SG3 = Muestra(this, "SG3", {92}, 4, SG2->Left + SG2->Width, 236);
  for (int k = 0; k < 4; ++k) {
    AnsiString n(k);
    SG1->Cells[0][k] = "Cuenta " + n;
    SG1->Cells[1][k] = "Cedula " + n;
    SG1->Cells[2][k] = "Detalle " + n;
    SG1->Cells[3][k] = "0" + n;
    SG1->Cells[4][k] = "So" + n;
    SG1->Cells[5][k] = "11";
    SG2->Cells[0][k] = Punto(k * 1000 + 100.0, 2);
    SG3->Cells[0][k] = Punto(0.0, 2);
  }

  BitBtn5 = Make<TBitBtn>(this, "BitBtn5");
  BitBtn5->Caption = "Predeterminados";
  BitBtn5->SetBounds(24, 400, 140, 30);
  BitBtn6 = Make<TBitBtn>(this, "BitBtn6");
  BitBtn6->Kind = bkOK;
  BitBtn6->Caption = "Aceptar";
  BitBtn6->SetBounds(380, 400, 110, 30);
  BitBtn7 = Make<TBitBtn>(this, "BitBtn7");
  BitBtn7->Kind = bkCancel;
  BitBtn7->Caption = "Salir";
  BitBtn7->SetBounds(504, 400, 110, 30);

  ColorDialog1 = Make<TColorDialog>(this, "ColorDialog1");
  ColorDialog1->CustomColors.Add("ColorA=B6C0A5");
  ColorDialog2 = Make<TColorDialog>(this, "ColorDialog2");
  ColorDialog3 = Make<TColorDialog>(this, "ColorDialog3");
  ColorDialog4 = Make<TColorDialog>(this, "ColorDialog4");

  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn3->OnClick = [this](TObject* s) { BitBtn3Click(s); };
  BitBtn4->OnClick = [this](TObject* s) { BitBtn4Click(s); };
  BitBtn5->OnClick = [this](TObject* s) { BitBtn5Click(s); };
}

void TFrmSelColorAsientos::PintarMuestra() {
  for (TStringGrid* g : {SG1, SG2, SG3}) g->Color = ColorDialog1->Color;
  SG1->Font->Color = ColorDialog2->Color;
  SG2->Font->Color = ColorDialog3->Color;
  SG3->Font->Color = ColorDialog4->Color;
}

// Un diálogo cancelado conserva su color, así que pintar de nuevo no cambia la muestra.
void TFrmSelColorAsientos::BitBtn1Click(TObject*) {
  ColorDialog1->Execute();
  PintarMuestra();
}

void TFrmSelColorAsientos::BitBtn2Click(TObject*) {
  ColorDialog2->Execute();
  PintarMuestra();
}

void TFrmSelColorAsientos::BitBtn3Click(TObject*) {
  ColorDialog3->Execute();
  PintarMuestra();
}

void TFrmSelColorAsientos::BitBtn4Click(TObject*) {
  ColorDialog4->Execute();
  PintarMuestra();
}

void TFrmSelColorAsientos::BitBtn5Click(TObject*) {
  ColorDialog1->Color = kColorFondoAsientos;
  ColorDialog2->Color = clBlack;
  ColorDialog3->Color = clNavy;
  ColorDialog4->Color = clRed;
  PintarMuestra();
}
