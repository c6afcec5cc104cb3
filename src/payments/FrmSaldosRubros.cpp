#include "payments/FrmSaldosRubros.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/Sesion.h"
#include "budget/CalculosPptal.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/os/Launch.h"
#include "reports/ConsultasComun.h"
#include "shared/general/Exportar.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

TfrmSaldosRubros* frmSaldosRubros = nullptr;

namespace {
const char* const kAlias = "Contabilidad";
}  // namespace

TfrmSaldosRubros::TfrmSaldosRubros(TComponent* Owner) : TForm(Owner) {
  Name = "frmSaldosRubros";
  Caption = "Saldo rubros";
  Position = poScreenCenter;
  Width = 720;
  Height = 480;

  DBGrid2 = Make<TDBGrid>(this, "DBGrid2");
  DBGrid2->Align = alClient;
  DBGrid2->ReadOnly = true;
  PnlBotones = Make<TPanel>(this, "PnlBotones");
  PnlBotones->Align = alBottom;
  PnlBotones->BevelOuter = bvNone;
  PnlBotones->Height = 40;
  BtnAceptar = Make<TBitBtn>(PnlBotones, "BtnAceptar");
  BtnAceptar->Caption = "&Exportar";
  BtnAceptar->Default = true;
  BtnAceptar->SetBounds(8, 6, 100, 28);
  BtnCancelar = Make<TBitBtn>(PnlBotones, "BtnCancelar");
  BtnCancelar->Kind = bkCancel;
  BtnCancelar->Caption = "&Cancelar";
  BtnCancelar->SetBounds(116, 6, 100, 28);
  DataSource1 = Make<TDataSource>(this, "DataSource1");
  tblSaldoRubros = Make<TTable>(this, "tblSaldoRubros");
  Query1 = Make<TQuery>(this, "Query1");
  SaveDialog1 = Make<TSaveDialog>(this, "SaveDialog1");
  DBGrid2->DataSource = DataSource1;
  // Anchos propios: los de los campos (hasta 129 letras) dejarían "Disponible" fuera de la ventana.
  for (auto [campo, ancho] : {std::pair{"icuenta", 100}, {"ncuenta", 250}, {"fuente", 150}, {"disponible", 120}}) {
    TColumn* c = DBGrid2->Columns->Add();
    c->FieldName = campo;
    c->Width = ancho;
  }
  // El saldo se ve como todo monto: dos decimales, separadores del usuario, a la derecha.
  DBGrid2->Columns->Items[3]->Alignment = taRightJustify;
  DBGrid2->OnDrawColumnCell = [this](TObject*, const TRect& r, int dc, TColumn* c, TGridDrawState) {
    if (dc == 3 && c && c->Field()) DibujarMonto(DBGrid2, r, Punto(c->Field()->AsFloat, 2));
  };

  BtnAceptar->OnClick = [this](TObject* s) { BtnAceptarClick(s); };

  construir();
}

void TfrmSaldosRubros::construir() {
  HagaSQL(kAlias, Query1, "select * from plppto where tipocuenta='E'");
  struct Fila {
    AnsiString tipo, icuenta, ncuenta, fuente;
    double disponible;
  };
  std::vector<Fila> filas;
  for (Query1->First(); !Query1->Eof; Query1->Next()) {
    AnsiString tipo = Query1->FieldByName("tipoCuenta")->AsString, icuenta = Query1->FieldByName("iCuenta")->AsString;
    filas.push_back({tipo, icuenta, Query1->FieldByName("nCuenta")->AsString, Query1->FieldByName("fuente")->AsString,
                     getDisponibilidadRubro(icuenta, tipo, nullptr)});
  }
  // Un rubro padre no recibe movimientos: su saldo es la suma de los rubros hoja que cuelgan de él.
  auto cuelga = [](const AnsiString& hijo, const AnsiString& padre) {
    return hijo.Length() > padre.Length() && hijo.str().compare(0, padre.str().size(), padre.str()) == 0;
  };
  std::vector<bool> hoja(filas.size(), true);
  for (size_t p = 0; p < filas.size(); ++p)
    for (size_t h = 0; h < filas.size() && hoja[p]; ++h)
      if (cuelga(filas[h].icuenta, filas[p].icuenta)) hoja[p] = false;
  for (size_t p = 0; p < filas.size(); ++p) {
    if (hoja[p]) continue;
    for (size_t h = 0; h < filas.size(); ++h)
      if (hoja[h] && cuelga(filas[h].icuenta, filas[p].icuenta)) filas[p].disponible += filas[h].disponible;
  }
  // La tabla se rehace entera en cada apertura (también una vieja con el código de 12 caracteres,
  // que cortaría códigos largos): o queda completa o queda la anterior.
  {
    tv::db::Transaction tr(kAlias);
    if (tv::db::TableExists(kAlias, "saldoRubros")) HagaSQL(kAlias, Query1, "drop table saldoRubros");
    HagaSQL(kAlias, Query1,
            "create table saldoRubros (tipoCuenta char(1),icuenta char(18), ncuenta char(124),fuente char(129), "
            "disponible float)");
    tblSaldoRubros->DatabaseName = PathCont;
    tblSaldoRubros->TableName = "saldoRubros.db";
    tblSaldoRubros->Open();
    for (const auto& f : filas) {
      tblSaldoRubros->Append();
      tblSaldoRubros->FieldByName("tipocuenta")->AsString = f.tipo;
      tblSaldoRubros->FieldByName("icuenta")->AsString = f.icuenta;
      tblSaldoRubros->FieldByName("ncuenta")->AsString = f.ncuenta;
      tblSaldoRubros->FieldByName("fuente")->AsString = f.fuente;
      tblSaldoRubros->FieldByName("disponible")->AsFloat = f.disponible;
      tblSaldoRubros->Post();
    }
    tr.Commit();
  }
  // La columna del saldo cabe su cifra más ancha.
  TColumn* saldo = DBGrid2->Columns->Items[3];
  DBGrid2->Canvas->Font->Assign(saldo->Font.get());
  for (const auto& f : filas) saldo->Width = std::max(saldo->Width, DBGrid2->Canvas->TextWidth(Punto(f.disponible, 2)) + 8);
  DataSource1->DataSet = tblSaldoRubros;
  tblSaldoRubros->First();
}

void TfrmSaldosRubros::BtnAceptarClick(TObject*) {
  SaveDialog1->FileName = "saldosRubros.csv";
  SaveDialog1->Filter = "CSV archivos (delimitado por coma)|*.csv";
  SaveDialog1->DefaultExt = "*.csv";
  SaveDialog1->Title = "Grabar archivo en formato CSV";
  if (!SaveDialog1->Execute()) return;
  DBToCSV(tblSaldoRubros, SaveDialog1->FileName);
  tv::os::OpenDocument(SaveDialog1->FileName);
  tblSaldoRubros->First();
}
