#include <filesystem>

#include "Maestros.h"
#include "app/DataModule.h"
#include "app/schema/Schema.h"
#include "ledger/FrmTablas.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"

using maestros::Linea;

namespace {

class MaestrosTest : public maestros::Maestros {
 protected:
  void Abrir(TipoTabla t) {
    auto* f = new TFrmTablas(nullptr);
    f->Tabla = t;
    f->ShowModal();
    delete f;
  }
  // Paso de guion que deja la tabla en la fila del código.
  static std::function<void(TForm&)> En(TTable* t, const char* campo, const char* valor) {
    return [=](TForm&) { ASSERT_TRUE(t->Locate(campo, Variant(AnsiString(valor)))) << valor; };
  }
};

TEST_F(MaestrosTest, FilaNuevaDeLasTresTablasPequenas) {
  struct Caso {
    TipoTabla tabla;
    const char* titulo;
    const char* codigo;
    const char* guardado;
    const char* sql;
  };
  for (Caso c : {Caso{Documentos, "Nuevo comprobante", "ZQXW", "ZQX", "SELECT NombDocu FROM DG WHERE CodiDocu='ZQX'"},
                 Caso{Soportes, "Nuevo soporte", "S'1", "S'1", "SELECT NombComp FROM CP WHERE CodiComp='S''1'"},
                 Caso{CentCost, "Nuevo Centro de Costos", "0123456789", "0123456789",
                      "SELECT NombCent FROM CC WHERE CodiCent='0123456789'"}}) {
    std::string titulo;
    ui->onModal("TFrmTablas").click("Nuevo").click("&Cerrar");
    ui->onModal("TFrmNuevoCCostos_Docu_Sop")
        .run([&](TForm& f) { titulo = f.Caption.str(); })
        .set("EdCodigo", c.codigo)
        .set("EdNombre", "Nombre nuevo")
        .click("Aceptar");
    Abrir(c.tabla);
    EXPECT_EQ(titulo, c.titulo);
    EXPECT_EQ(Sql(c.sql), "Nombre nuevo") << c.codigo;
  }
  EXPECT_EQ(Sql("SELECT coalesce(ExigeMvtPptal, '-') || coalesce(esIngreso, '-') FROM DG WHERE CodiDocu='ZQX'"),
            "--");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(MaestrosTest, FilaNuevaRechazaCodigoVacioRepetidoYNombreVacio) {
  Ejecutar(libros, "INSERT INTO CC (CodiCent, NombCent) VALUES ('ADM', 'Administración')");
  Refrescar();
  struct Caso {
    const char* codigo;
    const char* nombre;
    const char* mensaje;
  };
  for (Caso c : {Caso{"", "X", "Debe Corregir: \nDebe Colocar un Codigo \n"},
                 Caso{"ADM", "", "Debe Corregir: \nCodigo Ya Existe \nDebe Colocar un Nombre \n"}}) {
    ui->takeMessages();
    ui->onModal("TFrmTablas").click("Nuevo").click("&Cerrar");
    ui->onModal("TFrmNuevoCCostos_Docu_Sop").set("EdCodigo", c.codigo).set("EdNombre", c.nombre).click("Aceptar");
    Abrir(CentCost);
    EXPECT_EQ(ui->lastMessage(), c.mensaje);
    EXPECT_EQ(Sql("SELECT count(*) FROM CC"), "1");
  }
}

TEST_F(MaestrosTest, CambioDeNombreDeSoporteYCentro) {
  Ejecutar(libros, "INSERT INTO CC (CodiCent, NombCent) VALUES ('ADM', 'Administración')");
  Ejecutar(libros, "INSERT INTO CP (CodiComp, NombComp) VALUES ('QQ', 'Viejo')");
  Refrescar();
  AnsiString codigo, nombre;
  ui->onModal("TFrmTablas").run(En(DM->TblSoportes, "CodiComp", "QQ")).click("Modificar").click("&Cerrar");
  ui->onModal("TFrmModifCCostos_Docu_Sop")
      .run([&](TForm& f) {
        auto& m = static_cast<TFrmModifCCostos_Docu_Sop&>(f);
        codigo = m.LblCodigo->Caption;
        nombre = m.EdNombre->Text;
      })
      .set("EdNombre", "Nuevo")
      .click("Aceptar");
  Abrir(Soportes);
  EXPECT_EQ(codigo, "QQ");
  EXPECT_EQ(nombre, "Viejo");
  EXPECT_EQ(Sql("SELECT CodiComp || NombComp FROM CP WHERE CodiComp='QQ'"), "QQNuevo");

  ui->onModal("TFrmTablas").run(En(DM->TblCCostos, "CodiCent", "ADM")).click("Modificar").click("&Cerrar");
  ui->onModal("TFrmModifCCostos_Docu_Sop").set("EdNombre", "").click("Aceptar");
  Abrir(CentCost);
  EXPECT_EQ(ui->lastMessage(), "Debe Corregir: \nDebe Colocar un Nombre \n");
  EXPECT_EQ(Sql("SELECT NombCent FROM CC"), "Administración");
}

TEST_F(MaestrosTest, TipoDeDocumentoConsusMarcas) {
  Ejecutar(libros, "INSERT INTO DG (CodiDocu, NombDocu, ExigeMvtPptal) VALUES ('ZZ', 'Egreso', 'S')");
  Refrescar();
  int exige = -1, ingreso = -1;
  ui->onModal("TFrmTablas").run(En(DM->TblDocumentos, "CodiDocu", "ZZ")).click("Modificar").click("&Cerrar");
  ui->onModal("TfrmModiDocu")
      .run([&](TForm& f) {
        auto& m = static_cast<TfrmModiDocu&>(f);
        exige = m.RadioGroup1->ItemIndex;
        ingreso = m.RadioGroup2->ItemIndex;
      })
      .click("Aceptar");
  Abrir(Documentos);
  EXPECT_EQ(exige, 0);
  EXPECT_EQ(ingreso, 1);
  EXPECT_EQ(Sql("SELECT NombDocu || ExigeMvtPptal || esIngreso FROM DG WHERE CodiDocu='ZZ'"), "EgresoSN");
}

TEST_F(MaestrosTest, BorrarSoloSinMovimiento) {
  Ejecutar(libros, "INSERT INTO CC (CodiCent, NombCent) VALUES ('USO', 'Usado'), ('LIB', 'Libre')");
  Ejecutar(libros, "INSERT INTO DG (CodiDocu, NombDocu) VALUES ('ZU', 'Usado'), ('ZL', 'Libre')");
  Ejecutar(libros, "INSERT INTO CP (CodiComp, NombComp) VALUES ('PU', 'Usado'), ('PL', 'Libre')");
  Tercero("T'U", "USADO");
  Tercero("TP", "SOLO PRESUPUESTO");
  Ejecutar(libros, "INSERT INTO mvtRegPptal (irp, itercero) VALUES (1, 'TP')");
  Agregar({.cuenta = "110505", .fecha = "2026-02-01", .debito = 1, .centcost = "USO", .tercero = "T'U",
           .docu = "ZU", .numero = "77", .comp = "PU"});
  Refrescar();
  struct Caso {
    TipoTabla tabla;
    TTable* t;
    const char* campo;
    const char* usado;
    const char* libre;
    const char* sql;
  };
  for (Caso c : {Caso{CentCost, DM->TblCCostos, "CodiCent", "USO", "LIB", "SELECT group_concat(CodiCent) FROM CC"},
                 Caso{Documentos, DM->TblDocumentos, "CodiDocu", "ZU", "ZL",
                      "SELECT group_concat(CodiDocu) FROM DG WHERE CodiDocu LIKE 'Z%'"},
                 Caso{Soportes, DM->TblSoportes, "CodiComp", "PU", "PL",
                      "SELECT group_concat(CodiComp) FROM CP WHERE CodiComp IN ('PU', 'PL')"},
                 Caso{Terceros, DM->TblTerceros, "CedulaNIT", "T'U", "TP",
                      "SELECT group_concat(CedulaNIT) FROM TC WHERE CedulaNIT IS NOT NULL"}}) {
    ui->takeMessages();
    ui->onModal("TFrmTablas")
        .run(En(c.t, c.campo, c.usado))
        .click("&Borrar")
        .run(En(c.t, c.campo, c.libre))
        .click("&Borrar")
        .click("&Cerrar");
    Abrir(c.tabla);
    ASSERT_EQ(ui->messages().size(), 1u) << c.usado;
    EXPECT_EQ(ui->messages()[0].Text, "Existe movimiento contable relacionado");
    EXPECT_EQ(ui->messages()[0].Caption, "No se puede borrar sin antes borrar ese movimiento");
    EXPECT_EQ(Sql(c.sql), c.usado);
  }
}

TEST_F(MaestrosTest, SinTerceroNuncaSeBorra) {
  ui->onModal("TFrmTablas")
      .run([](TForm&) { DM->TblTerceros->First(); })
      .click("&Borrar")
      .click("&Cerrar");
  Abrir(Terceros);
  EXPECT_EQ(ui->lastMessage(), "Existe movimiento contable relacionado");
  EXPECT_EQ(Sql("SELECT count(*) FROM TC WHERE CedulaNIT IS NULL"), "1");
}

TEST_F(MaestrosTest, BuscarNoMueveLaFila) {
  Tercero("100", "ALFA");
  Tercero("200", "BETA");
  ui->onModal("TFrmTablas").run(En(DM->TblTerceros, "CedulaNIT", "100")).click("Buscar").click("&Cerrar");
  ui->onModal("TFrmBuscTabla").set("EdBusqueda", "200").click("&Aceptar");
  Abrir(Terceros);
  EXPECT_EQ(AnsiString(DM->TblTerceros->FieldByName("CedulaNIT")->AsString), "100");
}

TEST_F(MaestrosTest, OrdenPorNombreYVueltaAlCerrar) {
  Tercero("100", "BETA");
  Tercero("200", "ALFA");
  std::vector<std::string> porNombre, botones;
  bool visibles = false;
  ui->onModal("TFrmTablas")
      .run([&](TForm& f) {
        auto& t = static_cast<TFrmTablas&>(f);
        visibles = t.BtnOrden->Visible && t.BtnPrint->Visible && t.btnExportar->Visible;
      })
      .click("Cambiar orden")
      .run([&](TForm& f) {
        auto* g = static_cast<TFrmTablas&>(f).DS;
        botones.push_back(static_cast<TFrmTablas&>(f).BtnOrden->Caption.str());
        for (int r = 0; r < g->DisplayRowCount(); ++r) porNombre.push_back(g->DisplayText(0, r).str());
      })
      .click("BtnOrden")
      .run([&](TForm& f) { botones.push_back(static_cast<TFrmTablas&>(f).BtnOrden->Caption.str()); })
      .click("BtnOrden")
      .click("&Cerrar");
  Abrir(Terceros);
  EXPECT_TRUE(visibles);
  EXPECT_EQ(porNombre, (std::vector<std::string>{"200", "100", ""}));
  EXPECT_EQ(botones, (std::vector<std::string>{"Por nombre", "Por NIT"}));
  EXPECT_EQ(AnsiString(DM->TblTerceros->IndexName), "");

  // Las otras tablas no ofrecen orden, impresión ni exportación.
  ui->onModal("TFrmTablas")
      .run([&](TForm& f) { visibles = static_cast<TFrmTablas&>(f).BtnOrden->Visible; })
      .click("&Cerrar");
  Abrir(Soportes);
  EXPECT_FALSE(visibles);
}


// "Por nombre" ordena como en español: mayúsculas y tildes no cuentan y la "Ñ" va después de
// la "N"; el orden se pide al consultar, sin guardarlo en el índice de nombres.
TEST_F(MaestrosTest, PorNombreEnOrdenEspanolConSuIndice) {
  const char* const nombres[] = {"peña", "Óscar", "oso", "Ñandú", "nube", "Beto", "ana", "ÁLVARO"};
  int id = 100;
  for (const char* n : nombres) Tercero(std::to_string(id++), n);
  std::vector<std::string> porNombre;
  ui->onModal("TFrmTablas")
      .click("Cambiar orden")
      .run([&](TForm& f) {
        auto* g = static_cast<TFrmTablas&>(f).DS;
        for (int r = 0; r < g->DisplayRowCount(); ++r) porNombre.push_back(g->DisplayText(0, r).str());
      })
      .click("&Cerrar");
  Abrir(Terceros);
  // ÁLVARO, ana, Beto, nube, Ñandú, Óscar, oso, peña
  EXPECT_EQ(porNombre, (std::vector<std::string>{"107", "106", "105", "104", "103", "101", "102", "100", ""}));
  // El orden se pide al consultar: el índice guardado queda simple, también el de un libro
  // que lo tenía con el orden español.
  EXPECT_EQ(Valor(libros, "SELECT sql FROM sqlite_master WHERE name='IdxNombre'").find("COLLATE"), std::string::npos);
  Ejecutar(libros, "DROP INDEX IdxNombre");
  Ejecutar(libros, "CREATE INDEX IdxNombre ON TC (nombre COLLATE ES)");
  tv::schema::UpgradeBooks(libros);
  EXPECT_EQ(Valor(libros, "SELECT sql FROM sqlite_master WHERE name='IdxNombre'").find("COLLATE"), std::string::npos);
}
TEST_F(MaestrosTest, ImprimirYExportarTerceros) {
  Tercero("100", "ZETA");
  std::string libro = dir + "/terceros.xlsx";
  ui->answerDialog(libro.c_str());
  auto antes = std::filesystem::current_path();
  ui->onModal("TFrmTablas").click("Imprimir").click("Exportar a Excel").click("&Cerrar");
  Abrir(Terceros);
  EXPECT_TRUE(std::filesystem::exists(libro));
  EXPECT_EQ(std::filesystem::current_path(), antes);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(MaestrosTest, NuevoYModificarTerceroDesdeElExplorador) {
  Tercero("100", "ZETA");
  ui->onModal("TFrmTablas").click("Nuevo").run(En(DM->TblTerceros, "CedulaNIT", "100")).click("Modificar").click("&Cerrar");
  ui->onModal("TFrmNuevoTercero").set("EdCedula", "300").set("edApellido1", "A").set("edNombre1", "B").click("&Aceptar");
  ui->onModal("TFrmNuevoTercero").set("edApellido1", "C").set("edNombre1", "D").click("&Aceptar");
  Abrir(Terceros);
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='300'"), "A  B ");
  EXPECT_EQ(Sql("SELECT nombre FROM TC WHERE CedulaNIT='100'"), "C  D ");
}

}  // namespace
