#include "support/Instalacion.h"
#include "app/Claves.h"
#include "app/Sesion.h"
#include "app/Usuarios.h"
#include "platform/forms/StdCtrls.h"

using admin::Instalacion;

namespace {

class Usuarios : public Instalacion {
 protected:
  void Adicionar(const char* login, const char* nombre, const char* clave, const char* repite,
                 bool modificar = false, bool grabar = false, bool borrar = false) {
    ui->onModal("TFrmAddPermisos")
        .set("EdLogin", login)
        .set("EdNombre", nombre)
        .set("EdPassword", clave)
        .set("EdSombra", repite)
        .check("BLectura", modificar)
        .check("BEscritura", grabar)
        .check("BBorrado", borrar)
        .click("&Aceptar");
    FrmAddPermisos = new TFrmAddPermisos(nullptr);
    EXPECT_EQ(FrmAddPermisos->ShowModal(), mrOk);
    delete FrmAddPermisos;
  }
  std::string Filas() { return Valor(libros, "SELECT count(*) FROM permisos"); }
  std::string Clave(const std::string& login) {
    return Valor(libros, "SELECT PASSWORD FROM permisos WHERE LOGIN='" + login + "'");
  }
};

}  // namespace

TEST_F(Usuarios, AdicionarTodoVacioListaCadaFaltaYNoAgrega) {
  Adicionar("", "", "", "");
  EXPECT_EQ(ui->lastMessage(),
            "Debe corregir:\nColoque Login de Usuario\nColoque Nombre de Usuario \n"
            "Falta colocar la clave principal \nFalta repetir la clave principal \n");
  EXPECT_EQ(Filas(), "1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Usuarios, AdicionarGuardaDerechosYClaveCifrada) {
  Adicionar("ana", "Ana O'Neil", "s3creta", "s3creta", true, false, true);
  EXPECT_EQ(ui->lastMessage(), "Usuario del programa adicionado");
  EXPECT_EQ(Valor(libros, "SELECT NUSUARIO FROM permisos WHERE LOGIN='ana'"), "Ana O'Neil");
  EXPECT_EQ(Valor(libros, "SELECT BModificar || BGrabar || BBorrar FROM permisos WHERE LOGIN='ana'"), "101");
  std::string clave = Clave("ana");
  EXPECT_NE(clave, "s3creta");
  EXPECT_TRUE(ClaveCoincide("s3creta", clave.c_str()));
  EXPECT_FALSE(ClaveCoincide("S3creta", clave.c_str()));
  // Un login que solo difiere en mayúsculas de otro usuario se acepta.
  Adicionar("ANA", "Otra Ana", "x", "x");
  EXPECT_EQ(ui->lastMessage(), "Usuario del programa adicionado");
  EXPECT_EQ(Filas(), "3");
}

TEST_F(Usuarios, AdicionarRechazaRepetidosYAlAdministradorEnOtrasMayusculas) {
  struct Caso { const char* login; const char* linea; };
  for (Caso c : {Caso{"gestordelibro", "Ese Nombre de Usuario ya existe \n"},
                 Caso{"GestorDeLibro", "Ese Nombre de Usuario está reservado para el administrador \n"}}) {
    Adicionar(c.login, "Intruso", "a", "b");
    EXPECT_EQ(ui->lastMessage(), AnsiString("Debe corregir:\n") + c.linea + "Claves no Coinciden \n")
        << c.login;
  }
  EXPECT_EQ(Filas(), "1");
}

TEST_F(Usuarios, ModificarSoloDerechosConservaClave) {
  Adicionar("ana", "Ana", "uno", "uno", false, true, false);
  std::string antes = Clave("ana");
  ui->onModal("TFrmModiPermisos")
      .pick("CBLogin", "ana:Ana")
      .run([](TForm& f) {
        auto& m = static_cast<TFrmModiPermisos&>(f);
        EXPECT_EQ(AnsiString(m.EdNombre->Text), "Ana");
        // Las casillas de clave no muestran el resumen guardado.
        EXPECT_EQ(AnsiString(m.EdPassword->Text), "");
        EXPECT_EQ(AnsiString(m.EdSombra->Text), "");
        EXPECT_TRUE(m.ChBEscritura->Checked);
        EXPECT_FALSE(m.ChBLectura->Checked);
      })
      .check("ChBBorrado")
      .click("&Aceptar");
  FrmModiPermisos = new TFrmModiPermisos(nullptr);
  EXPECT_EQ(AnsiString(FrmModiPermisos->CBLogin->Text), "gestordelibro:Administrador");
  EXPECT_EQ(FrmModiPermisos->ShowModal(), mrOk);
  delete FrmModiPermisos;
  EXPECT_EQ(ui->lastMessage(), "Permisos modificados.");
  EXPECT_EQ(Valor(libros, "SELECT BModificar || BGrabar || BBorrar FROM permisos WHERE LOGIN='ana'"), "011");
  EXPECT_EQ(Clave("ana"), antes);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Usuarios, ModificarCambiaClaveYValida) {
  Adicionar("ana", "Ana", "uno", "uno");
  ui->onModal("TFrmModiPermisos").pick("CBLogin", "ana:Ana").set("EdPassword", "dos").click("&Aceptar");
  FrmModiPermisos = new TFrmModiPermisos(nullptr);
  FrmModiPermisos->ShowModal();
  delete FrmModiPermisos;
  EXPECT_EQ(ui->lastMessage(), "Debe corregir:\nFalta repetir la clave principal \nClaves no Coinciden \n");
  EXPECT_TRUE(ClaveCoincide("uno", Clave("ana").c_str()));

  ui->onModal("TFrmModiPermisos")
      .pick("CBLogin", "ana:Ana")
      .set("EdNombre", "Ana María")
      .set("EdPassword", "dos")
      .set("EdSombra", "dos")
      .click("&Aceptar");
  FrmModiPermisos = new TFrmModiPermisos(nullptr);
  FrmModiPermisos->ShowModal();
  delete FrmModiPermisos;
  EXPECT_EQ(ui->lastMessage(), "Permisos modificados.");
  EXPECT_TRUE(ClaveCoincide("dos", Clave("ana").c_str()));
  EXPECT_EQ(Valor(libros, "SELECT NUSUARIO FROM permisos WHERE LOGIN='ana'"), "Ana María");
}

TEST_F(Usuarios, ModificarClaveAntiguaSinCifrarSeCifraAlGrabar) {
  Ejecutar(libros, "UPDATE permisos SET PASSWORD='vieja' WHERE LOGIN='gestordelibro'");
  DM->TblPermisos->Refresh();
  ui->onModal("TFrmModiPermisos").click("&Aceptar");
  FrmModiPermisos = new TFrmModiPermisos(nullptr);
  FrmModiPermisos->ShowModal();
  delete FrmModiPermisos;
  EXPECT_EQ(ui->lastMessage(), "Permisos modificados.");
  std::string clave = Clave("gestordelibro");
  EXPECT_TRUE(EsClaveCifrada(clave.c_str()));
  EXPECT_TRUE(ClaveCoincide("vieja", clave.c_str()));
}

TEST_F(Usuarios, BorrarNoTocaAlAdministradorNiTextosAjenos) {
  Adicionar("ana", "Ana", "uno", "uno");
  ui->onModal("TFrmBorrarPermiso").click("&Aceptar");  // primer usuario: el administrador
  FrmBorrarPermiso = new TFrmBorrarPermiso(nullptr);
  EXPECT_EQ(FrmBorrarPermiso->ShowModal(), mrOk);
  delete FrmBorrarPermiso;
  EXPECT_EQ(ui->lastMessage(), "No se puede borrar el usuario administrador.");

  ui->onModal("TFrmBorrarPermiso").run([](TForm& f) {
    static_cast<TFrmBorrarPermiso&>(f).CBLogin->UserSetText("ana:otra");
  }).click("&Aceptar");
  FrmBorrarPermiso = new TFrmBorrarPermiso(nullptr);
  FrmBorrarPermiso->ShowModal();
  delete FrmBorrarPermiso;
  EXPECT_EQ(ui->lastMessage(), "Escoja un usuario de la lista.");
  EXPECT_EQ(Filas(), "2");

  ui->onModal("TFrmBorrarPermiso").pick("CBLogin", "ana:Ana").click("&Aceptar");
  FrmBorrarPermiso = new TFrmBorrarPermiso(nullptr);
  FrmBorrarPermiso->ShowModal();
  delete FrmBorrarPermiso;
  EXPECT_EQ(ui->lastMessage(), "Permiso de Usuarios Eliminado");
  EXPECT_EQ(Filas(), "1");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Usuarios, UsuarioDesaparecidoAbreLaReparacion) {
  Adicionar("ana", "Ana", "uno", "uno");
  ui->takeMessages();
  ui->onModal("TFrmBorrarPermiso")
      .run([this](TForm&) { Ejecutar(libros, "DELETE FROM permisos WHERE LOGIN='ana'"); })
      .pick("CBLogin", "ana:Ana")
      .click("&Aceptar");
  ui->onModal("TRepairDialog").click("Iniciar reparación");
  FrmBorrarPermiso = new TFrmBorrarPermiso(nullptr);
  FrmBorrarPermiso->ShowModal();
  delete FrmBorrarPermiso;
  ASSERT_FALSE(ui->messages().empty());
  EXPECT_EQ(ui->messages()[0].Text, "Existe un problema con las tablas. Pulse aceptar para repararlas.");
  EXPECT_TRUE(DM->TablasAbiertas());
  EXPECT_EQ(ui->unused(), "");
}
