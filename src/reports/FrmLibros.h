#pragma once
// Libros por tercero y cuenta: un tercero en una cuenta, un tercero en todas las cuentas,
// saldos de todos los terceros en una cuenta, y auxiliares por cuenta.
#include <initializer_list>
#include <utility>

#include "reports/ConsultasComun.h"

class TEdit;
class TCheckBox;
class TComboBox;
class TBevel;
class TDBGrid;
class TDataSource;
class TQuery;
class TPanel;
class TSaveDialog;
class TStatusBar;

// Lo común de los cuatro libros: selección, rejilla, totales y botones.
class TFrmLibro : public TFrmConPeriodo {
 public:
  explicit TFrmLibro(TComponent* Owner) : TFrmConPeriodo(Owner) {}

  TPanel* PnlSeleccion = nullptr;
  TLabel* LblICuenta = nullptr;
  TEdit* EdICuenta = nullptr;
  TLabel* LblNCuenta = nullptr;
  TLabel* LblITercero = nullptr;
  TEdit* EdITercero = nullptr;
  TLabel* LblNTercero = nullptr;
  TDBGrid* DBGrid1 = nullptr;
  TLabel* LblResultado = nullptr;
  TPanel* PnlTotales = nullptr;
  TLabel* LblNSaldoAnt = nullptr;   // "Saldo Anterior" (en Auxiliares LblNSaldoAnterior)
  TLabel* LblSaldoAnt = nullptr;    // (en Auxiliares LblSaldoAnterior)
  TLabel* LblNDebitos = nullptr;
  TLabel* LblDebitos = nullptr;     // (LblDebito en saldos de todos)
  TLabel* LblNCreditos = nullptr;
  TLabel* LblCreditos = nullptr;    // (LblCredito en saldos de todos)
  TLabel* LblNSaldo = nullptr;
  TLabel* LblSaldo = nullptr;
  TPanel* PnlBotones = nullptr;
  TBitBtn* BtnAceptar = nullptr;
  TBitBtn* BtnCancelar = nullptr;
  TBitBtn* BtnInforme = nullptr;
  TBitBtn* btnExportar = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TQuery* Query1 = nullptr;
  TQuery* Query2 = nullptr;
  TDataSource* DSQuery1 = nullptr;

  void FormClose(TObject* Sender);

 protected:
  void CrearCuenta(const char* aTitulo, const char* aBoton);
  void CrearTercero(const char* aBoton);
  void CrearRejilla(const char* aVacio);
  // Totales; con saldo anterior cuando se dan sus nombres.
  void CrearTotales(const char* aNombreDeb, const char* aNombreCred, const char* aTituloCred,
                    const char* aNombreNAnt, const char* aNombreAnt, const char* aTituloAnt,
                    bool aVisibles);
  void CrearBotones(const char* aInforme, bool aExportar);
  // Nombres de la cuenta y del tercero escritos.
  void PonerNombres();
  // Corre el listado; verdadero cuando halló filas (rejilla a la vista, botones activos).
  bool Listar(const AnsiString& aSQL);
  // Títulos y anchos de las columnas de la rejilla, por campo.
  void Columnas(std::initializer_list<std::pair<const char*, const char*>> aTitulos,
                std::initializer_list<std::pair<const char*, int>> aAnchos);
  void MostrarTotales(double aDebitos, double aCreditos, bool aConAnterior, double aAnterior);
  // Condiciones del periodo sobre la columna dada.
  AnsiString Periodo(const char* aCampo = "Fecha") const;
  TSpeedButton* BotonBusqueda(TWinControl* aPadre, const char* aNombre);
  // Débitos y créditos con sus dos decimales; los nulos en blanco.
  void DibujarMontos(const TRect& Rect, TColumn* Column);
};

class TFrmTercUnaCta : public TFrmLibro {
 public:
  explicit TFrmTercUnaCta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmTercUnaCta"; }
  TSpeedButton* BtnBuscar;
  TSpeedButton* BitBtn1;
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void EdICuentaExit(TObject*) {}
  void EdITerceroExit(TObject*) {}
};

class TFrmTercTodasCtas : public TFrmLibro {
 public:
  explicit TFrmTercTodasCtas(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmTercTodasCtas"; }
  TSpeedButton* BitBtn1;
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
};

class TFrmTercMovUnaCta : public TFrmLibro {
 public:
  explicit TFrmTercMovUnaCta(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmTercMovUnaCta"; }
  TSpeedButton* BitBtn1;
  TCheckBox* ChBSaldoCero;
  TLabel*& LblDebito = LblDebitos;
  TLabel*& LblCredito = LblCreditos;
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);
};

class TFrmAuxiliares : public TFrmLibro {
 public:
  explicit TFrmAuxiliares(TComponent* Owner);
  AnsiString ClassName() const override { return "TFrmAuxiliares"; }
  TSpeedButton* BitBtn1;
  TLabel* LblMesCad;
  TCheckBox* chbVistaPrevia;
  TLabel* Label2;
  TComboBox* ComboBox1;
  TBevel* Bevel1;
  TStatusBar* StatusBar;
  TLabel*& LblNSaldoAnterior = LblNSaldoAnt;
  TLabel*& LblSaldoAnterior = LblSaldoAnt;
  void BtnAceptarClick(TObject* Sender);
  void BtnInformeClick(TObject* Sender);
  void btnExportarClick(TObject* Sender);
  void EdICuentaExit(TObject* Sender);
  void EdICuentaKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

extern TFrmTercUnaCta* FrmTercUnaCta;
extern TFrmTercTodasCtas* FrmTercTodasCtas;
extern TFrmTercMovUnaCta* FrmTercMovUnaCta;
extern TFrmAuxiliares* FrmAuxiliares;
