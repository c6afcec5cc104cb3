#include <filesystem>

#include "Maestros.h"
#include "app/DataModule.h"
#include "ledger/FrmModifCuenta.h"
#include "ledger/FrmNuevaCuenta.h"
#include "ledger/FrmPlan.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

using maestros::Linea;

namespace {

// Filas del plan corto en la rejilla (orden por código).
constexpr int k110505 = 3;
constexpr int k1105 = 2;
constexpr int k1110 = 5;
constexpr int k4105 = 9;

class PlanTest : public maestros::Maestros {
 protected:
  void AbrirPlan() {
    auto* f = new TFrmPlan(nullptr);
    f->ShowModal();
    delete f;
  }
  std::string Cuenta(const std::string& c, const std::string& campo) {
    return Sql("SELECT " + campo + " FROM PL WHERE numecuen='" + c + "'");
  }
  std::string Actual() { return AnsiString(DM->TblPlan->FieldByName("numecuen")->AsString).str(); }
};

TEST_F(PlanTest, BanderasEnLaRejilla) {
  struct Caso {
    int col;
    const char* texto;
    const char* campo;
    const char* guardado;
    const char* mensaje;
  };
  const char* kTercero =
      "En requiere tercero:\nEscriba S: para hacerlo obligatorio, \nN: para obligarlo a vacio,\n"
      "Vacio: queda libre de digitar o no ";
  for (Caso c : {Caso{2, "s", "Cantidad", "S", ""},
                 Caso{2, "x", "Cantidad", "<null>", "En cantidad debe digitar S o N"},
                 // El campo es de un carácter: lo demás se corta al escribir.
                 Caso{2, "sN", "Cantidad", "S", ""},
                 Caso{4, "n", "centcost", "N", ""},
                 Caso{4, "1", "centcost", "<null>", "En centro de costo debe digitar S o N"},
                 Caso{5, "q", "exigterc", "<null>", kTercero},
                 Caso{8, "d", "naturaleza", "D", ""},
                 Caso{8, "X", "naturaleza", "<null>", ""}}) {
    ui->takeMessages();
    ui->onModal("TFrmPlan")
        .editCell("DBGrid1", c.col, k110505, c.texto)
        .row("DBGrid1", 0)
        .click("&Cerrar");
    AbrirPlan();
    EXPECT_EQ(Cuenta("110505", c.campo), c.guardado) << c.col << " " << c.texto;
    EXPECT_EQ(ui->messageTexts(), *c.mensaje ? AnsiString(c.mensaje) + "\n" : AnsiString())
        << c.col << " " << c.texto;
    EXPECT_EQ(ui->unused(), "");
  }
}

TEST_F(PlanTest, PistaSoloEnLaColumnaDelTercero) {
  bool enTercero = false, enOtra = true;
  ui->onModal("TFrmPlan")
      .cell("DBGrid1", 5, 0)
      .run([&](TForm& f) { enTercero = static_cast<TFrmPlan&>(f).DBGrid1->ShowHint; })
      .cell("DBGrid1", 1, 0)
      .run([&](TForm& f) { enOtra = static_cast<TFrmPlan&>(f).DBGrid1->ShowHint; })
      .click("&Cerrar");
  AbrirPlan();
  EXPECT_TRUE(enTercero);
  EXPECT_FALSE(enOtra);
  EXPECT_EQ(Application->HintHidePause, 10000);
}

TEST_F(PlanTest, BorrarRevisaElMovimientoDeLaCuentaYSusSubcuentas) {
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5});
  // Un guion bajo en el código no es comodín.
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('4_', 'Rara')");
  Agregar({.cuenta = "4x05", .fecha = "2026-01-10", .debito = 5});
  Refrescar();
  ui->onModal("TFrmPlan")
      .row("DBGrid1", k1105)
      .click("&Borrar")
      .row("DBGrid1", k1110)
      .click("&Borrar")
      .run([](TForm&) { DM->TblPlan->Locate("numecuen", Variant(AnsiString("4_"))); })
      .click("&Borrar")
      .click("&Cerrar");
  AbrirPlan();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "Existe movimiento contable relacionado con 1105 o alguna de sus subcuentas\n"
            "No se puede borrar sin antes borrar ese movimiento");
  EXPECT_EQ(ui->messages()[0].Caption, "Información");
  EXPECT_EQ(ui->messages()[0].Icon, MsgIcon::Warning);
  EXPECT_EQ(Cuenta("1105", "count(*)"), "1");
  EXPECT_EQ(Cuenta("1110", "count(*)"), "0");
  EXPECT_EQ(Cuenta("111005", "count(*)"), "1");  // la subcuenta queda
  EXPECT_EQ(Cuenta("4_", "count(*)"), "0");
}

// Ctrl+Supr en la rejilla no borra: el borrado pasa por "Borrar" y sus revisiones.
TEST_F(PlanTest, CtrlSuprDeLaRejillaNoBorraUnaCuentaConMovimiento) {
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5});
  Refrescar();
  ui->answer("Borrar", mrOk);
  ui->onModal("TFrmPlan").row("DBGrid1", k1105).key("DBGrid1", VK_DELETE, TShiftState{ssCtrl}).click("&Cerrar");
  AbrirPlan();
  EXPECT_EQ(Cuenta("1105", "count(*)"), "1");
  EXPECT_NE(ui->unused(), "");  // la rejilla no preguntó
}

TEST_F(PlanTest, CambioDeCodigoRechazos) {
  struct Caso {
    int fila;
    const char* nuevo;  // nullptr: sin editar
    const char* mensaje;
  };
  for (Caso c : {Caso{k1105, nullptr, "La cuenta que quiere recodificar no es una cuenta auxiliar"},
                 Caso{k4105, nullptr, "La cuenta que quiere recodificar no es una cuenta auxiliar"},
                 Caso{k110505, nullptr, ""},
                 Caso{k110505, "110510", "Ya existe una cuenta con ese código"},
                 Caso{k110505, "  ", "Debe digitar el código nuevo"}}) {
    ui->takeMessages();
    auto& s = ui->onModal("TFrmPlan").row("DBGrid1", c.fila).click("Cambiar código");
    if (c.nuevo) s.set("EdNuevCodi", c.nuevo);
    if (c.fila == k110505) s.click("&Confirmar");
    bool navegando = false;
    s.run([&](TForm& f) {
       auto& p = static_cast<TFrmPlan&>(f);
       navegando = p.BtnCambCodi->Visible && !p.BtnConfirmar->Visible && !p.EdNuevCodi->Visible;
     }).click("&Cerrar");
    AbrirPlan();
    EXPECT_TRUE(navegando) << c.fila;
    EXPECT_EQ(ui->messageTexts(), *c.mensaje ? AnsiString(c.mensaje) + "\n" : AnsiString()) << c.fila;
    if (*c.mensaje) {
      EXPECT_EQ(ui->messages()[0].Caption, "Error");
      EXPECT_EQ(ui->messages()[0].Icon, MsgIcon::Error);
    }
    EXPECT_EQ(Cuenta("110505", "count(*)"), "1");
  }
}

TEST_F(PlanTest, CambioDeCodigoMueveLasLineas) {
  Agregar({.cuenta = "110505", .fecha = "2026-01-10", .debito = 5});
  Agregar({.cuenta = "110505", .fecha = "2026-01-11", .credito = 5});
  Agregar({.cuenta = "1105051", .fecha = "2026-01-11", .credito = 5});
  ui->onModal("TFrmPlan")
      .row("DBGrid1", k110505)
      .click("Cambiar código")
      .set("EdNuevCodi", " 11050'9 ")
      .click("&Confirmar")
      .click("&Cerrar");
  AbrirPlan();
  EXPECT_EQ(ui->messageTexts(), "");
  EXPECT_EQ(Cuenta("110505", "count(*)"), "0");
  EXPECT_EQ(Sql("SELECT count(*) FROM PL WHERE numecuen='11050''9'"), "1");
  EXPECT_EQ(Sql("SELECT count(*) FROM MVT WHERE numecuen='11050''9'"), "2");
  EXPECT_EQ(Sql("SELECT count(*) FROM MVT WHERE numecuen='1105051'"), "1");
  EXPECT_EQ(Actual(), "11050'9");
}

TEST_F(PlanTest, RubroAsociadoSeFijaYSeQuita) {
  ASSERT_FALSE(DM->tblPlanPpto->IsEmpty());
  DM->tblPlanPpto->First();
  std::string rubro = AnsiString(DM->tblPlanPpto->FieldByName("icuenta")->AsString).str();
  std::string tipo = AnsiString(DM->tblPlanPpto->FieldByName("tipoCuenta")->AsString).str();
  auto boton = [](TForm& f) { static_cast<TFrmPlan&>(f).DBGrid1EditButtonClick(nullptr); };
  ui->onModal("TFrmPlan").row("DBGrid1", k110505).run(boton).click("&Cerrar");
  ui->onModal("TFrmBuscTabla").click("&Aceptar");
  AbrirPlan();
  EXPECT_EQ(Cuenta("110505", "rubro"), rubro);
  EXPECT_EQ(Cuenta("110505", "tipoRubro"), tipo);

  ui->onModal("TFrmPlan").row("DBGrid1", k110505).run(boton).click("&Cerrar");
  ui->onModal("TFrmBuscTabla").click("&Salir");
  AbrirPlan();
  EXPECT_EQ(Cuenta("110505", "rubro"), "<null>");
  EXPECT_EQ(Cuenta("110505", "tipoRubro"), "<null>");
}

TEST_F(PlanTest, BuscarDejaLaRejillaEnLaCuenta) {
  ui->onModal("TFrmPlan").click("Buscar").click("&Cerrar");
  ui->onModal("TFrmBuscTabla").set("EdBusqueda", "4105").click("&Aceptar");
  AbrirPlan();
  EXPECT_EQ(Actual(), "4105");
}

TEST_F(PlanTest, ExportarEscribeElLibroYVuelveALaCarpeta) {
  auto antes = std::filesystem::current_path();
  std::string libro = dir + "/plan.xlsx";
  ui->answerDialog(libro.c_str());
  ui->onModal("TFrmPlan").click("Exportar a Excel").click("&Cerrar");
  AbrirPlan();
  EXPECT_TRUE(std::filesystem::exists(libro));
  ASSERT_EQ(ui->launches().size(), 1u);
  EXPECT_EQ(std::filesystem::current_path(), antes);
}

// ---- cuenta nueva y modificar cuenta ---------------------------------------------------

TEST_F(PlanTest, NuevaDesdeElPlanPartiendoDelPadre) {
  AnsiString prellenado;
  ui->onModal("TFrmPlan").row("DBGrid1", k110505).click("Nuevo").click("&Cerrar");
  ui->onModal("TFrmNuevaCuenta")
      .run([&](TForm& f) { prellenado = static_cast<TFrmNuevaCuenta&>(f).EdICuenta->Text; })
      .set("EdICuenta", " 11050501 ")
      .set("EdNombre", "Caja menor")
      .pick("RadioGroup1", "Sí")
      .pick("RadioGroup2", "Sí")
      .set("EdCodigo", "abc")
      .pick("RadioGroup3", "Sí")
      .set("EdUnidad", "kg")
      .click("Aceptar");
  AbrirPlan();
  EXPECT_EQ(prellenado, "110505");
  EXPECT_EQ(Sql("SELECT nombcuen || exigterc || codiveri || Cantidad || unidades || "
                "coalesce(centcost, '-') || coalesce(naturaleza, '-') FROM PL WHERE numecuen='11050501'"),
            "Caja menorSABCSkg--");
}

TEST_F(PlanTest, NuevaCuentaReglas) {
  struct Caso {
    const char* codigo;
    bool codigoVerif;
    bool kardex;
    const char* mensaje;
  };
  for (Caso c : {Caso{"  ", false, false, "Debe Digitar Codigo de Cuenta"},
                 Caso{"110505", false, false, "Codigo de Cuenta Ya Existe"},
                 Caso{"7", true, false, "Debe Ingresar Un Codigo de Verificación"},
                 Caso{"7", false, true, "Debe Ingresar Una Descripcion de Cantidad"}}) {
    ui->takeMessages();
    auto& s = ui->onModal("TFrmNuevaCuenta").set("EdICuenta", c.codigo).set("EdNombre", "X");
    if (c.codigoVerif) s.pick("RadioGroup2", "Sí");
    if (c.kardex) s.pick("RadioGroup3", "Sí");
    s.click("Aceptar");  // cierra también tras el mensaje
    auto* f = new TFrmNuevaCuenta(nullptr);
    f->ShowModal();
    delete f;
    EXPECT_EQ(ui->messageTexts(), AnsiString(c.mensaje) + "\n") << c.codigo;
    EXPECT_EQ(Sql("SELECT count(*) FROM PL"), "11") << c.codigo;
  }
}

TEST_F(PlanTest, ModificarConservaLoQueNoSeToca) {
  Ejecutar(libros,
           "UPDATE PL SET exigterc='N', Cantidad='N', unidades='u', centcost='N', codiveri='K1' "
           "WHERE numecuen='110505'");
  Refrescar();
  ASSERT_TRUE(DM->TblPlan->Locate("numecuen", Variant(AnsiString("110505"))));
  int tercero = -1, kardex = -1, centro = -1, codigo = -1;
  ui->onModal("TFrmModifCuenta")
      .run([&](TForm& f) {
        auto& m = static_cast<TFrmModifCuenta&>(f);
        tercero = m.RadioGroup1->ItemIndex;
        codigo = m.RadioGroup2->ItemIndex;
        kardex = m.RadioGroup3->ItemIndex;
        centro = m.RadioGroup4->ItemIndex;
      })
      .set("EdNombre", "Caja general")
      .click("Aceptar");
  auto* f = new TFrmModifCuenta(nullptr);
  f->ShowModal();
  delete f;
  EXPECT_EQ(tercero, 1);
  EXPECT_EQ(codigo, 0);
  EXPECT_EQ(kardex, 1);
  EXPECT_EQ(centro, 1);
  EXPECT_EQ(Sql("SELECT nombcuen || exigterc || Cantidad || unidades || centcost || codiveri FROM PL "
                "WHERE numecuen='110505'"),
            "Caja generalNNuNK1");
}

TEST_F(PlanTest, ModificarGruposTocados) {
  Ejecutar(libros, "UPDATE PL SET exigterc='N', Cantidad='S', unidades='u' WHERE numecuen='110505'");
  Refrescar();
  ASSERT_TRUE(DM->TblPlan->Locate("numecuen", Variant(AnsiString("110505"))));
  ui->onModal("TFrmModifCuenta")
      .pick("RadioGroup1", "Sí")
      .pick("RadioGroup2", "Sí")
      .set("EdCodigo", "zz")
      .pick("RadioGroup3", "No")
      .pick("RadioGroup4", "Sí")
      .click("Aceptar");
  auto* f = new TFrmModifCuenta(nullptr);
  f->ShowModal();
  delete f;
  EXPECT_EQ(Sql("SELECT exigterc || coalesce(Cantidad, '-') || coalesce(unidades, '-') || centcost || "
                "codiveri FROM PL WHERE numecuen='110505'"),
            "S--SZZ");
}

}  // namespace
