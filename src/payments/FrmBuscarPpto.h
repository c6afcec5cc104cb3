#pragma once
// Búsqueda en la información presupuestal: certificados, registros, órdenes de servicio o de
// suministro cuyos campos coinciden con un texto libre (fecha, número o texto).
#include <sstream>

#include "platform/forms/Forms.h"

class TLabel;
class TEdit;
class TRadioGroup;
class TBitBtn;
class TDBGrid;
class TDBMemo;
class TQuery;
class TDataSource;
class TPanel;

class TfrmBuscarPpto : public TForm {
 public:
  explicit TfrmBuscarPpto(TComponent* Owner);
  AnsiString ClassName() const override { return "TfrmBuscarPpto"; }

  TPanel* PnlArriba;
  TLabel* Label1;
  TEdit* edTexto;
  TRadioGroup* RG;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;
  TDBGrid* DBGrid1;
  TDBMemo* DBMemo1;
  TQuery* Query1;
  TDataSource* DataSource1;
  std::ostringstream os;

  void BitBtn1Click(TObject* Sender);
  void buidSQLCertDisp();
  void buidSQLRegPptal();
  void buidSQLOrdServ();
  void buidSQLOrdSum();

 private:
  // Piezas comunes: fecha y número que el texto puede ser, y el texto para LIKE.
  bool esFecha_ = false, esNumero_ = false;
  std::string fecha_, numero_, patron_, patronMayus_;
  void clasificar();
};

extern TfrmBuscarPpto* frmBuscarPpto;
