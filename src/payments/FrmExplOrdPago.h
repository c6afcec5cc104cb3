#pragma once
// Explorador de órdenes de pago: la lista, el asiento de la orden elegida y los comprobantes
// que la cancelan; borrar, correr la numeración, imprimir y listar.
#include <cstdint>
#include <map>

#include "platform/forms/Forms.h"

class TLabel;
class TBitBtn;
class TDBGrid;
class TQuery;
class TDataSource;
class TField;
class TPanel;
class TfrmAudPpto;

class TfrmExplOrdPago : public TForm {
 public:
  explicit TfrmExplOrdPago(TComponent* Owner);
  ~TfrmExplOrdPago() override;
  AnsiString ClassName() const override { return "TfrmExplOrdPago"; }

  TPanel* Panel1;
  TPanel* Panel2;
  TBitBtn* btnBorrarSencillo;
  TBitBtn* btnImprimir;
  TBitBtn* btnConsMas;
  TBitBtn* btnConsMenos;
  TBitBtn* btnImprimirListado;
  TBitBtn* btnSalir;
  TLabel* Label1;
  TDBGrid* DBGrid1;
  TLabel* Label3;
  TDBGrid* dbgMvtMaestro;
  TLabel* Label2;
  TDBGrid* dbgMvt;
  TLabel* Label4;
  TDBGrid* dbgCompEgreso;
  TLabel* Label5;
  TDBGrid* dbgMvtCP;
  TQuery* QueryOrdPago;
  TQuery* QueryMvtMaestro;
  TQuery* QueryMvt;
  TQuery* QueryCompEgreso;
  TQuery* QueryMvtCP;
  TQuery* Query2;
  TQuery* queryGral;
  TDataSource* dsOrdPago;
  TDataSource* dsMvtMaestro;
  TDataSource* dsMvt;
  TDataSource* dsCompEgreso;
  TDataSource* dsMvtCP;

  bool filtrado = false;
  TfrmAudPpto* audPpto = nullptr;  // auditoría automática tras borrar
  AnsiString DESCDOCU;

  void setIrp(std::int64_t aIrp);
  void dsOrdPagoDataChange(TObject* Sender, TField* Field);
  void btnBorrarSencilloClick(TObject* Sender);
  void btnImprimirClick(TObject* Sender);
  void btnConsMasClick(TObject* Sender);
  void btnConsMenosClick(TObject* Sender);
  void btnImprimirListadoClick(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  std::int64_t irp_ = 0;
  std::map<std::int64_t, long long> versiones_;  // de las órdenes, leídas antes que la lista
  void Correr(std::int64_t desde, int paso);
};

extern TfrmExplOrdPago* frmExplOrdPago;
