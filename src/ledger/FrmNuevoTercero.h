#pragma once
// Crea un tercero o modifica el actual de TblTerceros; el cambio de documento
// re-apunta el movimiento y los documentos presupuestales, y une dos terceros.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TComboBox;
class TRadioGroup;
class TBitBtn;
class TQuery;

class TFrmNuevoTercero : public TForm {
 public:
  explicit TFrmNuevoTercero(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmNuevoTercero"; }

  TLabel* Label1;
  TEdit* EdCedula;
  TLabel* Label2;
  TComboBox* cbTipoDoc;
  TLabel* Label3;
  TEdit* edDigVer;
  TLabel* Label4;
  TEdit* edNombre1;
  TLabel* Label5;
  TEdit* edNombre2;
  TLabel* Label6;
  TEdit* edApellido1;
  TLabel* Label7;
  TEdit* edApellido2;
  TLabel* Label8;
  TEdit* edRazonSocial;
  TLabel* Label9;
  TEdit* edRazonComercial;
  TLabel* Label10;
  TEdit* EdDireccion;
  TLabel* Label11;
  TEdit* EdTelefono;
  TLabel* Label12;
  TComboBox* cbDpto;
  TLabel* Label13;
  TComboBox* cbCiudad;
  TLabel* Label14;
  TEdit* edIGrado;
  TLabel* Label15;
  TEdit* edIGrupo;
  TRadioGroup* RGIVA;
  TRadioGroup* RGFuente;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;
  TQuery* Query1;

  int Modif = 0;         // 0 crea, 1 modifica la fila actual
  AnsiString iTercero;   // documento grabado; vacío si no se grabó
  bool Aceptado = false;

  bool Validar();
  void llenarCampos();

  void FormActivate(TObject* Sender);
  void EdCedulaExit(TObject* Sender);
  void edRazonSocialEnter(TObject* Sender);
  void cbCiudadEnter(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);

 private:
  AnsiString SalvaCedula;
  AnsiString salvaDpto, salvaCiudad;  // códigos guardados, por si no se escoge otro
  AnsiString TipoDoc() const;
};

extern TFrmNuevoTercero* FrmNuevoTercero;
