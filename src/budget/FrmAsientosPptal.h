#pragma once
// Movimiento presupuestal: apropiación, adición, reducción y traslado. El documento se
// trae o se crea, sus renglones se editan en la tabla de trabajo "asientoPptal" y al grabar
// se valida entero y se reescribe.
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"

namespace tv::motor {
struct MovimientoPptal;
}

class TLabel;
class TPanel;
class TEdit;
class TMaskEdit;
class TMemo;
class TComboBox;
class TButton;
class TBitBtn;
class TDBGrid;
class TColumn;
class TDataSource;
class TField;
class TTable;
class TQuery;

class TfrmAsientosPptal : public TForm {
 public:
  explicit TfrmAsientosPptal(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmAsientosPptal"; }

  TPanel* Panel1;
  TLabel* Label1;
  TComboBox* cbTipoMvtPptal;
  TLabel* Label2;
  TEdit* edNumDoc;
  TButton* btnLintRegPptal;
  TLabel* Label3;
  TMaskEdit* edFecha;
  TButton* BtnFechaDesde;
  TLabel* Label4;
  TEdit* edDetalle;
  TButton* BtnTraerCrear;
  TPanel* Panel2;
  TLabel* Label5;
  TMemo* MemoEjemplos;
  TDBGrid* DBGrid1;
  TPanel* Panel3;
  TLabel* Label6;
  TLabel* LblNCuenta;
  TLabel* Label7;
  TLabel* lblIngreso;
  TLabel* Label8;
  TLabel* lblEgreso;
  TLabel* Label9;
  TLabel* lblDiferencia;
  TLabel* LblError;
  TLabel* Label10;
  TPanel* Panel4;
  TBitBtn* BtnGrabar;
  TBitBtn* BitBtn2;
  TBitBtn* btnNavegar;
  TTable* tblAsientoPptal;
  TDataSource* dsAsientosPptal;
  TDataSource* dsMaestro;
  TQuery* Query1;
  TQuery* Query2;
  TQuery* Query3;
  TQuery* Query4;

  // Llave tomada en el último "Traer o Crear".
  AnsiString iMvtPptal, tipoMvtPptal;
  TDateTime FechaOriginal;  // fecha del documento traído; 0 si es nuevo
  TDateTime fecha;
  long long versionTraida_ = 0;  // versión guardada al traer (VersionMovimientoPptal)
  int contadorEncabezado_ = 0;   // columna "version" del encabezado al traer
  AnsiString origenTraslado_;  // rubro de donde sale un traslado, hallado al validar
  double montoTraslado_ = 0;
  double ingresoGuardado_ = 0, egresoGuardado_ = 0;  // montos del renglón antes de editarlo

  bool validar();
  void Totalice();
  bool ValidarNumeCuen(AnsiString& msg);
  bool EsCuentaAuxiliar(AnsiString aCuenta, AnsiString aTipoCuenta);
  // Lo que el editor tiene, como lo graba el motor.
  tv::motor::MovimientoPptal MovimientoDe();
  void vaciarAsiento();
  void limpiarAsiento();
  bool salir();

  void BtnTraerCrearClick(TObject* Sender);
  void BtnGrabarClick(TObject* Sender);
  void BtnFechaDesdeClick(TObject* Sender);
  void btnLintRegPptalClick(TObject* Sender);
  void btnNavegarClick(TObject* Sender);
  void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void DBGrid1ColEnter(TObject* Sender);
  void DBGrid1ColExit(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
  void dsAsientosPptalDataChange(TObject* Sender, TField* Field);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void cbTipoMvtPptalKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void edFechaKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  AnsiString TipoElegido() const;
  bool FechaVacia() const;
  bool HayRenglones() const;
  void Ayuda(const AnsiString& ancla);
  void Buscar();
  void MostrarTotales(double ingreso, double egreso);
  void MostrarRubro();
};

extern TfrmAsientosPptal* frmAsientosPptal;
