#pragma once
// Explorador de órdenes de suministro con sus renglones, y la orden impresa.
#include <cstdint>

#include "platform/forms/Forms.h"

class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TButton;
class TBitBtn;
class TQuickRep;

class TfrmExplOrdSum : public TForm {
 public:
  explicit TfrmExplOrdSum(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmExplOrdSum"; }
  TDBGrid* DBGrid1;
  TDBGrid* DBGrid2;
  TPanel* PnlBotones;
  TBitBtn* BitBtn1;
  TButton* btnBorrar;
  TButton* btnImprimir;
  TButton* btnInsNuevo;
  TButton* btnElimVacio;
  TButton* btnSalir;
  TDataSource* dsOrdenSumiMaestro;
  TDataSource* dsOrdSumDlle;
  TQuery* Query1;
  TQuery* Query2;
  std::int64_t iOrdenSuministro = 0;

  void CargarRenglones();
  void DBGrid1DblClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void btnBorrarClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnInsNuevoClick(TObject* Sender);
  void btnElimVacioClick(TObject* Sender);

 private:
  bool Seleccionada(std::int64_t& aNumero);
  void Correr(std::int64_t aDesde, int aPaso);
  // La versión de la orden elegida, leída al mostrarse su fila.
  long long version_ = 0;
};

class TfrmRptOrdenSuministro : public TForm {
 public:
  explicit TfrmRptOrdenSuministro(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptOrdenSuministro"; }
  TDataSource* DataSource1;  // encabezado en su fila
  TDataSource* DataSource2;  // renglones con narticulo, cantidad y valorUnit
  TQuickRep* QuickRep1;
};

// Renglones de una orden (o de una tabla de trabajo) con el nombre de su artículo, vacío
// cuando el artículo no existe.
AnsiString RenglonesConArticulo(const AnsiString& aTabla, const AnsiString& aFiltro);

extern TfrmExplOrdSum* frmExplOrdSum;
extern TfrmRptOrdenSuministro* frmRptOrdenSuministro;
