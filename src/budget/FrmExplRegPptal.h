#pragma once
// Explorador de registros presupuestales: todos o los de un certificado, con sus órdenes
// de pago, de suministro y de servicio; borra, renumera, imprime y lista.
#include <cstdint>
#include <map>
#include <string>

#include "platform/forms/Forms.h"

class TLabel;
class TPanel;
class TBitBtn;
class TDBGrid;
class TDataSource;
class TField;
class TQuery;
class TfrmAudPpto;

class TfrmExplRegPptal : public TForm {
 public:
  explicit TfrmExplRegPptal(TComponent* Owner);
  ~TfrmExplRegPptal() override;
  AnsiString ClassName() const override { return "TfrmExplRegPptal"; }

  TDBGrid* DBGrid1;
  TPanel* Panel1;
  TLabel* Label1;
  TDBGrid* dbgOrdenPago;
  TLabel* Label5;
  TDBGrid* dbgOrdenSuministro;
  TLabel* Label6;
  TDBGrid* dbgOrdenServicio;
  TPanel* Panel2;
  TBitBtn* btnImprimir;
  TBitBtn* btnBorrarSencillo;
  TBitBtn* btnBorrar;
  TBitBtn* btnConsMas;
  TBitBtn* btnConsMenos;
  TBitBtn* btnImprimirListado;
  TBitBtn* BitBtn2;
  TQuery* Query1;
  TQuery* Query2;
  TQuery* QueryOrdenPago;
  TQuery* QueryOrdenSuministro;
  TQuery* QueryOrdenServicio;
  TQuery* queryGral;
  TDataSource* DataSource1;
  TDataSource* dsOrdenPago;
  TDataSource* dsOrdenSuministro;
  TDataSource* dsOrdenServicio;
  TfrmAudPpto* audPpto;

  bool filtrado = false;
  std::int64_t icd = 0;

  void setIcd(std::int64_t aIcd);

  void DataSource1DataChange(TObject* Sender, TField* Field);
  void btnBorrarClick(TObject* Sender);
  void btnBorrarSencilloClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnConsMasClick(TObject* Sender);
  void btnConsMenosClick(TObject* Sender);
  void btnImprimirListadoClick(TObject* Sender);
  void BitBtn2Click(TObject* Sender);

 private:
  std::int64_t Seleccionado() const;
  // Versiones de registros y de órdenes de pago, leídas antes que las listas.
  std::map<std::string, long long> versiones_;
  std::map<std::int64_t, long long> versionesPagos_;
};

extern TfrmExplRegPptal* frmExplRegPptal;
