#pragma once
// Informe presupuestal completo: por rubro, apropiación, modificaciones, traslados y la cadena
// certificado, registro, orden de pago y comprobante antes del periodo, en él y hasta su fin.
// Se calcula en la tabla de trabajo infPpto y se entrega como archivo delimitado.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "budget/CalculosPptal.h"
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"

class TGroupBox;
class TLabel;
class TMaskEdit;
class TSpeedButton;
class TBitBtn;
class TQuery;
class TTable;
class TSaveDialog;
class TPanel;

class TfrmInfPpto : public TForm {
 public:
  explicit TfrmInfPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmInfPpto"; }

  TGroupBox* GroupBox1;
  TLabel* Label1;
  TMaskEdit* edFechaInicial;
  TSpeedButton* btnFechaDesde;
  TLabel* Label4;
  TMaskEdit* edFechaFinal;
  TSpeedButton* btnFechaHasta;
  TLabel* Label2;
  TLabel* Label3;
  TPanel* PnlBotones;
  TBitBtn* btnExportar;
  TBitBtn* BitBtn2;
  TBitBtn* btnAudPpto;
  TQuery* queryGral;
  TQuery* queryFill;
  TTable* tblInfPpto;
  TSaveDialog* SaveDialog1;
  TDateTime fechaInicial;
  TDateTime fechaFinal;

  void btnExportarClick(TObject* Sender);
  void btnFechaDesdeClick(TObject* Sender);
  void btnAudPptoClick(TObject* Sender);

  void crearTablaInfPpto();
  void fillTableInfPptoWithRubros();
  void fillMvtPptal(const AnsiString& aTipo, const AnsiString& aColumna);
  void fillMvtPptalRedIngresos(const AnsiString& aTipo, const AnsiString& aColumna);
  void fillMvtPptalRedEgresos(const AnsiString& aTipo, const AnsiString& aColumna);
  void fillTrasladoEgresos();
  void fillTrasladoIngresos();
  void fillTableInfPpto(const AnsiString& aSelect, const AnsiString& aColumna);
  void fillApropiadoReal();
  void fillSeparado();
  void fillDisponibleCDP();
  void fillCompromiso();
  void fillObligacion();
  void fillPago();

 protected:
  // Construye la tabla completa (dentro de la transacción de quien llama).
  virtual void construir();
  virtual AnsiString textoCreacion();
  // Códigos de la tabla en orden; se leen antes de actualizar (no se recorre el cursor que cambia).
  std::vector<AnsiString> codigos();
  // Une una consulta de importe por rubro, fila por fila, con la columna dada.
  void fillTraslado(const AnsiString& aTipoCuenta, bool aIngresoSuma);
  // Cifras ya calculadas que esperan su escritura: columnas sueltas por rubro y las familias de
  // la cadena ("cdp", "rp", "odp" o "cp", sus tres columnas en cada fila). escribirPendientes
  // las pone con una sola actualización por fila.
  std::map<std::string, std::map<std::string, double>> pendientes;
  std::vector<std::pair<const char*, CadenaPorRubro>> cadena;
  void fijar(const AnsiString& aRubro, const AnsiString& aColumna, double aValor);
  void escribirPendientes();
  void exportar(const AnsiString& aArchivoPropuesto);
  // Exporta después de construir; la clase del trimestre elige sus columnas.
  virtual void volcarCSV(const AnsiString& aArchivo);
};

extern TfrmInfPpto* frmInfPpto;
