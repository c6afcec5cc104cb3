#include <filesystem>
#include <fstream>

#include "support/Instalacion.h"
#include "platform/db/Engine.h"
#include "app/Contabilidades.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "app/FrmClave.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"

using admin::Instalacion;

namespace {

class Contabilidades : public Instalacion {
 protected:
  int Cambiar() {
    FrmCambiarContabilidad = new TFrmCambiarContabilidad(nullptr);
    int r = FrmCambiarContabilidad->ShowModal();
    delete FrmCambiarContabilidad;
    return r;
  }
  int Borrar() {
    FrmBorrarContabilida = new TFrmBorrarContabilida(nullptr);
    int r = FrmBorrarContabilida->ShowModal();
    delete FrmBorrarContabilida;
    return r;
  }
  std::string Activa(const std::string& nombre) {
    return Valor(dir, "SELECT Activa FROM contabs WHERE NContabilidad='" + nombre + "'");
  }
};

}  // namespace

TEST_F(Contabilidades, CambiarPideLaEntradaDeLaNuevaYCargaSusDerechos) {
  // Ruta relativa a la carpeta del programa.
  std::string otra = OtraContabilidad("Otra", 2025);
  Ejecutar(dir, "UPDATE contabs SET rutaContabilidad='Otra2025' WHERE NContabilidad='Otra'");
  DM->TblContabs->Refresh();
  ASSERT_TRUE(Permisos.GetPermisoBorrar());
  ui->onModal("TFrmCambiarContabilidad")
      .run([](TForm& f) { EXPECT_EQ(static_cast<TFrmCambiarContabilidad&>(f).DBGrid1->DisplayRowCount(), 2); })
      .row("DBGrid1", 1)
      .click("Cambiar");
  ui->onModal("TFrmClave")
      .run([](TForm& f) {
        // Solo los usuarios de la contabilidad nueva.
        EXPECT_EQ(static_cast<TFrmClave&>(f).CBLogin->Items->Count(), 1);
      })
      .set("EdPassword", "clave")
      .click("&Aceptar");
  EXPECT_EQ(Cambiar(), mrOk);
  EXPECT_EQ(PathCont, otra.c_str());
  EXPECT_EQ(NContabilidad, "Otra");
  EXPECT_EQ(anioGlobal, 2025);
  EXPECT_EQ(Login, "otro");
  EXPECT_TRUE(Permisos.GetPermisoGrabar());
  EXPECT_FALSE(Permisos.GetPermisoBorrar());
  EXPECT_FALSE(Permisos.GetPermisoModificar());
  EXPECT_EQ(Permisos.GetClaveAdmin(), "");  // la otra contabilidad no tiene administrador
  EXPECT_EQ(DM->TblConfigContab->FieldByName("NContabilidad")->AsString(), "Otra");
  EXPECT_EQ(CarpetaDeMarca(), otra.c_str());
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Contabilidades, EntradaAlCambiarSePuedeDejarYNuncaTerminaElPrograma) {
  OtraContabilidad("Otra", 2025);
  auto sigueLaAbierta = [this](TForm&) {
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(PathCont, libros.c_str());
    EXPECT_EQ(Login, "gestordelibro");
    EXPECT_EQ(NContabilidad, tv::schema::kStarterBooksName);
  };
  // Tres claves malas, luego Esc, luego "Cancelar": cada vez se vuelve a la lista.
  ui->onModal("TFrmCambiarContabilidad")
      .row("DBGrid1", 1)
      .click("Cambiar")
      .run(sigueLaAbierta)
      .click("Cambiar")
      .run(sigueLaAbierta)
      .click("Cambiar")
      .run(sigueLaAbierta)
      .click("Seguir en la misma");
  ui->onModal("TFrmClave")
      .set("EdPassword", "mala")
      .click("&Aceptar")
      .set("EdPassword", "mala")
      .click("&Aceptar")
      .set("EdPassword", "mala")
      .click("&Aceptar");
  ui->onModal("TFrmClave").keys("Esc");
  ui->onModal("TFrmClave").set("EdPassword", "clave").click("Cancelar");
  EXPECT_EQ(Cambiar(), mrCancel);
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(PathCont, libros.c_str());
  EXPECT_TRUE(Permisos.GetPermisoBorrar());
  EXPECT_EQ(DM->TblConfigContab->FieldByName("NContabilidad")->AsString(), tv::schema::kStarterBooksName);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Contabilidades, SeguirEnLaMismaReconoceLaAbiertaPorCarpetaYAnio) {
  OtraContabilidad("Otra", 2025);
  NContabilidad = "Renombrada";  // la configuración cambió el nombre
  ui->onModal("TFrmCambiarContabilidad").row("DBGrid1", 1).click("Seguir en la misma");
  EXPECT_EQ(Cambiar(), mrCancel);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(DM->TblContabs->FieldByName("NContabilidad")->AsString(), tv::schema::kStarterBooksName);
}

TEST_F(Contabilidades, AbiertaFueraDeLaListaReparaLaCarpetaDelPrograma) {
  Ejecutar(dir, "UPDATE contabs SET Activa='N'");
  DM->TblContabs->Refresh();
  ui->onModal("TFrmCambiarContabilidad").click("Seguir en la misma");
  Cambiar();
  ASSERT_FALSE(ui->messages().empty());
  EXPECT_EQ(ui->messages()[0].Text,
            "La tabla de contabilidades se encuentra corrupta.Tallivar intentará repararla.");
  EXPECT_TRUE(DM->TablasAbiertas());
  EXPECT_EQ(DM->TblConfigContab->FieldByName("NContabilidad")->AsString(), tv::schema::kStarterBooksName);
  // El respaldo de la reparación queda en la carpeta del programa.
  bool respaldo = false;
  for (auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_directory() && e.path().filename() != "images" &&
        e.path().filename() != std::filesystem::path(libros).filename())
      respaldo = true;
  EXPECT_TRUE(respaldo);
}

TEST_F(Contabilidades, BorrarPreguntaYNuncaBorraLaAbierta) {
  OtraContabilidad("Otra", 2025);
  // No: nada cambia, pero el diálogo se cierra.
  ui->answer("eliminada", IDNO);
  ui->onModal("TFrmBorrarContabilida").row("DBGrid1", 1).click("&Borrar");
  EXPECT_EQ(Borrar(), mrOk);
  EXPECT_EQ(Activa("Otra"), "S");

  // La abierta no se borra aunque su nombre haya cambiado.
  NContabilidad = "Renombrada";
  ui->answer("eliminada", IDYES);
  ui->onModal("TFrmBorrarContabilida").row("DBGrid1", 0).click("&Borrar");
  Borrar();
  EXPECT_EQ(ui->lastMessage(), "No se puede borrar la contabilidad de trabajo actual");
  EXPECT_EQ(Activa(tv::schema::kStarterBooksName), "S");

  ui->answer("eliminada", IDYES);
  ui->onModal("TFrmBorrarContabilida").row("DBGrid1", 1).click("&Borrar");
  Borrar();
  EXPECT_EQ(ui->lastMessage(), "Contabilidad Borrada");
  EXPECT_EQ(Activa("Otra"), "N");
  EXPECT_EQ(DM->TblContabs->RecordCount, 1);
  EXPECT_EQ(ui->unused(), "");
  for (auto& m : ui->messages()) {
    if (m.Kind == MsgKind::MessageBox) {
      EXPECT_EQ(m.Caption, "Advertencia");
    }
  }
}

TEST_F(Contabilidades, EditorTitulaSusColumnasValidaActivaYGrabaLaFilaAlCerrar) {
  OtraContabilidad("Otra", 2025, "N");
  ui->onModal("TfrmEditarContabs")
      .run([](TForm& f) {
        auto* g = static_cast<TfrmEditarContabs&>(f).DBGrid1;
        EXPECT_EQ(g->DisplayRowCount(), 2);
        std::vector<std::string> titulos;
        for (TColumn* c : g->DisplayColumns()) titulos.push_back(c->DisplayTitle().str());
        EXPECT_EQ(titulos, (std::vector<std::string>{"Contabilidad", "Carpeta", "Año", "Activa"}));
      })
      // Una letra que no es S ni N no se graba: se avisa y la fila sigue en edición.
      .editCell("DBGrid1", 3, 1, "x")
      .row("DBGrid1", 0)
      .run([this](TForm&) {
        EXPECT_EQ(ui->lastMessage(), "La columna Activa solo acepta S (activa) o N (borrada).");
        EXPECT_EQ(Activa("Otra"), "N");
      })
      // La minúscula se toma como mayúscula.
      .editCell("DBGrid1", 3, 1, "s")
      .row("DBGrid1", 0)
      // Una fila nueva, escrita y sin salir de ella: se graba al cerrar; el nombre toma
      // solo lo que cabe.
      .editCell("DBGrid1", 0, 2, "Nueva contabilidad")
      .editCell("DBGrid1", 1, 2, "Nueva2027")
      .editCell("DBGrid1", 2, 2, "2027")
      .editCell("DBGrid1", 3, 2, "n")
      .close();
  AbrirEditorDeContabs(nullptr);
  EXPECT_EQ(ui->lastMessage(), "Salga y vuelva a probar");
  EXPECT_EQ(Activa("Otra"), "S");
  EXPECT_EQ(Valor(dir, "SELECT count(*) FROM contabs"), "3");
  EXPECT_EQ(Valor(dir, "SELECT NContabilidad || '|' || rutaContabilidad || '|' || Activa FROM contabs WHERE anio=2027"),
            "Nueva cont|Nueva2027|N");
  // La reactivada aparece en la lista de las activas.
  DM->TblContabs->Refresh();
  EXPECT_EQ(DM->TblContabs->RecordCount, 2);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Contabilidades, EditorNoCierraConUnaFilaInvalida) {
  ui->onModal("TfrmEditarContabs")
      .editCell("DBGrid1", 3, 0, "?")
      .close()
      .run([this](TForm&) { EXPECT_EQ(ui->lastMessage(), "La columna Activa solo acepta S (activa) o N (borrada)."); })
      .editCell("DBGrid1", 3, 0, "S")
      .close();
  AbrirEditorDeContabs(nullptr);
  EXPECT_EQ(Activa(tv::schema::kStarterBooksName), "S");
  EXPECT_EQ(ui->lastMessage(), "Salga y vuelva a probar");
}

// Unos libros cuyo archivo falta o quedó vacío se dicen con su nombre y carpeta, y nunca se
// reemplazan por unos vacíos.
TEST_F(Contabilidades, LibrosQueFaltanSeDicenYNoSeCreanVacios) {
  namespace fs = std::filesystem;
  for (bool vacio : {false, true}) {
    SCOPED_TRACE(vacio ? "archivo vacío" : "archivo borrado");
    std::string otra = OtraContabilidad(vacio ? "Vacia" : "Perdida", 2025);
    fs::path archivo = fs::path(otra) / tv::db::kDatabaseFileName;
    tv::db::ReleaseDatabase(otra.c_str());
    fs::remove(archivo);
    if (vacio) std::ofstream(archivo.string()).close();
    ui->takeMessages();
    EXPECT_FALSE(AbrirContabilidad(nullptr, otra.c_str(), vacio ? "Vacia" : "Perdida", 2025, false));
    ASSERT_EQ(ui->messages().size(), 1u) << ui->messageTexts().c_str();
    EXPECT_EQ(ui->lastMessage(), AnsiString("No se encuentran los libros de la contabilidad ") +
                                     (vacio ? "Vacia" : "Perdida") + " en " + otra.c_str() + ".");
    EXPECT_EQ(fs::exists(archivo), vacio);
    if (vacio) EXPECT_EQ(fs::file_size(archivo), 0u);
    tv::db::ReleaseDatabase(otra.c_str());
  }
}
