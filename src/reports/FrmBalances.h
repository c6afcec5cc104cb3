#pragma once
// Ventana de los cinco balances: general (1), de prueba (2), pérdidas y ganancias (3),
// caja diario (4) y mayor y balance (5). Llena baltempestados con el motor de saldos,
// da forma a las filas según el informe, las muestra, imprime y exporta.
#include <initializer_list>

#include "platform/forms/Forms.h"
#include "platform/forms/Grids.h"

class TLabel;
class TMaskEdit;
class TEdit;
class TBitBtn;
class TButton;
class TRadioButton;
class TGroupBox;
class TCheckBox;
class TRadioGroup;
class TPanel;
class TDBGrid;
class TStatusBar;
class TQuery;
class TTable;
class TBatchMove;
class TDataSource;
class TSaveDialog;
class TFontDialog;
class TColumn;

class TFrmBalances : public TForm {
 public:
  explicit TFrmBalances(TComponent* Owner);
  ~TFrmBalances() override;
  AnsiString ClassName() const override { return "TFrmBalances"; }

  TLabel* Label1;
  TMaskEdit* EdFechaInicio;
  TButton* BtnFechaDesde;
  TLabel* Label2;
  TMaskEdit* EdFechaFinal;
  TButton* BitBtn3;
  TGroupBox* GroupBox1;
  TRadioButton* RBDos;
  TRadioButton* RBCuatro;
  TRadioButton* RBSeis;
  TRadioButton* RBTodo;
  TCheckBox* chbSaldosIguales;
  TCheckBox* chbSaldosCero;
  TCheckBox* chbExpress;
  TCheckBox* ChBCierre;
  TRadioGroup* RGComprobante;
  TPanel* Panel1;
  TLabel* Label3;
  TEdit* edTitulo;
  TLabel* Label4;
  TEdit* edFechaImp;
  TButton* btnFuente;
  TLabel* lblTipoLetra;
  TLabel* Label5;
  TEdit* edMargen;
  TLabel* Label6;
  TEdit* edMargenSup;
  TCheckBox* chbVistaPrevia;
  TPanel* PG;
  TLabel* Label7;
  TLabel* LblIngresos;
  TLabel* Label8;
  TLabel* LblEgresos;
  TLabel* Label9;
  TLabel* LblUtilidad;
  TPanel* BG;
  TLabel* Label10;
  TLabel* LblActivo;
  TLabel* Label11;
  TLabel* LblPasivoPatrimonio;
  TLabel* Label12;
  TLabel* LblPat;
  TDBGrid* DBGrid1;
  TDBGrid* dbGridCajaDiarioComprobante;
  TPanel* PanelBotones;
  TBitBtn* BtnInforme;
  TBitBtn* btnImprimir;
  TBitBtn* btnExportar;
  TBitBtn* BitBtn1;
  TStatusBar* StatusBar;

  TQuery* Query1;
  TQuery* Query2;
  TQuery* Query3;
  TQuery* queryGral;
  TQuery* QueryCierre1;
  TQuery* QueryCierre2;
  TBatchMove* BatchMove1;
  TBatchMove* BatchMove2;
  TTable* TblTemp2;
  TDataSource* DataSource1;
  TDataSource* DSTemp2;
  TSaveDialog* SaveDialog1;
  TFontDialog* FontDialog1;

  int Llamado = 0;                      // informe: 1 a 5
  bool CajaDiario_Comprobante = false;  // caja diario listado por comprobante
  bool letraPersonalizada = false;      // letra escogida para imprimir el balance de prueba

  void LlenarBalTempEstados();
  void SimulaCierre();
  void MostrarEcuacionContable();
  void CajaDiarioComprobante();
  void PrintCajaDiarioComprobante();

  void FormActivate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void BtnFechaDesdeClick(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  void RGComprobanteClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);
  void btnFuenteClick(TObject* Sender);
  void DBGrid1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                             TGridDrawState State);
  void dbGridCajaDiarioComprobanteDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol,
                                                 TColumn* Column, TGridDrawState State);

  // Sumas por clase de la última corrida, para los resúmenes.
  struct SumasClase {
    double debAntes[10] = {}, creAntes[10] = {};
    double debEntre[10] = {}, creEntre[10] = {};
  };

 private:
  void Hint(TControl* aControl, const char* aTexto);
  void OcultarColumnas(std::initializer_list<int> aColumnas, int aAncho = 0);
  void AnchoDeMontos();
  void PasoDelInforme();
  void ImprimirBalance();
  SumasClase sumas_;
  double utilidadSimulada_ = 0;
};

extern TFrmBalances* FrmBalances;
