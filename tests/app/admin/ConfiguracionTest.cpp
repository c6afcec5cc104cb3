#include <filesystem>
#include <fstream>

#include "support/Instalacion.h"
#include "app/Claves.h"
#include "app/Configuracion.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "platform/core/IniFiles.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"

using admin::Instalacion;

namespace {

class Configuracion : public Instalacion {
 protected:
  void Abrir() {
    frmConfigContab = new TfrmConfigContab(nullptr);
    frmConfigContab->ShowModal();
    delete frmConfigContab;
  }
  std::string Config(const std::string& campo) {
    return Valor(libros, "SELECT " + campo + " FROM ConfigContab");
  }
  AnsiString Ini(const char* clave) { return TIniFile((dir + "/data.ini").c_str()).ReadString("ACTION", clave, "?"); }
};

}  // namespace

TEST_F(Configuracion, AbrirMuestraDatosYAceptarSinCambiosSoloGrabaClaveYTitulos) {
  Ejecutar(libros, "UPDATE ConfigContab SET rector='Rectora Uno'");
  DM->TblConfigContab->Refresh();
  ui->onModal("TfrmConfigContab")
      .run([](TForm& f) {
        auto& c = static_cast<TfrmConfigContab&>(f);
        EXPECT_EQ(AnsiString(c.lblUsuario->Caption), "El usuario actual es: gestordelibro");
        EXPECT_EQ(AnsiString(c.EdEmpresa->Text), "ENTIDAD PÚBLICA DE EJEMPLO");
        EXPECT_EQ(AnsiString(c.edRector->Text), "Rectora Uno");
        EXPECT_EQ(AnsiString(c.edTitulo2->Text), "NIT 800000000-1");
        EXPECT_FALSE(c.edRutaEscudo->Enabled);
        EXPECT_FALSE(c.Image1->Picture->Empty());
      })
      .run([this](TForm&) {
        // Otro proceso cambia la empresa: el formulario no la toca si no se editó.
        Ejecutar(libros, "UPDATE ConfigContab SET IEmpresa='CAMBIO AJENO'");
        DM->TblConfigContab->Refresh();
      })
      .set("edTitulo3", "Tercer título")
      .click("Aceptar")
      .click("Salir");
  Abrir();
  EXPECT_EQ(ui->messageTexts(), "Información grabada.\n");
  EXPECT_EQ(Config("IEmpresa"), "CAMBIO AJENO");
  EXPECT_EQ(Ini("titulo3"), "Tercer título");
  EXPECT_EQ(Ini("titulo1"), "ENTIDAD PÚBLICA DE EJEMPLO");
  // La clave vacía del administrador queda grabada como resumen de la clave vacía.
  std::string clave = Valor(libros, "SELECT PASSWORD FROM permisos WHERE LOGIN='gestordelibro'");
  EXPECT_TRUE(ClaveCoincide("", clave.c_str()));
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Configuracion, CambiosDeCamposClaveYNombre) {
  ui->onModal("TfrmConfigContab")
      .set("EdEmpresa", "")
      .set("EdNContabilidad", "Nuevo")
      .set("Edit1", "nueva")
      .set("Edit2", "otra")
      .click("Aceptar")
      .run([this](TForm&) {
        EXPECT_EQ(ui->lastMessage(), "La Clave y la Clave reescrita no coinciden");
        EXPECT_EQ(Config("NContabilidad"), tv::schema::kStarterBooksName);
      })
      .set("Edit2", "nueva")
      .click("Aceptar")
      .click("Salir");
  Abrir();
  EXPECT_EQ(ui->lastMessage(), "Información grabada.");
  EXPECT_EQ(Config("IEmpresa"), "<null>");
  EXPECT_EQ(Config("NContabilidad"), "Nuevo");
  EXPECT_EQ(NContabilidad, "Nuevo");
  EXPECT_TRUE(ClaveCoincide("nueva", Valor(libros, "SELECT PASSWORD FROM permisos WHERE LOGIN='gestordelibro'").c_str()));
  // La lista de contabilidades conserva el nombre anterior.
  EXPECT_EQ(Valor(dir, "SELECT NContabilidad FROM contabs"), tv::schema::kStarterBooksName);
}

TEST_F(Configuracion, UsuarioAusenteYSinDataIni) {
  Login = "fantasma";
  std::filesystem::remove(dir + "/data.ini");
  ui->onModal("TfrmConfigContab").set("edTitulo1", "T1").click("Aceptar").click("Salir");
  Abrir();
  EXPECT_EQ(ui->messageTexts(),
            "Recuperando: El usuario fantasma no se encuentra en la tabla de permisos.\n"
            "Debe crear el INI dentro de la carpeta\n"
            "Grabando: El usuario fantasma no se encuentra en la tabla de permisos.\n"
            "Información grabada.\n");
  EXPECT_EQ(Ini("titulo1"), "T1");
}

TEST_F(Configuracion, EscudoSeGrabaAlEscogerloRelativoALaCarpetaDelPrograma) {
  std::string logo = dir + "/images/otro.bmp";
  std::filesystem::copy_file(dir + "/images/logo.bmp", logo);
  ui->answerDialog(logo.c_str());
  ui->onModal("TfrmConfigContab")
      .run([&](TForm& f) {
        // El logo de la instalación se anota relativo y se muestra con su ruta completa.
        auto& c = static_cast<TfrmConfigContab&>(f);
        EXPECT_EQ(Ini("rutaLogo"), "images/logo.bmp");
        EXPECT_EQ(AnsiString(c.edRutaEscudo->Text), (dir + "/images/logo.bmp").c_str());
      })
      .click("Buscar escudo")
      .run([&](TForm& f) {
        auto& c = static_cast<TfrmConfigContab&>(f);
        EXPECT_EQ(AnsiString(c.edRutaEscudo->Text), logo.c_str());
        EXPECT_EQ(AnsiString(c.Image1->Picture->FileName), logo.c_str());
        EXPECT_EQ(Ini("rutaLogo"), "images/otro.bmp");
      })
      .click("Salir");
  Abrir();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Configuracion, EscudoQueNoEsImagenDaErrorYConservaElAnterior) {
  // Un archivo de texto, aunque se llame .bmp, no es un logo.
  std::string texto = dir + "/images/nota.bmp";
  { std::ofstream(texto) << "esto no es una imagen\n"; }
  // Fuera de la carpeta del programa la ruta se anota completa.
  std::string fuera = std::filesystem::path(dir).parent_path().string() + "/escudo.bmp";
  std::filesystem::copy_file(dir + "/images/logo.bmp", fuera);
  ui->answerDialog(texto.c_str());
  ui->answerDialog(fuera.c_str());
  ui->onModal("TfrmConfigContab")
      .click("Buscar escudo")
      .run([&](TForm& f) {
        auto& c = static_cast<TfrmConfigContab&>(f);
        ASSERT_EQ(ui->messages().size(), 1u);
        EXPECT_EQ(ui->messages()[0].Kind, MsgKind::Exception);
        EXPECT_NE(ui->messages()[0].Text.Pos("nota.bmp"), 0);
        EXPECT_EQ(Ini("rutaLogo"), "images/logo.bmp");
        EXPECT_EQ(AnsiString(c.edRutaEscudo->Text), (dir + "/images/logo.bmp").c_str());
        EXPECT_EQ(AnsiString(c.Image1->Picture->FileName), (dir + "/images/logo.bmp").c_str());
      })
      .click("Buscar escudo")
      .run([&](TForm&) { EXPECT_EQ(Ini("rutaLogo"), fuera.c_str()); })
      .click("Salir");
  Abrir();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Configuracion, CasillasDeClaveVaciasConservanLaClaveYLoEscritoLaReemplaza) {
  Ejecutar(libros, "UPDATE permisos SET PASSWORD='" + std::string(CifrarClave("vieja").c_str()) +
                       "' WHERE LOGIN='gestordelibro'");
  DM->TblPermisos->Refresh();
  auto clave = [this] { return Valor(libros, "SELECT PASSWORD FROM permisos WHERE LOGIN='gestordelibro'"); };
  auto vacias = [](TForm& f) {
    auto& c = static_cast<TfrmConfigContab&>(f);
    EXPECT_EQ(AnsiString(c.Edit1->Text), "");
    EXPECT_EQ(AnsiString(c.Edit2->Text), "");
  };
  ui->onModal("TfrmConfigContab")
      .run(vacias)
      .click("Aceptar")
      .run([&](TForm&) { EXPECT_TRUE(ClaveCoincide("vieja", clave().c_str())); })
      .set("Edit1", "nueva")
      .set("Edit2", "nueva")
      .click("Aceptar")
      .run(vacias)
      .click("Salir");
  Abrir();
  EXPECT_TRUE(ClaveCoincide("nueva", clave().c_str()));
  EXPECT_EQ(ui->messageTexts(), "Información grabada.\nInformación grabada.\n");
}

// Escribir en las casillas y vaciarlas no deja al administrador sin clave.
TEST_F(Configuracion, CasillasVaciadasNoDejanClaveVacia) {
  Ejecutar(libros, "UPDATE permisos SET PASSWORD='" + std::string(CifrarClave("vieja").c_str()) +
                       "' WHERE LOGIN='gestordelibro'");
  DM->TblPermisos->Refresh();
  ui->onModal("TfrmConfigContab")
      .set("Edit1", "x")
      .set("Edit2", "x")
      .set("Edit1", "")
      .set("Edit2", "")
      .click("Aceptar")
      .click("Salir");
  Abrir();
  AnsiString guardada = Valor(libros, "SELECT PASSWORD FROM permisos WHERE LOGIN='gestordelibro'").c_str();
  EXPECT_TRUE(ClaveCoincide("vieja", guardada));
  EXPECT_FALSE(ClaveCoincide("", guardada));
}

TEST_F(Configuracion, TextosLargosNoSeCortanAlGrabar) {
  struct Caso {
    const char* edit;
    const char* campo;
    int escritos, ancho;
  };
  const Caso casos[] = {{"EdEmpresa", "IEmpresa", 145, 100}, {"EdNIT", "NIT", 34, 20},
                        {"edRector", "rector", 67, 60},      {"edAuxiliar", "auxiliar", 61, 60},
                        {"edTallivar", "tallivar", 61, 60},  {"edAcuerdo", "acuerdo", 300, 254},
                        {"EdNContabilidad", "NContabilidad", 12, 10}};
  auto& guion = ui->onModal("TfrmConfigContab");
  for (const Caso& c : casos) guion.set(c.edit, AnsiString(std::string(c.escritos, 'x')));
  guion.run([&](TForm& f) {
    // El campo muestra solo lo que cabe: lo que se ve es lo que se graba.
    for (const Caso& c : casos)
      EXPECT_EQ(static_cast<TEdit*>(f.FindComponent(c.edit))->Text.get().Length(), c.ancho) << c.edit;
  });
  guion.click("Aceptar").click("Salir");
  Abrir();
  for (const Caso& c : casos) EXPECT_EQ(Config(c.campo), std::string(c.ancho, 'x')) << c.campo;
}

class CuentasEspeciales : public Instalacion {
 protected:
  void Abrir() {
    FrmCuentasEsp = new TFrmCuentasEsp(nullptr);
    FrmCuentasEsp->ShowModal();
    delete FrmCuentasEsp;
  }
};

TEST_F(CuentasEspeciales, BuscarYGrabarLasCuatroCuentas) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('000001', 'Primera cuenta')");
  DM->TblPlan->Refresh();
  ui->onModal("TFrmBuscTabla").row("DBGrid1", 0).click("&Aceptar");
  ui->onModal("TFrmBuscTabla").click("&Salir");
  ui->onModal("TFrmCuentasEsp")
      .run([](TForm& f) {
        auto& c = static_cast<TFrmCuentasEsp&>(f);
        EXPECT_EQ(AnsiString(c.EdReteFuente->Text), "243605");
        EXPECT_EQ(AnsiString(c.EdReteIva->Text), "243625");
        EXPECT_EQ(AnsiString(c.EdUtilidad->Text), "311001");
        EXPECT_EQ(AnsiString(c.EdPerdidas->Text), "311002");
      })
      .click("BitBtn4")  // utilidad: se escoge la primera cuenta
      .click("BitBtn1")  // retención: se sale sin escoger
      .run([](TForm& f) {
        auto& c = static_cast<TFrmCuentasEsp&>(f);
        EXPECT_EQ(AnsiString(c.EdUtilidad->Text), "000001");
        EXPECT_EQ(AnsiString(c.LblUtilidad->Caption), "Primera cuenta");
        EXPECT_EQ(AnsiString(c.EdReteFuente->Text), "243605");
      })
      .click("Aceptar")
      .click("Cancelar");
  Abrir();
  EXPECT_EQ(Valor(libros, "SELECT Utilidad FROM ConfigContab"), "000001");
  EXPECT_EQ(Valor(libros, "SELECT Perdida FROM ConfigContab"), "311002");
  EXPECT_EQ(Valor(dir, "SELECT ReteFuente FROM Config"), "243605");
  EXPECT_EQ(Valor(dir, "SELECT ReteIva FROM Config"), "243625");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(CuentasEspeciales, FalloAlGrabarUnaBaseNoDejaLaOtraAMedias) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('000001', 'Primera cuenta')");
  Ejecutar(libros,
           "CREATE TRIGGER sin_cambios BEFORE UPDATE ON ConfigContab "
           "BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
  DM->TblPlan->Refresh();
  ui->onModal("TFrmBuscTabla").row("DBGrid1", 0).click("&Aceptar");
  ui->onModal("TFrmCuentasEsp")
      .click("BitBtn1")  // retención en la fuente: la primera cuenta
      .click("Aceptar")
      .click("Cancelar");
  Abrir();
  EXPECT_NE(ui->messageTexts().str().find("disco lleno"), std::string::npos) << ui->messageTexts().c_str();
  EXPECT_EQ(Valor(dir, "SELECT ReteFuente FROM Config"), "243605");
  EXPECT_EQ(AnsiString(DM->TblConfig->FieldByName("ReteFuente")->AsString), "243605");
  EXPECT_EQ(DM->TblConfig->State, dsBrowse);
  EXPECT_EQ(DM->TblConfigContab->State, dsBrowse);
  EXPECT_EQ(ui->unused(), "");
}
