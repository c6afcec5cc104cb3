#pragma once
// Retención en la fuente: reglas por cuenta (tabla "retenciones"), su cálculo sobre una base
// y el llenado de las líneas de un comprobante con las retenciones que les tocan.
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"

class TStringGrid;
class TRadioGroup;
class TLabel;
class TEdit;
class TBitBtn;
class TTable;
class TDataSource;
class TDBNavigator;
class TDBGrid;

// La regla de una cuenta tal como la usa el cálculo.
struct stRteFte {
  AnsiString cuenta;
  AnsiString nombre;
  AnsiString baseTope;  // "base" como texto; se compara como número
  double porcentaje = 0;
  AnsiString tipo;  // en mayúsculas: SER, COM, IVA u otro
  double porcentajeNoDeclara = 0;
  bool redondeoPesos = false;
  bool redondeoMiles = false;
  TDateTime fechaInicio;
  TDateTime fechaFinal;
  double porcentajeUsado = 0;  // el del declarante o el del no declarante
};

// Verdadero cuando la cuenta tiene exactamente una regla; entonces llena aStRteFte.
bool esCuentaRteFte(const AnsiString& aNumeCuen, stRteFte& aStRteFte, bool aDeclara);
// Retención de una regla sobre una base (cero bajo el tope).
double calculaRteFte(const AnsiString& aNumeCuen, double aValorBase, const stRteFte& aStRteFte);
// Pide las bases y pone en la columna 3 de cada fila cuya cuenta (columna 0) tiene regla la
// retención calculada. Si el diálogo se cierra sin "Continuar", la rejilla queda igual.
void putRteFte(TStringGrid* aGrid);

// Bases de la retención de un pago.
class TfrmBeforeRteFte : public TForm {
 public:
  explicit TfrmBeforeRteFte(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmBeforeRteFte"; }

  TLabel* Label4;
  TLabel* Label5;
  TLabel* Label6;
  TRadioGroup* RadioGroup1;
  TLabel* Label1;
  TEdit* edIVA;
  TLabel* Label2;
  TEdit* edServicios;
  TLabel* Label3;
  TEdit* edCompras;
  TBitBtn* btnCalcular;

  bool esDeclarante = false;
  double iva = 0;
  double servicios = 0;
  double compras = 0;
  bool continuar = false;  // se cerró con "Continuar" y las tres cifras son números

  void btnCalcularClick(TObject* Sender);
};

// Editor de las reglas de retención.
class TfrmRetenciones : public TForm {
 public:
  explicit TfrmRetenciones(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRetenciones"; }

  TTable* tblRetenciones;
  TDataSource* DataSource1;
  TDBNavigator* DBNavigator1;
  TDBGrid* DBGrid1;

  void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TfrmBeforeRteFte* frmBeforeRteFte;
extern TfrmRetenciones* frmRetenciones;
