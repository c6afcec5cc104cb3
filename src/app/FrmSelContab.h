#pragma once
// Selector de la contabilidad con la que se trabaja, al arrancar.
#include "platform/forms/Forms.h"

class TLabel;
class TBitBtn;
class TTable;
class TDataSource;
class TDBGrid;

class TFrmSelContab : public TForm {
 public:
  explicit TFrmSelContab(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmSelContab"; }

  unsigned short anio = 0;  // año fiscal de la fila escogida
  AnsiString Path;          // carpeta de la fila escogida; "_mal_" al salir

  TLabel* Label1;
  TDBGrid* DBGrid1;
  TBitBtn* BtnAbrir;
  TBitBtn* BitBtn2;
  TTable* tblContabs;
  TDataSource* DataSource1;

  void BtnAbrirClick(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  bool salida_ = false;  // se sale solo por los dos botones
};

extern TFrmSelContab* FrmSelContab;

// Abre el editor de la lista de contabilidades (lo pone quien lo construye); sin él, el
// selector solo muestra el aviso de la ruta.
extern void (*AbrirEditorContabs)(TComponent* Owner);
