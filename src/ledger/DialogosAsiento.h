#pragma once
// Diálogos del editor de comprobantes: periodo, tercero inexistente, código de
// verificación, cantidad y detalle del documento.
#include "platform/forms/Forms.h"

class TLabel;
class TComboBox;
class TMaskEdit;
class TRadioGroup;
class TRadioButton;
class TBitBtn;
class TEdit;
class TMemo;

// Periodo: revisa el permiso de grabar, fija el mes y abre el editor.
class TFrmPreAsientos : public TForm {
 public:
  explicit TFrmPreAsientos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmPreAsientos"; }

  TLabel* Label1;
  TComboBox* EdMes;
  TLabel* Label2;
  TMaskEdit* EdAnio;
  TRadioGroup* RadioGroup1;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn2;

  void FormActivate(TObject* Sender);
  void RadioGroup1Click(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
};

// Tercero que no existe: crearlo o buscar uno parecido.
class TFrmTercAsiento : public TForm {
 public:
  explicit TFrmTercAsiento(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmTercAsiento"; }

  TLabel* Label1;
  TRadioButton* RadioButton1;
  TRadioButton* RadioButton2;

  AnsiString Terc;

  void RadioButton1Click(TObject* Sender);
  void RadioButton2Click(TObject* Sender);
};

// Código de verificación de una cuenta.
class TFrmCodiVeri : public TForm {
 public:
  explicit TFrmCodiVeri(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCodiVeri"; }

  TLabel* Label1;
  TLabel* LblCuenta;
  TLabel* Label2;
  TEdit* EdCodiVeri;
  TLabel* Label3;

  AnsiString Codigo;
  bool result = false;

  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

// Cantidad de una línea de cuenta con kárdex.
class TFrmIngresoCantidad : public TForm {
 public:
  explicit TFrmIngresoCantidad(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmIngresoCantidad"; }

  TLabel* Label1;
  TLabel* LblCuenta;
  TLabel* Label2;
  TEdit* EdCantidad;
  TLabel* LblUnidades;
  TLabel* Label3;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  bool Acep = false;

  void BitBtn1Click(TObject* Sender);
};

// Detalle general del documento, guardado en su fila de mvtMaestro.
class TFrmDetalle : public TForm {
 public:
  explicit TFrmDetalle(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmDetalle"; }

  TMemo* Memo1;
  TBitBtn* BtnGrabar;
  TBitBtn* BtnSalir;

  bool YaExiste = false;
  AnsiString Comp;

  void BtnGrabarClick(TObject* Sender);
  void BtnSalirClick(TObject* Sender);
};

extern TFrmPreAsientos* FrmPreAsientos;
extern TFrmTercAsiento* FrmTercAsiento;
extern TFrmCodiVeri* FrmCodiVeri;
extern TFrmIngresoCantidad* FrmIngresoCantidad;
extern TFrmDetalle* FrmDetalle;
