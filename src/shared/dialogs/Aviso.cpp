#include "shared/dialogs/Aviso.h"

#include <algorithm>
#include <cstdint>

TFrmAviso* FrmAviso = nullptr;

TFrmAviso::TFrmAviso(TComponent* Owner) : TForm(Owner) {
  Name = "FrmAviso";
  BorderStyle = bsNone;
  BorderIcons = {};
  FormStyle = fsStayOnTop;
  Position = poScreenCenter;
  Color = clInfoBk;
  ClientWidth = 325;
  ClientHeight = 60;
  Width = 325;
  Height = 60;

  Bevel1 = Make<TBevel>(this, "Bevel1");
  Bevel1->Align = alClient;
  Bevel1->Shape = bsFrame;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Por favor espere...";
  Label1->Alignment = taCenter;
  Label1->WordWrap = true;
  Label1->AutoSize = false;
  Label1->Font->Name = "Courier New";
  Label1->Font->Size = 9;
  Label1->Font->Color = clNavy;
  Label1->SetBounds(8, 6, 309, 32);

  ProgressBar1 = Make<TProgressBar>(this, "ProgressBar1");
  ProgressBar1->SetBounds(8, 40, 309, 14);
  ProgressBar1->Min = 0;
  ProgressBar1->Max = 100;
  ProgressBar1->Position = 0;
}

void TAviso::Inicie(const AnsiString& aMsg, bool Centrada, bool ShowProgressBar, int aMin,
                    int aMax, int aStep) {
  Termine();
  FrmAviso = new TFrmAviso(nullptr);
  if (!Centrada) FrmAviso->Position = poDefaultPosOnly;
  FrmAviso->Label1->Caption = aMsg;
  if (ShowProgressBar && aMax > 0) {
    // La barra guarda sus límites como enteros de 16 bits sin signo.
    TProgressBar* barra = FrmAviso->ProgressBar1;
    barra->Min = static_cast<std::uint16_t>(aMin);
    barra->Max = static_cast<std::uint16_t>(aMax);
    barra->Step = static_cast<std::uint16_t>(aStep);
    barra->Position = std::clamp(barra->Position, std::min(barra->Min, barra->Max), barra->Max);
  }
  FrmAviso->Show();
  FrmAviso->Repaint();
}

void TAviso::PutMsg(const AnsiString& aMsg) {
  if (!FrmAviso) return;
  FrmAviso->Label1->Caption = aMsg;
  FrmAviso->Repaint();
}

void TAviso::IncrProgBar() {
  if (!FrmAviso) return;
  FrmAviso->ProgressBar1->StepIt();
  FrmAviso->Repaint();
}

void TAviso::Termine() {
  if (!FrmAviso) return;
  delete FrmAviso;
  FrmAviso = nullptr;
}
