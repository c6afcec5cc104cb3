#pragma once
// Resumen presupuestal: movimientos y ejecuciones del periodo por rubro, de gasto o de
// ingreso, en una sola consulta ordenada por rubro y fecha.
#include "reports/ConsultasComun.h"

class TEdit;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TSaveDialog;
class TRadioGroup;
class TCheckBox;
class TColumn;
struct TRect;

class TfrmInformePptal : public TFrmConPeriodo {
 public:
  explicit TfrmInformePptal(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmInformePptal"; }

  TPanel* PnlFiltro;
  TLabel* Label1;
  TEdit* edRubroInicial;
  TBitBtn* BtnCuenta1;
  TLabel* Label2;
  TEdit* edRubroFinal;
  TBitBtn* BtnCuenta2;
  TRadioGroup* rgTipoCuentas;
  TCheckBox* chbVistaPrevia;
  TLabel* Label3;
  TDBGrid* DBGrid1;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BtnInforme;
  TBitBtn* btnExportar;
  TBitBtn* BtnCancelar;
  TSaveDialog* SaveDialog1;
  TQuery* Query1;
  TDataSource* DataSource1;
  AnsiString tipoCuentas;

  void BtnCuenta1Click(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column);
};

// Texto de la consulta del resumen: tipo "E" o "I", fechas día/mes/año y rango de rubros
// (vacíos los dos: sin rango).
AnsiString ConsultaResumenPptal(const AnsiString& aTipo, const AnsiString& aDesde, const AnsiString& aHasta,
                                const AnsiString& aRubro1, const AnsiString& aRubro2);

extern TfrmInformePptal* frmInformePptal;
