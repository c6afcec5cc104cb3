// Orden de suministro: renglones con subtotales y total, renglones sin cantidad fuera,
// modificación que reemplaza los renglones, renumeración que los mueve, validación con el
// formulario abierto y la tabla de trabajo borrada al cerrar.
#include <gtest/gtest.h>

#include <memory>

#include "app/DataModule.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;

namespace {

class OrdenSuministro : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Papelería Sur')");
    Sql("INSERT INTO articulos (iArticulo, nArticulo) VALUES ('P01', 'Papel'), ('T02', 'Tinta')");
    Sql("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
        "VALUES (5, '2026-03-01', '800', 'Utiles', 2, 50, 7)");
    Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
        "(5, 'P01', 2, 10), (5, 'T02', 1, 30)");
    for (TTable* t : {DM->tblMvtOrdenSumiMaestro, DM->tblMvtOrdenSuministro, DM->tblArticulos, DM->TblTerceros})
      t->Refresh();
    f = std::make_unique<TfrmOrdenSuministro>(nullptr);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    Presupuesto::TearDown();
  }
  void Numero(const char* n) {
    ui->now(f.get()).focus("edIordenSuministro").set("edIordenSuministro", n).focus("edFecha");
  }
  void Renglon(const char* art, double cant, double vu) {
    TTable* t = f->tblTemp;
    t->Append();
    t->FieldByName("iArticulo")->AsString = art;
    t->FieldByName("cantidad")->AsFloat = cant;
    t->FieldByName("valorUnit")->AsFloat = vu;
    t->Post();
  }
  std::string Renglones() {
    return Leer("SELECT group_concat(x, ';') FROM (SELECT iOrdenSuministro || ',' || iArticulo || ',' || cantidad || "
                "',' || valorUnit AS x FROM mvtOrdenSuministro ORDER BY 1)");
  }
  std::string Encabezados() {
    return Leer("SELECT group_concat(x, ';') FROM (SELECT iOrdenSuministro || ',' || qItems || ',' || valorTotal || "
                "',' || irp AS x FROM mvtOrdenSumiMaestro ORDER BY 1)");
  }
  std::unique_ptr<TfrmOrdenSuministro> f;
};

TEST_F(OrdenSuministro, NuevaConRenglonesSubtotalesYTotal) {
  f->regPptal = 9;
  ui->now(f.get()).set("edIordenSuministro", "6").set("edFecha", "02/03/2026").set("edItercero", "800")
      .set("edDetalle", "Aseo");
  Renglon("P01", 3, 10);
  Renglon("T02", 0, 99);  // sin cantidad: no se guarda
  Renglon("X99", 2, 20);
  EXPECT_EQ(f->lblNarticulo->Caption, "Inexistente");
  EXPECT_EQ(f->lblTotal->Caption, prueba::Mostrado("70.00"));
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Orden de suministro grabada.");
  EXPECT_TRUE(f->grabado);
  EXPECT_EQ(Encabezados(), "5,2,50,7;6,2,70,9");
  EXPECT_EQ(Renglones(), "5,P01,2,10;5,T02,1,30;6,P01,3,10;6,X99,2,20");
}

TEST_F(OrdenSuministro, ModificarReemplazaYRenumerarMueveLosRenglones) {
  f->regPptal = 7;
  Numero("5");
  EXPECT_FALSE(f->getNuevo());
  EXPECT_EQ(f->lblNtercero->Caption, "Papelería Sur");
  EXPECT_EQ(f->tblTemp->RecordCount(), 2);
  EXPECT_EQ(f->lblTotal->Caption, prueba::Mostrado("50.00"));
  f->tblTemp->First();
  f->tblTemp->Delete();
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(Renglones(), "5,T02,1,30");
  EXPECT_EQ(Encabezados(), "5,1,30,7");
  // Con otro número libre la orden se mueve con sus renglones.
  ui->now(f.get()).set("edIordenSuministro", "8").click("btnGrabar");
  EXPECT_EQ(Renglones(), "8,T02,1,30");
  EXPECT_EQ(Encabezados(), "8,1,30,7");
}

TEST_F(OrdenSuministro, RechazoDejaElFormularioAbiertoYNoEscribe) {
  ui->now(f.get()).click("btnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Digite el número de la orden de suministro.");
  ui->now(f.get()).set("edIordenSuministro", "9").set("edItercero", "999");
  Renglon("P01", 1, 1);
  ui->now(f.get()).click("btnGrabar");
  ASSERT_EQ(ui->messages().size(), 2u);
  EXPECT_EQ(ui->messages()[1].Caption, "Error");
  for (const char* m : {"Digite la fecha.", "Cédula o NIT inexistente.", "Digite una descripción en el detalle."})
    EXPECT_NE(ui->lastMessage().Pos(m), 0) << m;
  EXPECT_FALSE(f->grabado);
  EXPECT_EQ(f->ModalResult, mrNone);
  EXPECT_EQ(Encabezados(), "5,2,50,7");
}

TEST_F(OrdenSuministro, LaTablaDeTrabajoSeBorraAlCerrar) {
  AnsiString nombre = f->tmpName;
  EXPECT_TRUE(tv::db::TableExists("Contabilidad", nombre));
  EXPECT_NE(nombre.Pos("tmpOrdSum"), 0);
  f.reset();
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", nombre));
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro"), "2");
}

}  // namespace
