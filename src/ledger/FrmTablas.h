#pragma once
// Explorador de las tablas maestras (terceros, comprobantes, soportes, centros de costo)
// y los diálogos de fila nueva y de cambio de nombre.
#include "platform/forms/Forms.h"

class TDBGrid;
class TBitBtn;
class TEdit;
class TLabel;
class TRadioGroup;
class TQuery;
class TTable;
class TDataSource;

enum TipoTabla { Terceros = 2, Documentos = 3, Soportes = 4, CentCost = 5 };

class TFrmTablas : public TForm {
 public:
  explicit TFrmTablas(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmTablas"; }

  TDBGrid* DS;
  TBitBtn* BtnNuevo;
  TBitBtn* BtnModificar;
  TBitBtn* BtnBuscar;
  TBitBtn* BtnBorrar;
  TBitBtn* BtnOrden;
  TBitBtn* BtnPrint;
  TBitBtn* btnExportar;
  TBitBtn* BitBtn1;  // Cerrar
  TQuery* Query1;
  TTable* Table1;

  TipoTabla Tabla = Terceros;
  bool OrdenNombre = false;

  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void BtnNuevoClick(TObject* Sender);
  void BtnModificarClick(TObject* Sender);
  void BtnBuscarClick(TObject* Sender);
  void BtnBorrarClick(TObject* Sender);
  void BtnOrdenClick(TObject* Sender);
  void BtnPrintClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);

 private:
  TDataSource* Fuente() const;
};

// Fila nueva de comprobantes (Typo 1), soportes (2) o centros de costo (3).
class TFrmNuevoCCostos_Docu_Sop : public TForm {
 public:
  explicit TFrmNuevoCCostos_Docu_Sop(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmNuevoCCostos_Docu_Sop"; }

  TLabel* Label1;
  TEdit* EdCodigo;
  TLabel* Label2;
  TEdit* EdNombre;
  TBitBtn* BitBtn1;  // Aceptar
  TBitBtn* BitBtn2;  // Salir

  short Typo = 1;

  bool Validar(short aTypo);
  void FormActivate(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

// Cambia el nombre de un soporte (Typo 2) o de un centro de costo (3).
class TFrmModifCCostos_Docu_Sop : public TForm {
 public:
  explicit TFrmModifCCostos_Docu_Sop(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmModifCCostos_Docu_Sop"; }

  TLabel* Label1;
  TLabel* LblCodigo;
  TLabel* Label2;
  TEdit* EdNombre;
  TBitBtn* c;  // Aceptar
  TBitBtn* BitBtn2;

  int Typo = 2;

  bool Validar();
  void cClick(TObject* Sender);
};

// Nombre y marcas de un tipo de comprobante.
class TfrmModiDocu : public TForm {
 public:
  explicit TfrmModiDocu(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmModiDocu"; }

  TLabel* Label1;
  TLabel* LblCodigo;
  TLabel* Label2;
  TEdit* EdNombre;
  TRadioGroup* RadioGroup1;
  TRadioGroup* RadioGroup2;
  TBitBtn* btnAceptar;
  TBitBtn* BitBtn2;

  bool Validar();
  void FormActivate(TObject* Sender);
  void btnAceptarClick(TObject* Sender);
};

extern TFrmTablas* FrmTablas;
extern TFrmNuevoCCostos_Docu_Sop* FrmNuevoCCostos_Docu_Sop;
extern TFrmModifCCostos_Docu_Sop* FrmModifCCostos_Docu_Sop;
extern TfrmModiDocu* frmModiDocu;
