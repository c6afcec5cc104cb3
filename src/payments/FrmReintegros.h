#pragma once
// Reintegros: devuelven dinero a un rubro de egreso. Lista, registro de uno nuevo, corrección en
// la rejilla y borrado solo mientras su dinero no se haya usado.
#include <cstdint>
#include <map>

#include "platform/forms/Forms.h"

class TDBGrid;
class TDataSource;
class TField;
class TMemo;
class TPanel;
class TLabel;
class TEdit;
class TMaskEdit;
class TBitBtn;
class TSpeedButton;

class TfrmReintegros : public TForm {
 public:
  explicit TfrmReintegros(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmReintegros"; }

  TLabel* lblAyuda;
  TDBGrid* DBGrid1;
  TMemo* Memo2;
  TPanel* Panel1;
  TLabel* Label1;
  TEdit* edRubro;
  TBitBtn* bitBtnCDP;
  TLabel* Label2;
  TEdit* edValor;
  TLabel* Label3;
  TMaskEdit* edFecha;
  TSpeedButton* btnFecha;
  TLabel* Label4;
  TMemo* Memo1;
  TBitBtn* btnGrabar;
  TBitBtn* btnCancelarNuevo;
  TPanel* PnlBotones;
  TBitBtn* btnNuevo;
  TBitBtn* btnBorrar;
  TBitBtn* btnImprimir;
  TBitBtn* btnGrabMod;
  TBitBtn* btnSalir;
  TDataSource* dsReintegros;

  bool validar();
  void dsReintegrosDataChange(TObject* Sender, TField* Field);
  void btnNuevoClick(TObject* Sender);
  void bitBtnCDPClick(TObject* Sender);
  void btnFechaClick(TObject* Sender);
  void btnGrabarClick(TObject* Sender);
  void btnCancelarNuevoClick(TObject* Sender);
  void btnBorrarClick(TObject* Sender);
  void btnGrabModClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);

 private:
  // Lee de nuevo las versiones y las filas.
  void Traer();
  long long VersionDe(std::int64_t fila) const;
  std::map<std::int64_t, long long> versiones_;  // por fila, leídas antes que ellas
};

extern TfrmReintegros* frmReintegros;
