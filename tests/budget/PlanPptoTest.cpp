#include <memory>

#include "app/DataModule.h"
#include "budget/FrmPlanPpto.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"

using presupuesto::Presupuesto;

namespace {

class Plan : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    DM->tblPlanPpto->Refresh();
  }
  void TearDown() override {
    f.reset();
    Presupuesto::TearDown();
  }
  TfrmPlanPpto* Abrir() {
    DM->tblPlanPpto->Refresh();
    f = std::make_unique<TfrmPlanPpto>(nullptr);
    f->Show();
    return f.get();
  }
  void Ir(const char* tipo, const char* codigo) {
    ASSERT_TRUE(DM->tblPlanPpto->Locate("tipoCuenta;iCuenta", VarArrayOf({Variant(tipo), Variant(codigo)})))
        << tipo << codigo;
  }
  std::string Textos() { return ui->messageTexts().str(); }
  std::unique_ptr<TfrmPlanPpto> f;
};

TEST_F(Plan, RubroNuevoYSusValidaciones) {
  Abrir();
  struct Caso {
    const char *codigo, *nombre, *tipo, *mensaje;
    bool graba;
  };
  for (Caso c : {Caso{" 2.1.2.02.03 ", "ARRIENDOS", "Egreso", "", true},
                 Caso{"", "X", "Egreso", "Debe Digitar Codigo de Cuenta\n", false},
                 Caso{"2.1", "X", "Egreso", "Codigo de Cuenta Ya Existe\n", false},
                 Caso{"2.1", "OTRO TIPO", "Ingreso", "", true},  // el mismo código con el otro tipo
                 Caso{"2'9", "", "Egreso", "Debe Digitar el nombre de la cuenta\n", false}}) {
    std::string antes = Leer("SELECT count(*) FROM PlPpto");
    // El diálogo se cierra tras "Aceptar", haya grabado o no.
    ui->onModal("TfrmNuevaCuentaPpto").set("EdICuenta", c.codigo).set("EdNombre", c.nombre).pick("rgTipoCuenta", c.tipo)
        .click("Aceptar");
    f->BtnNuevoClick(f.get());
    EXPECT_EQ(Textos(), c.mensaje) << c.codigo;
    EXPECT_EQ(std::stoi(Leer("SELECT count(*) FROM PlPpto")), std::stoi(antes) + (c.graba ? 1 : 0)) << c.codigo;
    ui->takeMessages();
  }
  EXPECT_EQ(Leer("SELECT nCuenta || tipoCuenta FROM PlPpto WHERE iCuenta='2.1.2.02.03'"), "ARRIENDOSE");
  EXPECT_EQ(Leer("SELECT nCuenta FROM PlPpto WHERE iCuenta='2.1' AND tipoCuenta='I'"), "OTRO TIPO");
  EXPECT_EQ(ui->unused(), "");
}

// Sin elegir el tipo, el rubro nuevo toma el del rubro en que estaba el usuario.
TEST_F(Plan, RubroNuevoProponeElTipoDelRubroActual) {
  Rubro("I", "1.9");
  Abrir();
  struct Caso {
    const char *tipo, *padre, *nuevo;
  };
  for (Caso c : {Caso{"E", "2.1", "2.1.77"}, Caso{"I", "1.9", "1.9.77"}}) {
    Ir(c.tipo, c.padre);
    ui->onModal("TfrmNuevaCuentaPpto").set("EdICuenta", c.nuevo).set("EdNombre", "HIJO").click("Aceptar");
    f->BtnNuevoClick(f.get());
    EXPECT_EQ(Leer(std::string("SELECT tipoCuenta FROM PlPpto WHERE iCuenta='") + c.nuevo + "'"), c.tipo) << c.nuevo;
  }
  EXPECT_EQ(Textos(), "");
}

TEST_F(Plan, BorrarSoloSinMovimientoDelRubroNiDeSusSubcuentas) {
  Rubro("E", "9_");
  Rubro("E", "7");
  Movimiento("1", "APR", "2026-01-02", {{"2.1.05", "E", 0, 10}, {"2.3", "I", 10, 0}, {"95", "E", 0, 1}});
  Certificado(1, "2026-01-03", 5, "7");
  Abrir();
  struct Caso {
    const char *tipo, *codigo;
    bool borra;
  };
  for (Caso c : {Caso{"E", "2.1", false}, Caso{"E", "2.3", true}, Caso{"E", "9_", true}, Caso{"E", "7", true}}) {
    Ir(c.tipo, c.codigo);
    ui->takeMessages();
    f->BtnBorrarClick(f.get());
    EXPECT_EQ(Leer("SELECT count(*) FROM PlPpto WHERE tipoCuenta='" + std::string(c.tipo) + "' AND iCuenta='" +
                   c.codigo + "'"),
              c.borra ? "0" : "1")
        << c.codigo;
    if (!c.borra) {
      ASSERT_EQ(ui->messages().size(), 1u);
      EXPECT_EQ(ui->messages()[0].Text,
                "Existe movimiento presupuestal relacionado con 2.1 o alguna de sus subcuentas\n"
                "No se puede borrar sin antes borrar ese movimiento");
      EXPECT_EQ(ui->messages()[0].Caption, "Información");
    } else {
      EXPECT_EQ(Textos(), "") << c.codigo;
    }
  }
}

// Ctrl+Supr en la rejilla no borra un rubro con movimiento: solo "Borrar" borra.
TEST_F(Plan, CtrlSuprDeLaRejillaNoBorra) {
  Movimiento("1", "APR", "2026-01-02", {{"2.1.05", "E", 0, 10}, {"2.3", "I", 10, 0}});
  Abrir();
  Ir("E", "2.1");
  ui->answer("Borrar", mrOk);
  ui->now(f.get()).key("DBGrid1", VK_DELETE, TShiftState{ssCtrl});
  EXPECT_EQ(Leer("SELECT count(*) FROM PlPpto WHERE tipoCuenta='E' AND iCuenta='2.1'"), "1");
  EXPECT_NE(ui->unused(), "");
}

TEST_F(Plan, PruebaDeHoja) {
  Rubro("E", "21");
  Rubro("E", "21-01");
  Rubro("E", "7");
  Rubro("E", "1_");
  Rubro("E", "15");
  Abrir();
  struct Caso {
    const char *codigo, *tipo;
    bool hoja;
  };
  for (Caso c : {Caso{"2.1.2.02", "E", false}, Caso{"2.1.1.01", "E", true}, Caso{"2.3", "E", false},
                 Caso{"2.3.2", "E", true}, Caso{"2", "E", false}, Caso{"7", "E", true}, Caso{"21", "E", false},
                 Caso{"2", "I", true}, Caso{"1", "E", false}, Caso{"1_", "E", true}, Caso{"1.1.02.06.001", "I", true}})
    EXPECT_EQ(f->EsCuentaAuxiliar(c.codigo, c.tipo), c.hoja) << c.codigo << c.tipo;
}

class CambioDeCodigo : public Plan {
 protected:
  void SetUp() override {
    Plan::SetUp();
    Rubro("E", "2.3.3");
    Rubro("I", "2.3.3");
    Rubro("I", "1.5");
    Movimiento("1", "APR", "2026-01-02", {{"2.3.3", "E", 0, 10}, {"2.3.3", "I", 10, 0}});
    Certificado(1, "2026-01-03", 5, "2.3.3", {{"2.3.3", 5}});
    Reintegro("2.3.3", 1);
    LineaDiario("2.3.3", "2026-01-04", 0, 3);
    Sql("INSERT INTO asientosprog (iAstoProg, numeCuen, rubro) VALUES (1, '4105', '2.3.3')");
    Abrir();
  }
  void Cambiar(const char* tipo, const char* viejo, const char* nuevo) {
    Ir(tipo, viejo);
    ui->now(f.get()).click("Cambiar código").set("EdNuevCodi", nuevo).click("&Confirmar");
  }
  std::string Refs() {
    return Leer("SELECT (SELECT group_concat(x, ',') FROM (SELECT tipoCuenta || icuenta AS x FROM mvtPptal ORDER BY 1)) || '|' || "
                "(SELECT rubroPptal FROM mvtCertDisp) || '|' || (SELECT rubroPptal FROM certDispRubros) || '|' || "
                "(SELECT rubro FROM reintegros) || '|' || (SELECT rubro FROM MVT) || '|' || "
                "(SELECT rubro FROM asientosprog)");
  }
};

TEST_F(CambioDeCodigo, ReescribeLasReferenciasDeSuTipo) {
  const char* copia = "Se ha sacado una copia de su plan de cuentas de presupuesto en copiaPlPpto.db, como medidad de "
                      "seguridad.\n";
  Cambiar("E", "2.3.3", "2.3.4");
  EXPECT_EQ(Textos(), copia);
  EXPECT_EQ(Refs(), "E2.3.4,I2.3.3|2.3.4|2.3.4|2.3.4|2.3.3|2.3.3");
  EXPECT_EQ(Leer("SELECT count(*) FROM copiaPlPpto WHERE iCuenta='2.3.3'"), "2");
  EXPECT_TRUE(f->BtnCambCodi->Visible);
  EXPECT_FALSE(f->BtnConfirmar->Visible);
  EXPECT_FALSE(f->EdNuevCodi->Visible);
  ui->takeMessages();
  Cambiar("I", "2.3.3", "1.5.1");  // 1.5 es hoja: 1.5.1 no es hijo suyo aún
  EXPECT_EQ(Refs(), "E2.3.4,I1.5.1|2.3.4|2.3.4|2.3.4|1.5.1|1.5.1");
  EXPECT_EQ(Leer("SELECT count(*) FROM copiaPlPpto WHERE iCuenta='2.3.3'"), "1");  // copia reemplazada
}

TEST_F(CambioDeCodigo, RechazosYSinCambios) {
  const std::string antes = Refs();
  struct Caso {
    const char *tipo, *viejo, *nuevo, *mensaje;
  };
  for (Caso c : {Caso{"E", "2.3.3", "2.3.2", "Ya existe una cuenta con ese código"},
                 Caso{"E", "2.3.3", "   ", "Debe digitar el nuevo código."},
                 Caso{"E", "2.3", "2.9", "La cuenta que quiere recodificar no es una cuenta auxiliar"}}) {
    ui->takeMessages();
    Ir(c.tipo, c.viejo);
    auto s = ui->now(f.get());
    s.click("Cambiar código");
    if (f->BtnConfirmar->Visible) s.set("EdNuevCodi", c.nuevo).click("&Confirmar");
    ASSERT_FALSE(ui->messages().empty());
    EXPECT_EQ(ui->messages().back().Text, c.mensaje);
    EXPECT_EQ(ui->messages().back().Caption, "Error");
    EXPECT_EQ(Refs(), antes);
  }
  // Sin editar la propuesta: copia y aviso, nada más.
  ui->takeMessages();
  Ir("E", "2.3.3");
  ui->now(f.get()).click("Cambiar código").click("&Confirmar");
  EXPECT_EQ(ui->messages().size(), 1u);
  EXPECT_TRUE(Leer("SELECT count(*) FROM copiaPlPpto") != "0");
  EXPECT_EQ(Refs(), antes);
  // El código de un rubro de ingreso sí se puede tomar.
  Cambiar("E", "2.3.3", "1.5");
  EXPECT_EQ(Leer("SELECT count(*) FROM PlPpto WHERE iCuenta='1.5'"), "2");
}

TEST_F(CambioDeCodigo, TrabajaSobreElRubroProbadoYSeDeshaceEntero) {
  Ir("E", "2.3.3");
  ui->now(f.get()).click("Cambiar código").set("EdNuevCodi", "2.3.5");
  Ir("E", "2.1.1.01");  // la rejilla se movió entre los dos pasos
  Sql("CREATE TRIGGER falla BEFORE UPDATE ON reintegros BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  ui->now(f.get()).click("&Confirmar");
  EXPECT_NE(Textos().find("disco lleno"), std::string::npos);
  EXPECT_EQ(Refs(), "E2.3.3,I2.3.3|2.3.3|2.3.3|2.3.3|2.3.3|2.3.3");
  EXPECT_EQ(Leer("SELECT count(*) FROM PlPpto WHERE iCuenta='2.3.5'"), "0");
  Sql("DROP TRIGGER falla");
  ui->takeMessages();
  Ir("E", "2.3.3");
  ui->now(f.get()).click("Cambiar código").set("EdNuevCodi", "2.3.5");
  Ir("E", "2.1.1.01");
  ui->now(f.get()).click("&Confirmar");
  EXPECT_EQ(Leer("SELECT count(*) FROM PlPpto WHERE iCuenta='2.1.1.01'"), "1");
  EXPECT_EQ(Refs(), "E2.3.5,I2.3.3|2.3.5|2.3.5|2.3.5|2.3.3|2.3.3");
}

TEST_F(Plan, BuscarSinRubrosNoMuestraElDialogo) {
  Sql("DELETE FROM PlPpto");
  Abrir();
  f->BtnBuscarClick(f.get());
  EXPECT_EQ(Textos(), "No existen registros para mostrar.\n");
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
