#pragma once
// Ventana principal: su constructor prepara el arranque (formato de fecha, sesión,
// presentación, selector de contabilidad y "data.ini"); su cierre guarda la sesión.
#include "platform/forms/Forms.h"

class TMainMenu;
class TPanel;
class TImage;
class TStatusBar;
class TLabel;

class TFrmMain : public TForm {
 public:
  explicit TFrmMain(TComponent* Owner);
  ~TFrmMain() override;
  AnsiString ClassName() const override { return "TFrmMain"; }

  AnsiString configDateOrig;       // formato corto de fecha hallado al arrancar
  bool configDateChanged = false;  // el programa lo cambió y lo restaura al cerrar
  AnsiString archivoIni;           // ruta de "data.ini"; vacía hasta escogerla

  TMainMenu* MainMenu1;
  TPanel* Panel1;
  TImage* Image1;
  TStatusBar* StatusBar1;
  TLabel* Label3;

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormPaint(TObject* Sender);
  // "Contabilidad actual: <nombre>, año: <año>"
  AnsiString TextoEstado() const;
};

extern TFrmMain* FrmMain;
