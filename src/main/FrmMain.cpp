#include "main/FrmMain.h"

#include "app/DataModule.h"
#include "app/FrmClave.h"
#include "main/FrmMainMenu.h"
#include "app/FrmPresentacion.h"
#include "app/FrmSelContab.h"
#include "app/Sesion.h"
#include "platform/core/IniFiles.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/os/Files.h"
#include "shared/general/Utiles.h"

TFrmMain* FrmMain = nullptr;

namespace {
const char* const kFormatoFecha = "dd/MM/yyyy";
}

TFrmMain::TFrmMain(TComponent* Owner) : TForm(Owner) {
  Name = "FrmMain";
  Caption = "TALLIVAR-P";
  WindowState = wsMaximized;
  // Maximizada: su área es la pantalla (el logo se centra contra ella).
  Width = Screen->Width;
  Height = Screen->Height;
  ShowHint = true;
  MainMenu1 = Make<TMainMenu>(this, "MainMenu1");
  Menu = MainMenu1;
  Panel1 = Make<TPanel>(this, "Panel1");
  Panel1->Align = alTop;
  Panel1->Height = 28;
  Panel1->Caption = "";
  Image1 = Make<TImage>(this, "Image1");
  Image1->SetBounds(8, 40, 96, 48);
  Label3 = Make<TLabel>(this, "Label3");
  Label3->Caption = "";
  StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
  StatusBar1->Align = alBottom;
  StatusBar1->SimplePanel = true;
  ConstruirMenuPrincipal(this);

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
  OnShow = [this](TObject* s) { FormPaint(s); };

  mesGlobal = 0;
  configDateChanged = false;
  configDateOrig = getSystemShortDate();
  if (configDateOrig != kFormatoFecha) {
    setSystemShortDate(kFormatoFecha);
    configDateChanged = true;
  }
  Application->HintHidePause = 8000;
  Application->HintPause = 100;
  PathOrigen = GetExeDir();
  // Los nombres de archivo relativos se resuelven contra la carpeta del programa.
  SetCurrentDir(PathOrigen);
  ConfigurarSesion("");
  Application->ShowHint = true;
  AnsiString logo = PathOrigen + "/images/logo.bmp";
  if (FileExists(logo)) Image1->Picture->LoadFromFile(logo);

  FrmPresentacion = new TFrmPresentacion(this);
  try {
    FrmPresentacion->Timer1->Enabled = true;
    FrmPresentacion->Duracion = 1500;
    FrmPresentacion->ShowModal();
  } catch (...) {
    delete FrmPresentacion;
    throw;
  }
  delete FrmPresentacion;

  FrmSelContab = new TFrmSelContab(this);
  try {
    FrmSelContab->ShowModal();
    Application->ProcessMessages();
    PathCont = FrmSelContab->Path;
  } catch (...) {
    delete FrmSelContab;
    throw;
  }
  delete FrmSelContab;
  AnsiString completa = ExpandFileName(PathCont);
  if (completa.IsEmpty())
    ShowMessage("Error construyendo ruta de las tablas");
  else
    PathCont = completa;
  while (PathCont.ByteLength() > 1 && PathCont.str().back() == '/') PathCont.str().pop_back();

  if (abortar) {
    Close();
    Application->Terminate();
    return;
  }
  archivoIni = ArchivoIniSesion();
  if (FileExists(archivoIni)) {
    TIniFile ini(archivoIni);
    FechasInf.GFechaInicial = ini.ReadString("ACTION", "FechaInicio", "STR");
    FechasInf.GFechaFinal = ini.ReadString("ACTION", "FechaFinal", "STR");
    GuardarAjustes(archivoIni, [](TIniFile& escribe) { escribe.WriteBool("ACTION", "Exit", false); });
    Centra(Image1);
  } else {
    ShowMessage("Debe crear el INI dentro de la carpeta");
  }
}

TFrmMain::~TFrmMain() {
  // Solo la corrida que creó (o heredó) la marca la borra.
  if (marcaDeEstaCorrida) {
    BorrarMarca();
    marcaDeEstaCorrida = false;
  }
  if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::FormCreate(TObject*) {
  if (abortar || Application->Terminated()) return;
  FrmClave = new TFrmClave(this);
  try {
    FrmClave->ShowModal();
    if (!FrmClave->resultado) Close();
  } catch (...) {
    delete FrmClave;
    throw;
  }
  delete FrmClave;
}

AnsiString TFrmMain::TextoEstado() const {
  return "Contabilidad actual: " + NContabilidad + ", año: " + AnsiString(static_cast<int>(anioGlobal));
}

void TFrmMain::FormPaint(TObject*) { StatusBar1->SimpleText = TextoEstado(); }

void TFrmMain::FormClose(TObject*, TCloseAction&) {
  if (!archivoIni.IsEmpty()) {
    StatusBar1->SimpleText = TextoEstado();
    GuardarAjustes(archivoIni, [this](TIniFile& ini) {
      ini.WriteString("ACTION", "Date", DateToStr(Date()));
      ini.WriteString("ACTION", "Time", TimeToStr(Now()));
      ini.WriteString("ACTION", "FechaInicio", FechasInf.GFechaInicial);
      ini.WriteString("ACTION", "FechaFinal", FechasInf.GFechaFinal);
      ini.WriteString("ACTION", "LastCont", StatusBar1->SimpleText);
      ini.WriteBool("ACTION", "Exit", true);
    });
  }
  if (configDateChanged) {
    setSystemShortDate(configDateOrig.c_str());
    configDateChanged = false;
  }
}
