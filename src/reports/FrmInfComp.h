#pragma once
// Consulta de documentos: encabezados del periodo, sumas del movimiento, documentos
// descuadrados y reparación de los encabezados que faltan.
#include "platform/forms/Grids.h"
#include "reports/ConsultasComun.h"

class TComboBox;
class TCheckBox;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;

class TFrmInfComp : public TFrmConPeriodo {
 public:
  explicit TFrmInfComp(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmInfComp"; }

  TPanel* PnlFiltro;
  TLabel* Label3;
  TComboBox* CBDocumentos;
  TCheckBox* chbFecha;
  TLabel* LblResult;
  TDBGrid* DBGrid1;
  TPanel* PnlTotales;
  TLabel* Label4;
  TLabel* LblT;
  TLabel* Label5;
  TLabel* lblSumaDebito;
  TLabel* Label6;
  TLabel* lblSumaCredito;
  TLabel* lblSumasDesiguales;
  TPanel* Panel1;
  TLabel* Label7;
  TDBGrid* DBGrid2;
  TPanel* PnlBotones;
  TBitBtn* BtnAceptar;
  TBitBtn* BitBtn4;
  TBitBtn* BtnInforme;
  TQuery* Query1;
  TQuery* Query2;
  TQuery* Query3;
  TDataSource* DSQuery1;
  TDataSource* dsQuery2;

  void BtnAceptarClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
  void BtnInformeClick(TObject* Sender);
  void EdFechaInicioKeyDown(TObject* Sender, Word& Key);

  // Crea el encabezado de cada documento con líneas y sin encabezado, desde su primer grupo
  // por fecha. Devuelve cuántos creó.
  int SincronizarEncabezados();
};

extern TFrmInfComp* FrmInfComp;
