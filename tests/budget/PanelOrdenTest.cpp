// Panel de órdenes del registro presupuestal: "Nueva" y "Modificar" con la orden de
// servicio; número y fecha vuelven al registro solo después de grabar.
#include <gtest/gtest.h>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmRegPptal.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

using presupuesto::Presupuesto;

namespace {

class PanelOrden : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Papelería Sur')");
    Sql("INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES "
        "(4, '2026-02-20', '900', 'Fotocopias', 3, 100)");
    Registro(3, 1, "2026-02-20", 1000);
    for (TTable* t : {DM->tblMvtRegPptal, DM->tblMvtCertDisp, DM->TblTerceros, DM->tblMvtOrdenServicio,
                      DM->tblMvtOrdenSumiMaestro})
      t->Refresh();
    f = new TfrmRegPptal(nullptr);
    frmRegPptal = f;
    f->Show();
    // El registro 3 se trae de los libros: las órdenes nuevas pertenecen a un registro grabado.
    F().set("edIregPptal", "3").focus("edFechaExp");
    ui->takeMessages();
    f->edIorden->Text = "";
    f->Label15->Caption = "antes";
  }
  void TearDown() override {
    f->Hide();
    delete f;
    frmRegPptal = nullptr;
    Presupuesto::TearDown();
  }
  tv::forms::Script F() { return ui->now(f); }
  TfrmRegPptal* f = nullptr;
};

TEST_F(PanelOrden, NuevaTomaNumeroYFechaSoloTrasGrabar) {
  // "Salir" no devuelve nada.
  ui->onModal("TfrmOrdenServicios")
      .run([](TForm& o) {
        auto& os = static_cast<TfrmOrdenServicios&>(o);
        EXPECT_TRUE(os.getNuevo());
        EXPECT_EQ(os.edIregPptal->Text, "3");
      })
      .set("edIordenServicio", "7")
      .set("edFecha", "01/03/2026")
      .click("&Salir");
  F().click("Nueva");
  EXPECT_EQ(f->edIorden->Text, "");
  EXPECT_EQ(f->Label15->Caption, "antes");
  // Un "Grabar" rechazado deja la orden abierta; luego se completa y se graba.
  ui->answer("Digite el tercero.", IDOK);
  ui->onModal("TfrmOrdenServicios")
      .set("edIordenServicio", "7")
      .set("edFecha", "01/03/2026")
      .set("edValor", "50")
      .set("Memo1", "Transporte")
      .click("&Grabar")
      .set("edItercero", "900")
      .click("&Grabar");
  F().click("Nueva");
  EXPECT_EQ(f->edIorden->Text, "7");
  EXPECT_EQ(f->Label15->Caption, "01/03/2026");
  EXPECT_EQ(Leer("SELECT irp || ',' || itercero FROM mvtOrdenServicio WHERE iOrdenServicio=7"), "3,900");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(PanelOrden, ModificarRevisaElNumeroYCargaLaOrden) {
  struct Caso {
    const char *orden, *mensaje;
  } casos[] = {{"", "Especifique cual orden desea modificar."},
               {"12a", "Las órdenes de servicio o suministro deben ser numéricas."},
               {"9", "Esta orden de servicio aún no ha sido creada."}};
  for (auto c : casos) {
    F().set("edIorden", c.orden).click("Modificar");
    EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.orden;
  }
  f->edIregPptal->Text = "";
  F().set("edIorden", "4").click("Modificar");
  EXPECT_EQ(ui->lastMessage(), "Llame primero el número del registro presupuestal al cual pertenece la orden.");
  f->edIregPptal->Text = "3";
  ui->onModal("TfrmOrdenServicios")
      .run([](TForm& o) {
        auto& os = static_cast<TfrmOrdenServicios&>(o);
        EXPECT_FALSE(os.getNuevo());
        EXPECT_EQ(os.edItercero->Text, "900");
        EXPECT_EQ(os.edValor->Text, "100");
      })
      .set("edValor", "120")
      .click("&Grabar");
  F().click("Modificar");
  EXPECT_EQ(f->edIorden->Text, "4");
  EXPECT_EQ(f->Label15->Caption, "antes");
  EXPECT_EQ(Leer("SELECT valor FROM mvtOrdenServicio WHERE iOrdenServicio=4"), "120");
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace

namespace {

TEST_F(PanelOrden, SuministroNuevaYModificar) {
  Sql("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
      "VALUES (5, '2026-03-01', '900', 'Utiles', 0, 0, 3)");
  DM->tblMvtOrdenSumiMaestro->Refresh();
  F().pick("rgTipo", 1);
  ui->onModal("TfrmOrdenSuministro")
      .set("edIordenSuministro", "6")
      .set("edFecha", "02/03/2026")
      .set("edItercero", "900")
      .set("edDetalle", "Papel")
      .run([](TForm& o) {
        // Una orden de suministro lleva al menos un renglón.
        TTable* t = static_cast<TfrmOrdenSuministro&>(o).tblTemp;
        t->Append();
        t->FieldByName("iArticulo")->AsString = "P01";
        t->FieldByName("cantidad")->AsFloat = 2;
        t->FieldByName("valorUnit")->AsFloat = 10;
        t->Post();
      })
      .click("&Grabar");
  F().click("Nueva");
  EXPECT_EQ(f->edIorden->Text, "6");
  EXPECT_EQ(f->Label15->Caption, "02/03/2026");
  EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenSumiMaestro WHERE iOrdenSuministro=6"), "3");
  F().set("edIorden", "9").click("Modificar");
  EXPECT_EQ(ui->lastMessage(), "Esta orden de suministro aún no ha sido creada.");
  ui->onModal("TfrmOrdenSuministro")
      .run([](TForm& o) { EXPECT_EQ(static_cast<TEdit*>(o.FindComponent("edDetalle"))->Text, "Utiles"); })
      .click("&Salir");
  F().set("edIorden", "5").click("Modificar");
  EXPECT_EQ(f->edIorden->Text, "5");
  EXPECT_EQ(ui->unused(), "") << ui->messageTexts().c_str();
}

}  // namespace

namespace {

// "Nueva" sobre un número de registro que aún no está grabado no abre la orden: la orden
// quedaría colgada de un número que otro podría grabar después.
TEST_F(PanelOrden, NuevaSoloParaUnRegistroGrabado) {
  F().set("edIregPptal", "30").focus("edFechaExp");
  ASSERT_TRUE(f->nuevo);
  for (int tipo : {0, 1}) {
    ui->takeMessages();
    F().pick("rgTipo", tipo).click("Nueva");
    EXPECT_EQ(ui->messageTexts(), "Grabe primero el registro presupuestal al cual pertenece la orden.\n") << tipo;
  }
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenServicio WHERE irp=30"), "0");
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
