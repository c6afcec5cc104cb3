#pragma once
// Informe de centros de costo: débitos por documento y cuenta en un periodo, con total.
#include "platform/forms/Forms.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Grids.h"

class TComboBox;
class TGroupBox;
class TLabel;
class TMaskEdit;
class TBitBtn;
class TDBGrid;
class TColumn;
class TQuery;
class TDataSource;

class TFrmCentroCostos : public TForm {
 public:
  explicit TFrmCentroCostos(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmCentroCostos"; }

  TLabel* Label1;
  TComboBox* CBCCostos;
  TGroupBox* GroupBox1;
  TLabel* Label2;
  TMaskEdit* EdFechaInicio;
  TBitBtn* BtnFechaDesde;
  TLabel* Label3;
  TMaskEdit* EdFechaFinal;
  TBitBtn* BtnFechaHasta;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn4;
  TDBGrid* DBGrid1;
  TLabel* LblResult;
  TLabel* LblNTotal;
  TLabel* LblTotal;
  TQuery* Query1;
  TQuery* Query2;
  TDataSource* DSQuery1;

  void BtnFechaDesdeClick(TObject* Sender);
  void BtnAceptarClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
};

extern TFrmCentroCostos* FrmCentroCostos;
