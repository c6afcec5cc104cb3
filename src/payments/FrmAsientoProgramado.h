#pragma once
// Comprobantes hechos desde una plantilla de asiento programado: se escoge la plantilla, se
// digitan los valores y el encabezado, y se graba como documento del diario (tipoAsiento "P").
#include "payments/motor/ComprobanteProgramado.h"
#include "platform/forms/Forms.h"

class TComboBox;
class TLabel;
class TEdit;
class TMaskEdit;
class TBitBtn;
class TButton;
class TStringGrid;
class TRadioGroup;
class TImage;
class TQuery;
class TDataSource;

class TFrmAsientoProgramado : public TForm {
 public:
  explicit TFrmAsientoProgramado(TComponent* Owner);
  ~TFrmAsientoProgramado() override;
  AnsiString ClassName() const override { return "TFrmAsientoProgramado"; }

  TLabel* Label1;
  TComboBox* cbAsientosProg;
  TBitBtn* BitBtn2;
  TLabel* Label2;
  TLabel* Label6;
  TLabel* Label3;
  TEdit* edNumeDocu;
  TBitBtn* BitBtn3;
  TButton* btnCamCons;
  TLabel* Label4;
  TMaskEdit* edFecha;
  TBitBtn* BtnFecha;
  TLabel* LblTercero;
  TEdit* edItercero;
  TBitBtn* BitBtn1;
  TLabel* LblNTercero;
  TButton* btnNuevoTercero;
  TLabel* Label5;
  TEdit* edDetalle;
  TLabel* Label7;
  TEdit* edCentCost;
  TBitBtn* BitBtn4;
  TLabel* Label11;
  TLabel* Label8;
  TEdit* edCheque;
  TLabel* Label10;
  TEdit* edOP1;
  TEdit* edOP2;
  TEdit* edOP3;
  TEdit* edOP4;
  TEdit* edOP5;
  TBitBtn* BitBtn5;
  TLabel* Label12;
  TLabel* lblSumaOP;
  TStringGrid* SGAsiento;
  TLabel* Label9;
  TLabel* lblTotal;
  TLabel* lblSumaDebito;
  TLabel* lblSumaCredito;
  TButton* btnAddCuenta;
  TButton* btnRteFte;
  TButton* btnConfRteFte;
  TRadioGroup* RadioGroup1;
  TImage* Image1;
  TBitBtn* BtnGrabar;
  TBitBtn* btnImprimir;
  TButton* bntConfigImp;
  TBitBtn* btnSiguiente;
  TBitBtn* BtnBorrar;
  TBitBtn* BtnSalir;
  TQuery* queryGral;
  TQuery* Query1;
  TDataSource* DataSource1;
  TDataSource* dsOrdenPago;

  bool filtered = false;
  int iAstoProg = 0;
  AnsiString nAstoProg;
  AnsiString descDocu;
  double valor = 0;
  AnsiString grado;  // se guarda como texto y se imprime tal cual
  AnsiString grupo;
  bool confirmarGrabar = false;
  bool exigirOpAsociada = false;
  bool exigePpto = false;
  AnsiString archivoIni;

  void cbAsientosProgChange(TObject* Sender);
  void fillPlantillaAsiento();
  AnsiString getNcuenta(const AnsiString& aCodigo);
  double getSumaOPs();
  void edIterceroExit(TObject* Sender);
  bool Validar();
  bool ValidarTercero();
  // El comprobante en pantalla como registro del motor.
  tv::motor::ComprobanteProgramado Registro();
  void fillGridWithMvt();
  void impTradicional();
  void impDobleCuadro();
  void impTirilla();
  AnsiString iTercero;

  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void SGAsientoSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
  void SGAsientoSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void BitBtn4Click(TObject* Sender);
  void BitBtn5Click(TObject* Sender);
  void BtnFechaClick(TObject* Sender);
  void btnNuevoTerceroClick(TObject* Sender);
  void edOPChange(TObject* Sender);
  void btnAddCuentaClick(TObject* Sender);
  void btnRteFteClick(TObject* Sender);
  void btnConfRteFteClick(TObject* Sender);
  void RadioGroup1Click(TObject* Sender);
  void bntConfigImpClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnSiguienteClick(TObject* Sender);
  void BtnGrabarClick(TObject* Sender);
  void btnCamConsClick(TObject* Sender);
  void edNumeDocuExit(TObject* Sender);
  void BtnBorrarClick(TObject* Sender);

 private:
  bool activado_ = false;
  TEdit* Op(int i) const;
  bool OrdenesValidas() const;
};

extern TFrmAsientoProgramado* FrmAsientoProgramado;
