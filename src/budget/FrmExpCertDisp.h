#pragma once
// Explorador de certificados de disponibilidad: lista todos, muestra del seleccionado lo
// que falta por comprometer, su PAC y sus registros; borra, renumera, imprime y lista.
#include "platform/forms/Forms.h"

class TLabel;
class TPanel;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TField;
class TQuery;
class TfrmAudPpto;

class TfrmExpCertDisp : public TForm {
 public:
  explicit TfrmExpCertDisp(TComponent* Owner);
  ~TfrmExpCertDisp() override;
  AnsiString ClassName() const override { return "TfrmExpCertDisp"; }

  TDBGrid* DBGrid1;
  TPanel* Panel1;
  TLabel* Label1;
  TLabel* lblPagoPendiente;
  TLabel* Label2;
  TDBGrid* DBGrid4;
  TLabel* Label4;
  TDBGrid* DBGrid2;
  TPanel* Panel2;
  TBitBtn* btnImprimir;
  TBitBtn* btnBorrar;
  TBitBtn* btnConsMas;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;
  TBitBtn* btnSalir;
  TDataSource* DataSource1;
  TDataSource* DSRegPptal;
  TDataSource* DSPAC;
  TQuery* QueryRegPptal;
  TQuery* QueryPAC;
  TQuery* queryGral;
  TfrmAudPpto* audPpto;

  void DataSource1DataChange(TObject* Sender, TField* Field);
  void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void btnBorrarClick(TObject* Sender);
  void btnConsMasClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  // La versión del certificado elegido, leída al mostrarse su fila.
  long long version_ = 0;
};

extern TfrmExpCertDisp* frmExpCertDisp;
