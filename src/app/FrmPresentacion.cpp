#include "app/FrmPresentacion.h"

#include "app/Sesion.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/os/BuildVersion.h"
#include "platform/os/Files.h"

TFrmPresentacion* FrmPresentacion = nullptr;

TFrmPresentacion::TFrmPresentacion(TComponent* Owner) : TForm(Owner) {
  Name = "FrmPresentacion";
  Caption = "Tallivar";
  Color = clWhite;
  BorderStyle = bsSizeToolWin;
  BorderIcons = {biSystemMenu, biHelp};
  Position = poScreenCenter;
  ClientWidth = 360;
  ClientHeight = 230;

  Image2 = Make<TImage>(this, "Image2");
  Image2->SetBounds(132, 16, 96, 48);
  Image2->Center = true;
  AnsiString logo = PathOrigen + "/images/logo.bmp";
  if (FileExists(logo)) Image2->Picture->LoadFromFile(logo);
  Label1 = Make<TLabel>(this, "Label1");
  Label1->SetBounds(16, 84, 328, 24);
  Label1->Alignment = taCenter;
  Label1->AutoSize = false;
  Label1->Caption = "Tallivar-P";
  Label1->Font->Size = 12;
  Label1->Font->Style = {fsBold};
  Label3 = Make<TLabel>(this, "Label3");
  Label3->SetBounds(16, 124, 328, 20);
  Label3->Alignment = taCenter;
  Label3->AutoSize = false;
  Label3->Caption = "Orvandel";
  Label2 = Make<TLabel>(this, "Label2");
  Label2->SetBounds(16, 152, 328, 20);
  Label2->Alignment = taCenter;
  Label2->AutoSize = false;
  Label2->Caption = "www.orvandel.example";
  Label2->Font->Color = clBlue;
  Timer1 = Make<TTimer>(this, "Timer1");
  Timer1->Interval = 2000u;

  OnActivate = [this](TObject* s) { FormActivate(s); };
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };

  Duracion = 1000;
  // La versión la da la compilación (la versión del proyecto).
  AnsiString version = tv::os::GetBuildVersion();
  if (!version.IsEmpty()) Label1->Caption = "Tallivar-P - Versión " + version;
}

void TFrmPresentacion::FormActivate(TObject*) { Timer1->Interval = static_cast<unsigned>(Duracion); }

void TFrmPresentacion::Timer1Timer(TObject*) { Close(); }
