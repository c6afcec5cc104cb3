#pragma once
// Kárdex: cantidades de una cuenta (a cualquier nivel) en un periodo, en pantalla e impreso.
#include "platform/forms/Forms.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Grids.h"

class TLabel;
class TEdit;
class TGroupBox;
class TMaskEdit;
class TBitBtn;
class TDBGrid;
class TColumn;
class TQuery;
class TDataSource;
class TQuickRep;
class TQRBand;
class TQRLabel;
class TQRDBText;

class TFrmKardex : public TForm {
 public:
  explicit TFrmKardex(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmKardex"; }

  TLabel* Label1;
  TEdit* EdICuenta;
  TBitBtn* BitBtn1;  // búsqueda
  TLabel* LblNCuenta;
  TGroupBox* GroupBox1;
  TLabel* Label2;
  TMaskEdit* EdFechaInicio;
  TBitBtn* BtnFechaDesde;
  TLabel* Label3;
  TMaskEdit* EdFechaFinal;
  TBitBtn* BtnFechaHasta;
  TLabel* LblVienen;
  TLabel* LblIVienen;
  TLabel* LblEntradas;
  TLabel* LblIEntradas;
  TLabel* LblSalidas;
  TLabel* LblISalidas;
  TLabel* LblSaldo;
  TLabel* LblISaldo;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnCancelar;
  TBitBtn* BtnInforme;
  TLabel* LblResultado;
  TDBGrid* DBGrid1;
  TQuery* Query1;
  TDataSource* DSQuery1;
  TQuery* QueryPlan;
  TDataSource* DSPlan;
  TQuery* QueryCifras;

  void BitBtn1Click(TObject* Sender);
  void EdICuentaExit(TObject* Sender);
  void EdICuentaKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void BtnFechaDesdeClick(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);

 private:
  void MostrarNombre(const AnsiString& codigo);
  void Cifras(const AnsiString& d, const AnsiString& h, double cifras[4]);
};

// Informe impreso del kárdex sobre la lista de la ventana del kárdex.
class TFrmRepKardex : public TForm {
 public:
  explicit TFrmRepKardex(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmRepKardex"; }

  TQuickRep* QuickRep1;
  TQRBand* TitleBand1;
  TQRLabel* QRLblEmpresa;
  TQRLabel* QRLblPeriodo;
  TQRLabel* QRLblCuenta;
  TQRBand* ColumnHeaderBand1;
  TQRBand* DetailBand1;
  TQRDBText* QRDBFecha;
  TQRDBText* QRDBCedula;
  TQRDBText* QRDBDetalle;
  TQRDBText* CantidadPrint;
  TQRBand* SummaryBand1;
  TQRLabel* QRLblVienen;
  TQRLabel* QRLblEntradas;
  TQRLabel* QRLblSalidas;
  TQRLabel* QRLblSaldo;

  AnsiString ICuenta, NCuenta, FechaDesde, FechaHasta;
  AnsiString Vienen, Entradas, Salidas, Saldo;
};

extern TFrmKardex* FrmKardex;
extern TFrmRepKardex* FrmRepKardex;
