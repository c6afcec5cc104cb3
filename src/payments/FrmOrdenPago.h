#pragma once
// Orden de pago: paga a un tercero, contra un registro presupuestal, a lo sumo lo que el
// registro tiene pendiente; lleva su propio asiento contable armado desde una plantilla.
#include <cstdint>

#include "payments/motor/AsientoOrdenPago.h"
#include "payments/motor/OrdenPago.h"
#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TMaskEdit;
class TButton;
class TBitBtn;
class TCheckBox;
class TComboBox;
class TStringGrid;
class TQuery;
class TDataSource;

class TfrmOrdenPago : public TForm {
 public:
  explicit TfrmOrdenPago(TComponent* Owner);
  ~TfrmOrdenPago() override;
  AnsiString ClassName() const override { return "TfrmOrdenPago"; }

  TLabel* Label1;
  TLabel* Label2;
  TEdit* edIRP;
  TBitBtn* btnLintRegPptal;
  TLabel* Label23;
  TLabel* Label8;
  TLabel* Label9;
  TLabel* Label10;
  TLabel* lblPendientePagoRP;
  TLabel* Label12;
  TLabel* lblIrubroPptal;
  TLabel* Label13;
  TLabel* lblObjetoGasto;
  TLabel* Label3;
  TLabel* Label4;
  TEdit* edIordenPago;
  TBitBtn* btnLintOrdenPago;
  TLabel* Label5;
  TMaskEdit* edFechaExp;
  TButton* btnFechaExp;
  TLabel* Label6;
  TMaskEdit* edFechaVenc;
  TButton* btnFechaVenc;
  TLabel* Label7;
  TEdit* edItercero;
  TBitBtn* btnLintCedula;
  TButton* btnNuevTerc;
  TLabel* lblNtercero;
  TLabel* Label14;
  TMaskEdit* edValor;
  TLabel* Label15;
  TEdit* edObjetoGasto;
  TLabel* Label16;
  TEdit* edValorCheque;
  TLabel* Label17;
  TEdit* edNumeroCheque;
  TLabel* Label18;
  TEdit* edBanco;
  TLabel* Label19;
  TEdit* edEfectivo;
  TCheckBox* chbRecibi;
  TLabel* Label20;
  TLabel* Label21;
  TComboBox* cbAsientosProg;
  TBitBtn* BitBtn3;
  TLabel* Label22;
  TEdit* edNumeDocu;
  TLabel* Label24;
  TLabel* lblCtaMayor;
  TStringGrid* SGAsiento;
  TLabel* Label25;
  TLabel* lblTotal;
  TButton* btnAgregarCuenta;
  TButton* btnRteFte;
  TButton* btnConfRteFte;
  TLabel* Label11;
  TBitBtn* btnAceptar;
  TBitBtn* btnImprimir;
  TBitBtn* btnImpTradicional;
  TBitBtn* btnNavegar;
  TBitBtn* btnCancelar;
  TQuery* queryGral;
  TQuery* Query2;
  TDataSource* dsRegPptal;
  TDataSource* dsOrdenPago;
  TDataSource* dsTerceros;
  TDataSource* dsCuenta;
  TDataSource* dsAsientosProgCfg;

  std::int64_t pagoPendiente = 0;  // centavos
  AnsiString DESCDOCU;
  AnsiString nAstoProg;
  AnsiString iTercero;
  int iAstoProg = 0;
  double valor = 0;
  bool nuevo = true;
  std::int64_t irp = 0;
  double valorRP = 0;
  double valorOriginal = 0;

  void getRP(std::int64_t aIrp);
  void initNuevo();
  void limpiarGrid();
  void getMvt();
  void fillGridWithMvt();
  // El asiento de la rejilla como registro del motor, para la orden dada.
  tv::motor::AsientoOrdenPago AsientoDeLaOrden(std::int64_t orden);
  bool validar();
  // La orden en pantalla como registro del motor.
  tv::motor::OrdenPago Registro();

  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void edIRPExit(TObject* Sender);
  void btnLintRegPptalClick(TObject* Sender);
  void edIordenPagoExit(TObject* Sender);
  void btnLintOrdenPagoClick(TObject* Sender);
  void btnFechaExpClick(TObject* Sender);
  void btnFechaVencClick(TObject* Sender);
  void btnLintCedulaClick(TObject* Sender);
  void btnNuevTercClick(TObject* Sender);
  void edObjetoGastoEnter(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnImpTradicionalClick(TObject* Sender);
  void cbAsientosProgChange(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void SGAsientoSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
  void btnAgregarCuentaClick(TObject* Sender);
  void btnRteFteClick(TObject* Sender);
  void btnConfRteFteClick(TObject* Sender);
  void btnAceptarClick(TObject* Sender);

 private:
  AnsiString ArchivoIni() const;
  void EscribirOrden(const AnsiString& texto);
  void EscribirRegistro(const AnsiString& texto);
  bool AplicarPlantilla();
  void CargarOrden(const tv::motor::OrdenPago& o);
  void MostrarPendiente();
  bool HayAsientoManual(const AnsiString& numeDocu);
  void LeerPendiente();
  std::int64_t numeroOrden_ = 0;  // número de la orden que se graba o que está cargada
  long long versionTraida_ = 0;   // versión de la orden cargada o grabada
  bool registroLeido_ = false;   // el número del registro ya se leyó
  std::int64_t numeroRegistro_ = 0;  // número del registro leído por última vez
  AnsiString numeDocuGuardado_;  // número del asiento de la orden cargada o grabada
  // Lo digitado en la forma, y cómo estaba al abrirla, cargar una orden o grabarla: "Salir"
  // pregunta antes de descartar lo que cambió desde entonces.
  AnsiString Digitado() const;
  void TomarDigitado();
  AnsiString digitadoGuardado_;
};

extern TfrmOrdenPago* frmOrdenPago;
