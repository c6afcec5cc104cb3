#pragma once
// Información exógena: tabla de trabajo con los débitos de la clase 5 y los créditos de las
// cuentas de impuestos listadas, por cuenta y tercero, exportada como archivo delimitado.
#include "platform/core/DateTime.h"
#include "platform/forms/Forms.h"

class TGroupBox;
class TLabel;
class TMaskEdit;
class TSpeedButton;
class TMemo;
class TBitBtn;
class TQuery;
class TTable;
class TSaveDialog;
class TPanel;

class TfrmExogena : public TForm {
 public:
  explicit TfrmExogena(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmExogena"; }

  TGroupBox* GroupBox1;
  TLabel* Label1;
  TMaskEdit* edFechaInicial;
  TSpeedButton* btnFechaDesde;
  TLabel* Label2;
  TMaskEdit* edFechaFinal;
  TSpeedButton* btnFechaHasta;
  TLabel* Label3;
  TMemo* Memo1;
  TPanel* PnlBotones;
  TBitBtn* btnAgrupado;
  TBitBtn* btnCancelar;
  TQuery* queryGral;
  TTable* tblInfExogena;
  TSaveDialog* SaveDialog1;
  TDateTime fechaInicial;
  TDateTime fechaFinal;

  void btnFechaDesdeClick(TObject* Sender);
  void btnAgrupadoClick(TObject* Sender);
  void crearTablaInfExogena();
  void fillTableInfExogena();
};

extern TfrmExogena* frmExogena;
