#pragma once
// Lista de contabilidades (contabs.db de la carpeta del programa): cambiar la
// contabilidad abierta, borrarla de la lista (borrado lógico) y editar la lista.
#include "platform/forms/Forms.h"

class TLabel;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TTable;
class TDataSet;

class TFrmCambiarContabilidad : public TForm {
 public:
  explicit TFrmCambiarContabilidad(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCambiarContabilidad"; }

  AnsiString Path;  // carpeta de la contabilidad escogida

  TLabel* Label1;
  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
  TBitBtn* BtnCambiar;
  TBitBtn* BitBtn1;

  void BtnCambiarClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

class TFrmBorrarContabilida : public TForm {
 public:
  explicit TFrmBorrarContabilida(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmBorrarContabilida"; }

  TLabel* Label1;
  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
  TBitBtn* BtnBorrar;
  TBitBtn* BitBtn2;

  void BtnBorrarClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
};

class TfrmEditarContabs : public TForm {
 public:
  explicit TfrmEditarContabs(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmEditarContabs"; }

  TTable* tblContabs;
  TDataSource* DataSource1;
  TDBGrid* DBGrid1;

  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void tblContabsBeforePost(TDataSet* DataSet);
};

extern TFrmCambiarContabilidad* FrmCambiarContabilidad;
extern TFrmBorrarContabilida* FrmBorrarContabilida;
extern TfrmEditarContabs* frmEditarContabs;

// Carpeta de una fila de la lista como ruta completa, sin barra final; una ruta relativa
// lo es a la carpeta del programa.
AnsiString RutaCompletaContabilidad(const AnsiString& aRuta);
// Deja DM->TblContabs en la fila de la contabilidad abierta, reconocida por su carpeta y
// su año (no por su nombre, que la configuración puede cambiar). Falso si no está.
bool UbicarContabilidadAbierta();
// La contabilidad abierta no está en la lista: avisa, repara las tablas de la carpeta del
// programa y vuelve a abrir las de la contabilidad.
void RepararListaContabilidades();
// El usuario entra con los usuarios de la contabilidad de la carpeta (Login queda el suyo);
// falso, y Login como estaba, si no entra. PathCont queda como estaba.
bool EntrarEnContabilidad(TComponent* Owner, const AnsiString& ruta);
// Deja abierta la contabilidad de la carpeta: con pedirEntrada el usuario entra primero con
// los usuarios de ella y nada cambia si no entra; luego el estado de la sesión, el alias y
// las tablas, los derechos, la marca y la fila de la lista. Falso cuando no quedó abierta.
bool AbrirContabilidad(TComponent* Owner, const AnsiString& ruta, const AnsiString& nombre,
                       unsigned short anio, bool pedirEntrada);
// Abre el editor de la lista con el dueño dado (lo usa el selector del arranque).
void AbrirEditorDeContabs(TComponent* Owner);
