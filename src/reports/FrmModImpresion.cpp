#include "reports/FrmModImpresion.h"

#include "platform/forms/StdCtrls.h"

TFrmModImpresion* FrmModImpresion = nullptr;

TFrmModImpresion::TFrmModImpresion(TComponent* Owner) : TForm(Owner) {
  Name = "FrmModImpresion";
  Caption = "Modo de Impresión";
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  ClientWidth = 260;
  ClientHeight = 90;

  RadioButton1 = Make<TRadioButton>(this, "RadioButton1");
  RadioButton1->Caption = "Hoja Normal (Carta)";
  RadioButton1->SetBounds(24, 18, 212, 22);
  RBHojaAncha = Make<TRadioButton>(this, "RBHojaAncha");
  RBHojaAncha->Caption = "Hoja Grande (340*290 cm)";
  RBHojaAncha->SetBounds(24, 50, 212, 22);

  RadioButton1->OnClick = [this](TObject* s) { RadioButton1Click(s); };
  RBHojaAncha->OnClick = [this](TObject* s) { RBHojaAnchaClick(s); };
}

void TFrmModImpresion::RadioButton1Click(TObject*) { Close(); }

void TFrmModImpresion::RBHojaAnchaClick(TObject*) { Close(); }
