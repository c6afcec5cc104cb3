#pragma once
// Colores de trabajo de la rejilla del editor de comprobantes, con una muestra.
#include "platform/forms/Forms.h"

class TLabel;
class TBitBtn;
class TStringGrid;
class TColorDialog;

class TFrmSelColorAsientos : public TForm {
 public:
  explicit TFrmSelColorAsientos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmSelColorAsientos"; }

  TLabel* Lbl1;
  TBitBtn* BitBtn1;
  TLabel* Lbl2;
  TBitBtn* BitBtn2;
  TLabel* Lbl3;
  TBitBtn* BitBtn3;
  TLabel* Lbl4;
  TBitBtn* BitBtn4;
  TLabel* Lbl5;
  TStringGrid* SGT;
  TStringGrid* SG1;
  TStringGrid* SG2;
  TStringGrid* SG3;
  TBitBtn* BitBtn5;
  TBitBtn* BitBtn6;
  TBitBtn* BitBtn7;
  TColorDialog* ColorDialog1;
  TColorDialog* ColorDialog2;
  TColorDialog* ColorDialog3;
  TColorDialog* ColorDialog4;

  // Pinta la muestra con los colores de los cuatro diálogos.
  void PintarMuestra();

  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void BitBtn4Click(TObject* Sender);
  void BitBtn5Click(TObject* Sender);
};

// Colores iniciales de la rejilla.
inline constexpr TColor kColorFondoAsientos = static_cast<TColor>(0xB6C0A5);

extern TFrmSelColorAsientos* FrmSelColorAsientos;
