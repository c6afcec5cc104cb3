// Claves cifradas, diálogo de la clave del administrador y aviso del separador decimal.
#include <functional>

#include "Entorno.h"
#include "app/Claves.h"
#include "app/DataModule.h"
#include "app/FrmClave.h"
#include "app/FrmClaveAdmin.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Regional.h"

namespace arranque {
namespace {

TEST(Claves, ElResumenNoGuardaLaClaveYComparaExacto) {
  AnsiString r = CifrarClave("Mi Clave");
  EXPECT_TRUE(EsClaveCifrada(r));
  EXPECT_EQ(r.Pos("Mi Clave"), 0);
  EXPECT_NE(r, CifrarClave("Mi Clave"));  // con sal: dos resúmenes distintos
  EXPECT_TRUE(ClaveCoincide("Mi Clave", r));
  for (const char* otra : {"mi clave", "Mi Clave ", "", "Mi"}) EXPECT_FALSE(ClaveCoincide(otra, r)) << otra;
  // Claves antiguas sin cifrar: comparación exacta, la vacía incluida.
  EXPECT_FALSE(EsClaveCifrada("vieja"));
  EXPECT_TRUE(ClaveCoincide("vieja", "vieja"));
  EXPECT_FALSE(ClaveCoincide("Vieja", "vieja"));
  EXPECT_TRUE(ClaveCoincide("", ""));
  EXPECT_FALSE(ClaveCoincide("x", ""));
}

TEST(Claves, ComillasSQLDoblaLasComillas) { EXPECT_EQ(ComillasSQL("O'Neil"), "'O''Neil'"); }

// El diálogo se usa con la ventana principal abierta, como lo usan los formularios.
class ClaveAdmin : public Entorno {
 protected:
  void ConVentanaPrincipal(std::function<void()> uso) {
    CrearUsuario("ana", "Clave");
    Presentacion();
    Escoger();
    Entrar("ana", "Clave");
    ui->onModal("TFrmMain").run([uso](TForm&) {
      ASSERT_NE(frmClaveAdmin, nullptr);
      EXPECT_FALSE(frmClaveAdmin->Showing());
      uso();
    }).close();
    ASSERT_TRUE(Correr(false));
    EXPECT_EQ(ui->unused(), "");
  }
};

TEST_F(ClaveAdmin, AceptaSoloLaClaveDelAdministradorYSeLimpiaEnCadaUso) {
  Sql(libros, "update permisos set PASSWORD='" + CifrarClave("Jefe").str() + "' where LOGIN='gestordelibro'");
  ConVentanaPrincipal([this] {
    ui->onModal("TfrmClaveAdmin").set("edPassword", "jefe").click("BitBtn1").set("edPassword", "Jefe").click("BitBtn1");
    EXPECT_EQ(frmClaveAdmin->ShowModal(), mrOk);
    ui->onModal("TfrmClaveAdmin")
        .run([](TForm& f) { EXPECT_EQ(static_cast<TfrmClaveAdmin&>(f).edPassword->Text.get(), ""); })
        .set("edPassword", "Jefe")
        .click("BitBtn2");
    EXPECT_EQ(frmClaveAdmin->ShowModal(), mrCancel);
  });
}

TEST_F(ClaveAdmin, ClaveAntiguaDelAdministradorSeCifraAlComprobarla) {
  Sql(libros, "update permisos set PASSWORD='vieja' where LOGIN='gestordelibro'");
  ConVentanaPrincipal([this] {
    EXPECT_EQ(Permisos.GetClaveAdmin(), "vieja");
    ui->onModal("TfrmClaveAdmin").set("edPassword", "vieja").click("BitBtn1");
    EXPECT_EQ(frmClaveAdmin->ShowModal(), mrOk);
    std::string guardada = Valor(libros, "select PASSWORD from permisos where LOGIN='gestordelibro'").value_or("");
    EXPECT_TRUE(EsClaveCifrada(AnsiString(guardada)));
    EXPECT_EQ(Permisos.GetClaveAdmin(), AnsiString(guardada));
    ui->onModal("TfrmClaveAdmin").set("edPassword", "vieja").click("BitBtn1");
    EXPECT_EQ(frmClaveAdmin->ShowModal(), mrOk);
  });
}

TEST_F(ClaveAdmin, SinFilaDelAdministradorAceptaLaEntradaVacia) {
  Sql(libros, "delete from permisos where LOGIN='gestordelibro'");
  ConVentanaPrincipal([this] {
    EXPECT_EQ(Permisos.GetClaveAdmin(), "");
    ui->onModal("TfrmClaveAdmin").click("BitBtn1");
    EXPECT_EQ(frmClaveAdmin->ShowModal(), mrOk);
  });
}

TEST_F(Entorno, ElAdministradorSinClaveDebeEscogerUnaParaEntrar) {
  Presentacion();
  Escoger();
  // Cancelar la clave nueva deja el diálogo de entrada abierto sin contar un fallo.
  ui->onModal("TFrmClave")
      .pick("CBLogin", "gestordelibro:")
      .set("EdPassword", "")
      .click("BtnAceptar")
      .run([](TForm& f) {
        EXPECT_EQ(static_cast<TFrmClave&>(f).Intentos, 0);
        EXPECT_FALSE(static_cast<TFrmClave&>(f).UserValid);
      })
      .click("BtnAceptar");
  ui->onModal("TFrmNuevaClave").click("BtnAceptar").click("BtnCancelar");
  ui->onModal("TFrmNuevaClave").set("EdClave", "A").set("EdConfirmar", "A").click("BtnAceptar");
  EXPECT_TRUE(Correr());
  EXPECT_EQ(ui->unused(), "");
  EXPECT_EQ(ui->lastMessage(), "La clave no puede quedar vacía.");
  EXPECT_TRUE(ClaveCoincide("A", Permisos.GetClaveAdmin()));
}

struct CasoDecimal {
  char marco;
  const char* usuario;
  const char* aviso;
};

class SeparadorDecimal : public Entorno, public ::testing::WithParamInterface<CasoDecimal> {};

TEST_P(SeparadorDecimal, SeAdoptaElDelUsuarioConSuAviso) {
  ASSERT_TRUE(tv::os::SetUserDecimalSeparator(GetParam().usuario));
  DecimalSeparator = GetParam().marco;
  ConfigurarSesion("");
  EXPECT_EQ(DecimalSeparator, GetParam().usuario[0]);
  if (*GetParam().aviso)
    EXPECT_EQ(ui->lastMessage(), GetParam().aviso);
  else
    EXPECT_TRUE(ui->messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, SeparadorDecimal,
    ::testing::Values(CasoDecimal{'.', ",", "Su computador está configurado para que use como punto decimal a la coma."},
                      CasoDecimal{',', ".", ""}, CasoDecimal{',', ",", ""},
                      CasoDecimal{'.', "#", "Su computador está configurado para que use como punto decimal a: #"}));

}  // namespace
}  // namespace arranque
