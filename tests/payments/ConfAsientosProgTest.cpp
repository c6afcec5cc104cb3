// Editor de plantillas de asientos programados.
#include <memory>

#include "payments/FrmConfAsientosProg.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "support/Instalacion.h"

namespace admin {
namespace {

class ConfAsientosProg : public Instalacion {
 protected:
  TfrmConfAsientosProg& F(TForm& f) { return static_cast<TfrmConfAsientosProg&>(f); }
  void Abrir() {
    std::unique_ptr<TfrmConfAsientosProg> f(new TfrmConfAsientosProg(nullptr));
    frmConfAsientosProg = f.get();
    f->ShowModal();
  }
  void Escoger(const char* texto) { ui->onModal("TFrmBuscTabla").type("EdBusqueda", texto).click("&Aceptar"); }
  static void Naturaleza(const char* n) {
    DM->tblAsientosProg->Edit();
    DM->tblAsientosProg->FieldByName("naturaleza")->AsString = n;
    DM->tblAsientosProg->Post();
  }
};

TEST_F(ConfAsientosProg, PlantillasNumeradasConSusCuentas) {
  Escoger("CE");
  Escoger("110501");
  Escoger("2");  // primera cuenta que empieza por 2
  Escoger("IN");
  ui->onModal("TfrmConfAsientosProg")
      .click("btnAgregarComp")
      .run([this](TForm& f) {
        EXPECT_EQ(F(f).iAstoProg, 1);
        EXPECT_EQ(F(f).descDocu, "CE");
        EXPECT_EQ(DM->tblAsientosProg->RecordCount, 0);
      })
      .click("btnAddCta")
      .run([this](TForm& f) {
        Naturaleza("d");
        EXPECT_NE(F(f).Label2->Caption.str(), std::string("Cuenta inexistente."));
      })
      .click("btnAddCta")
      .run([](TForm&) { Naturaleza("C"); })
      .click("btnAgregarComp")
      .run([this](TForm& f) {
        EXPECT_EQ(F(f).iAstoProg, 2);
        EXPECT_EQ(F(f).filtro, "iAstoProg='2'");
        EXPECT_EQ(DM->tblAsientosProg->RecordCount, 0);
      })
      .click("btnGrabar");
  Abrir();
  EXPECT_EQ(Valor(libros, "select group_concat(iAstoProg || descDocu, ',') from asientosProgCfg"), "1CE,2IN");
  EXPECT_EQ(Valor(libros, "select group_concat(numeCuen || naturaleza, ',') from asientosProg where iAstoProg=1"),
            "110501D,2C");
  EXPECT_FALSE(DM->tblAsientosProg->Filtered);
  EXPECT_EQ(ui->unused(), "");
}

// Con la lista de tipos de documento o el plan vacíos no se agrega plantilla ni línea.
TEST_F(ConfAsientosProg, ListasVaciasNoAgreganNada) {
  Ejecutar(libros, "DELETE FROM DG");
  Ejecutar(libros, "DELETE FROM PL");
  Ejecutar(libros, "INSERT INTO asientosProgCfg (iAstoProg, descDocu) VALUES (1, 'CE')");
  for (TTable* t : {DM->TblDocumentos, DM->TblPlan, DM->tblAsientosProgCfg}) t->Refresh();
  ui->onModal("TFrmBuscTabla").click("&Aceptar");
  ui->onModal("TFrmBuscTabla").click("&Aceptar");
  ui->onModal("TfrmConfAsientosProg").click("btnAgregarComp").click("btnAddCta").click("btnGrabar");
  Abrir();
  EXPECT_EQ(Valor(libros, "select group_concat(iAstoProg || ':' || coalesce(descDocu, ''), ',') from asientosProgCfg"),
            "1:CE");
  EXPECT_EQ(Valor(libros, "select count(*) from asientosProg"), "0");
}

TEST_F(ConfAsientosProg, ValidacionAlCerrar) {
  Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, descDocu, requiereTercero) values (1, 'CE', 'x')");
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '110505', 'x'), "
                   "(1, '250505', 'C')");
  DM->tblAsientosProgCfg->Refresh();
  DM->tblAsientosProgCfg->First();
  ui->onModal("TfrmConfAsientosProg")
      .click("btnGrabar")
      .run([](TForm& f) { EXPECT_TRUE(f.Showing()); })
      .close()
      .run([](TForm& f) {
        EXPECT_TRUE(f.Showing());
        DM->tblAsientosProgCfg->Edit();
        DM->tblAsientosProgCfg->FieldByName("requiereTercero")->AsString = "s";
        DM->tblAsientosProgCfg->Post();
        DM->tblAsientosProg->First();
        Naturaleza("d");
      })
      .click("BitBtn1");
  Abrir();
  std::string esperado =
      "En requiere tercero debe colocar S o N o dejarlo vacio\nEn la 110505 debe especificar D o C  (débito o "
      "crédito)\n";
  auto msgs = ui->takeMessages();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].Text, esperado);
  EXPECT_EQ(msgs[1].Text, esperado);
  EXPECT_EQ(Valor(libros, "select requiereTercero || naturaleza from asientosProgCfg, asientosProg where numeCuen='110505'"),
            "sD");
}

TEST_F(ConfAsientosProg, BorrarPlantillaLimpiaLineasSinCuentaYPlantillasSinTipo) {
  Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, descDocu) values (1, 'CE'), (2, 'IN'), (3, NULL)");
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (1, '110505', 'D'), "
                   "(2, NULL, 'D'), (2, '250505', 'C')");
  DM->tblAsientosProgCfg->Refresh();
  DM->tblAsientosProgCfg->First();
  ui->onModal("TfrmConfAsientosProg").click("btnBorrar").click("BitBtn1");
  Abrir();
  EXPECT_EQ(Valor(libros, "select group_concat(iAstoProg, ',') from asientosProgCfg"), "2");
  EXPECT_EQ(Valor(libros, "select group_concat(iAstoProg || numeCuen, ',') from asientosProg"), "2250505");
}

TEST_F(ConfAsientosProg, RubroCanceladoQuedaVacioYTeclasDeLaRejilla) {
  Ejecutar(libros, "insert into asientosProgCfg (iAstoProg, descDocu) values (1, 'IN')");
  Ejecutar(libros, "insert into asientosProg (iAstoProg, numeCuen, naturaleza, rubro) values (1, '110505', 'D', '1')");
  DM->tblAsientosProgCfg->Refresh();
  DM->tblAsientosProgCfg->First();
  ui->onModal("TFrmBuscTabla").click("&Salir");
  ui->onModal("TfrmConfAsientosProg")
      .run([this](TForm& f) {
        F(f).DBGrid1EditButtonClick(nullptr);
        Word k = VK_DOWN;
        F(f).GridKeyDown(F(f).DBGrid1, k, {});
        EXPECT_EQ(k, 0);  // última fila: no se agrega una en blanco
        k = VK_DELETE;
        F(f).GridKeyDown(F(f).DBGrid2, k, TShiftState{ssCtrl});
        EXPECT_EQ(k, 0);
      })
      .click("BitBtn1");
  Abrir();
  EXPECT_EQ(Valor(libros, "select rubro from asientosProg"), "<null>");
  EXPECT_EQ(Valor(libros, "select count(*) from asientosProg"), "1");
}

}  // namespace
}  // namespace admin
