#pragma once
// Explorador de órdenes de servicio: las del periodo, su descripción, borrado, impresos y
// corrimiento de la numeración.
#include <cstdint>
#include <map>
#include <string>

#include "reports/ConsultasComun.h"

class TDBGrid;
class TDBMemo;
class TDBNavigator;
class TDataSource;
class TQuery;
class TPanel;
class TButton;

class TfrmExplOrdenServ : public TFrmConPeriodo {
 public:
  explicit TfrmExplOrdenServ(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmExplOrdenServ"; }

  TPanel* PnlFiltro;
  TButton* btnMostrar;
  TDBGrid* DBGrid1;
  TPanel* PnlDescripcion;
  TLabel* Label1;
  TDBMemo* DBMemo1;
  TDBNavigator* DBNavigator1;
  TPanel* PnlBotones;
  TButton* btnBorrar;
  TButton* btnImprimir;
  TButton* btnListar;
  TButton* btnInsNuevo;
  TButton* btnElimVacio;
  TButton* btnSalir;
  TQuery* Query1;
  TQuery* Query2;
  TDataSource* dsOrdServ;

  void btnMostrarClick(TObject* Sender);
  void btnBorrarClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnListarClick(TObject* Sender);
  void btnInsNuevoClick(TObject* Sender);
  void btnElimVacioClick(TObject* Sender);
  void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);

 private:
  // Número de la orden seleccionada; false (con el aviso) cuando no hay ninguna.
  bool Seleccionada(std::int64_t& aNumero);
  void Correr(std::int64_t aDesde, int aPaso);
  // Versiones de las órdenes, leídas antes que la lista.
  std::map<std::string, long long> versiones_;
};

extern TfrmExplOrdenServ* frmExplOrdenServ;
