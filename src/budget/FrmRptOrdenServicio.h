#pragma once
// Impresos de las órdenes de servicio: la orden de la fila actual y el listado del
// explorador.
#include "platform/forms/Forms.h"

class TDataSource;
class TQuickRep;
class TQRMemo;
class TQRLabel;

class TfrmRptOrdenServicio : public TForm {
 public:
  explicit TfrmRptOrdenServicio(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmRptOrdenServicio"; }
  TDataSource* DataSource1;  // la fila a imprimir la pone quien llama
  TQuickRep* QuickReport1;
};

class TfrmListOrdServ : public TForm {
 public:
  explicit TfrmListOrdServ(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmListOrdServ"; }
  TDataSource* DataSource1;  // el resultado del explorador
  TQuickRep* QuickRep1;
  TQRMemo* QRMemo1;
  TQRLabel* lblNombre;
};

// Alto de la descripción en el listado: 17 con menos de 38 caracteres; si no, 17 por cada 38.
int AltoDescripcionOrden(const AnsiString& aTexto);

extern TfrmRptOrdenServicio* frmRptOrdenServicio;
extern TfrmListOrdServ* frmListOrdServ;
