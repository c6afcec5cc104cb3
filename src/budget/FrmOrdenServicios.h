#pragma once
// Orden de servicio: un servicio contratado con un tercero contra un registro presupuestal.
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TMaskEdit;
class TMemo;
class TBitBtn;
class TSpeedButton;
class TButton;

class TfrmOrdenServicios : public TForm {
 public:
  explicit TfrmOrdenServicios(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmOrdenServicios"; }

  TLabel* Label1;
  TEdit* edIordenServicio;
  TBitBtn* BitBtn1;
  TLabel* Label2;
  TMaskEdit* edFecha;
  TSpeedButton* BtnFecha;
  TLabel* Label3;
  TEdit* edItercero;
  TBitBtn* BitBtn3;
  TSpeedButton* SpeedButton1;
  TLabel* lblNtercero;
  TLabel* Label4;
  TEdit* edIregPptal;
  TLabel* Label5;
  TEdit* edValor;
  TLabel* Label6;
  TMemo* Memo1;
  TButton* btnGrabar;
  TButton* btnCancelar;
  TButton* btnExplorar;

  void setNuevo(bool aNuevo) { nuevo = aNuevo; }
  bool getNuevo() const { return nuevo; }
  // Verdadero cuando la orden quedó grabada: solo entonces quien abrió toma número y fecha.
  bool grabado = false;

  bool validar();
  void edIordenServicioExit(TObject* Sender);
  void FormActivate(TObject* Sender);
  void btnGrabarClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void BtnFechaClick(TObject* Sender);
  void btnExplorarClick(TObject* Sender);

 private:
  bool nuevo = true;
  double cargada_ = 0;  // número de la orden cargada: la que se reescribe
  long long versionTraida_ = 0;
  double irpTraido_ = 0;  // registro que tenía la orden cargada
};

extern TfrmOrdenServicios* frmOrdenServicios;
