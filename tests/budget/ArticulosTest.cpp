// Artículos editados en la rejilla y renglones de una orden de suministro.
#include <gtest/gtest.h>

#include <memory>

#include "app/DataModule.h"
#include "budget/FrmArticulos.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBCtrls.h"
#include "platform/forms/DBGrids.h"

using presupuesto::Presupuesto;

namespace {

using Articulos = Presupuesto;

TEST_F(Articulos, LaRejillaAgregaYEditaArticulos) {
  Sql("INSERT INTO articulos (iArticulo, nArticulo) VALUES ('P01', 'Papel carta')");
  DM->tblArticulos->Refresh();
  auto f = std::make_unique<TfrmArticulos>(nullptr);
  f->Show();
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 1);
  f->DBNavigator1->BtnClick(nbInsert);
  ui->now(f.get()).editCell("DBGrid1", 0, 0, "T02").editCell("DBGrid1", 1, 0, "Tinta negra");
  f->DBNavigator1->BtnClick(nbPost);
  EXPECT_EQ(Leer("SELECT group_concat(iArticulo || ':' || nArticulo, ',') FROM (SELECT * FROM articulos ORDER BY 1)"),
            "P01:Papel carta,T02:Tinta negra");
}

TEST_F(Articulos, RenglonesDeUnaOrdenODeTodas) {
  Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
      "(1, 'P01', 2, 10), (1, 'T02', 1, 5), (2, 'P01', 4, 10)");
  struct Caso {
    int orden, filas;
  } casos[] = {{1, 2}, {2, 1}, {0, 3}, {9, 0}};
  for (auto c : casos) {
    auto f = std::make_unique<TfrmOrdenSumDlle>(nullptr);
    f->iOrdenSuministro = c.orden;
    f->FormActivate(f.get());
    EXPECT_EQ(f->DBGrid1->DisplayRowCount(), c.filas) << c.orden;
  }
}

}  // namespace
