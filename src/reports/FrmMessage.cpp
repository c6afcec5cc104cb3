#include "reports/FrmMessage.h"

#include "platform/forms/ComCtrls.h"
#include "platform/forms/StdCtrls.h"

TFrmMessage* FrmMessage = nullptr;

TFrmMessage::TFrmMessage(TComponent* Owner) : TForm(Owner) {
  Name = "FrmMessage";
  Caption = "";
  BorderStyle = bsNone;
  BorderIcons = {};
  Position = poScreenCenter;
  Color = clInfoBk;
  ClientWidth = 259;
  ClientHeight = 119;

  Label1 = Make<TLabel>(this, "Label1");
  Label1->Caption = "Cargando Informe....";
  Label1->Font->Name = "Arial";
  Label1->Font->Color = clNavy;
  Label1->Font->Size = 14;
  Label1->Color = clInfoBk;
  Label1->Transparent = true;
  Label1->SetBounds(16, 20, 227, 28);
  PBar = Make<TProgressBar>(this, "PBar");
  PBar->Min = 0;
  PBar->Max = 100;
  PBar->SetBounds(16, 70, 227, 20);
}
