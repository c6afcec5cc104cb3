#pragma once
// Cambio masivo de una cuenta en el movimiento: las líneas cuya cuenta cumple un patrón
// reciben un código nuevo, en todos los documentos o en los de un tipo; el cambio puede
// probarse antes sobre una copia del movimiento.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TComboBox;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TTable;
class TQuery;

class TfrmCambioMasivoCta : public TForm {
 public:
  explicit TfrmCambioMasivoCta(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmCambioMasivoCta"; }

  TLabel* Label1;
  TEdit* edNumeCuen1;
  TLabel* Label2;
  TEdit* edNumeCuen2;
  TLabel* Label3;
  TLabel* Label4;
  TLabel* Label5;
  TLabel* Label6;
  TLabel* Label7;
  TLabel* Label8;
  TLabel* Label9;
  TComboBox* CBDocumentos;
  TBitBtn* btnAceptar;
  TBitBtn* btnOnlyVer;
  TBitBtn* btnSalir;
  TDBGrid* DBGrid1;
  TDataSource* DataSource1;
  TTable* tblDummy;
  TQuery* Query1;
  TQuery* Query2;

  AnsiString nameTblTarget;  // "mvt.db" o "copiaMvt.db"

  bool validar();
  void cambiarCuentas();
  void mostrarCuentas(const AnsiString& aNameTbl, const AnsiString& aSubcuenta);

  void CBDocumentosChange(TObject* Sender);
  void btnOnlyVerClick(TObject* Sender);
  void btnAceptarClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  AnsiString Prefijo() const;
  AnsiString Comodin() const;
  // Código del tipo escogido; vacío con " Todos".
  AnsiString TipoEscogido() const;
};

extern TfrmCambioMasivoCta* frmCambioMasivoCta;
