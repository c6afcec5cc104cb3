#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/DataModule.h"
#include "budget/FrmExplAsientosPptal.h"
#include "budget/FrmExplRegPptal.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"

using presupuesto::Presupuesto;

namespace {

class Explorador : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Movimiento("1", "ADD", "2026-02-01", {{"1.2.05", "I", 10, 0}, {"2.3.2", "E", 0, 10}}, "Adicion uno");
    Movimiento("1", "TRA", "2026-02-02", {{"2.3.2", "E", 0, 5}, {"2.1.1.01", "E", 0, -5}}, "Traslado");
    // Renglón sin encabezado: no sale en la exportación.
    Sql("INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "VALUES ('9', 'RED', 'huerfano', 'E', 0, 1)");
    DM->tblMvtPptalMaestro->Refresh();
    DM->tblMvtPptal->Refresh();
    f = std::make_unique<TfrmExplAsientosPptal>(nullptr);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    Presupuesto::TearDown();
  }
  void Ir(const char* numero, const char* tipo) {
    ASSERT_TRUE(DM->tblMvtPptalMaestro->Locate("iMvtPptal;tipoMvtPptal", VarArrayOf({Variant(numero), Variant(tipo)})));
  }
  std::string Renglones() {
    return Leer("SELECT group_concat(x, ',') FROM (SELECT tipoMvtPptal || iMvtPptal || icuenta AS x FROM mvtPptal "
                "ORDER BY 1)");
  }
  std::unique_ptr<TfrmExplAsientosPptal> f;
};

TEST_F(Explorador, BorrarPreguntaYQuitaEncabezadoYRenglones) {
  Ir("1", "ADD");
  ui->answer("Está seguro de borrar el movimiento presupuestal seleccionado?", IDNO);
  ui->now(f.get()).click("&Eliminar el seleccionado actualmente");
  EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro"), "2");
  Ir("1", "ADD");
  ui->answer("Está seguro de borrar el movimiento presupuestal seleccionado?", IDYES);
  ui->now(f.get()).click("&Eliminar el seleccionado actualmente");
  EXPECT_EQ(Leer("SELECT group_concat(tipoMvtPptal) FROM MvtPptalMaestro"), "TRA");
  EXPECT_EQ(Renglones(), "RED9huerfano,TRA12.1.1.01,TRA12.3.2");
  EXPECT_EQ(ui->messages()[0].Caption, "Información");
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Explorador, DobleClicMuestraLosRenglones) {
  Ir("1", "TRA");
  int filas = -1;
  ui->onModal("TfrmExplMvtPptal").run([&](TForm& l) {
    filas = static_cast<TfrmExplMvtPptal&>(l).dbgMvtPpal->DisplayRowCount();
    EXPECT_EQ(l.Caption, "Explorar movimiento presupuestal");
  }).close();
  ui->now(f.get()).dblclick("DBGrid1");
  EXPECT_EQ(filas, 2);
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Explorador, ExportarACsv) {
  ui->cancelDialog();
  ui->now(f.get()).click("&Exportar");
  EXPECT_FALSE(std::filesystem::exists(dir + "/movPptal.csv"));
  EXPECT_TRUE(ui->launches().empty());

  std::string archivo = dir + "/exportado.csv";
  ui->answerDialog(archivo.c_str());
  ui->now(f.get()).click("&Exportar");
  std::ifstream in(archivo);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string csv = ss.str();
  EXPECT_EQ(csv.rfind("sep=", 0), 0u) << csv;
  EXPECT_NE(csv.find("detalle"), std::string::npos);
  EXPECT_NE(csv.find("Adicion uno"), std::string::npos);
  EXPECT_NE(csv.find("Traslado"), std::string::npos);
  EXPECT_EQ(csv.find("huerfano"), std::string::npos);
  ASSERT_EQ(ui->launches().size(), 1u);
  EXPECT_NE(ui->launches()[0].target.str().find("exportado.csv"), std::string::npos);
}

}  // namespace

// Los exploradores se cierran con Esc, también desde la rejilla.
TEST_F(Explorador, EscCierraLosExploradoresDesdeLaRejilla) {
  auto explorador = std::make_unique<TfrmExplAsientosPptal>(nullptr);
  ui->onModal("TfrmExplAsientosPptal").focus("DBGrid1").keys("Esc");
  EXPECT_EQ(explorador->ShowModal(), mrCancel);
  auto registros = std::make_unique<TfrmExplRegPptal>(nullptr);
  ui->onModal("TfrmExplRegPptal").focus("DBGrid1").keys("Esc");
  EXPECT_EQ(registros->ShowModal(), mrCancel);
  EXPECT_EQ(ui->unused(), "");
}
