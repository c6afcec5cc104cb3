#pragma once
// Consulta de soportes: total débito de cada soporte por fecha en un periodo.
#include "reports/ConsultasComun.h"

class TComboBox;
class TDBGrid;
class TDataSource;
class TQuery;
class TStatusBar;
class TPanel;

class TFrmInfSop : public TFrmConPeriodo {
 public:
  explicit TFrmInfSop(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmInfSop"; }

  TPanel* PnlFiltro;
  TLabel* Label3;
  TComboBox* CBDocumentos;
  TLabel* LblResult;
  TDBGrid* DBGrid1;
  TLabel* LblNTotal;
  TLabel* LblTotal;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn4;
  TBitBtn* BtnInforme;
  TSpeedButton* SpeedButton1;
  TStatusBar* StatusBar;
  TQuery* Query1;
  TQuery* Query2;
  TDataSource* DSQuery1;

  void BtnAceptarClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column);
  void BtnInformeClick(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void EdFechaInicioKeyDown(TObject* Sender, Word& Key);
  void DBGrid1KeyDown(TObject* Sender, Word& Key);
  void CBDocumentosEnter(TObject* Sender);
};

extern TFrmInfSop* FrmInfSop;
