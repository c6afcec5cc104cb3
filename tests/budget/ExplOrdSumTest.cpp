// Explorador de órdenes de suministro: renglones que siguen a la orden, borrado, corrimiento
// de encabezados y renglones, y la orden impresa con todos sus renglones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "budget/FrmExplOrdSum.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

// Con TV_REPORTS_PDF el impreso queda también en PDF para mirarlo.
void Pdf(const tv::report::PreparedReport& r, const char* nombre) {
  if (const char* carpeta = std::getenv("TV_REPORTS_PDF"))
    tv::report::SavePdf(r, std::string(carpeta) + "/" + nombre + ".pdf");
}

class ExplOrdSum : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Papelería Sur')");
    Sql("INSERT INTO articulos (iArticulo, nArticulo) VALUES ('P01', 'Papel')");
    for (int n : {2, 3, 4})
      Sql("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
          "VALUES (" + std::to_string(n) + ", '2026-03-01', '800', 'Orden', 2, 50, 7)");
    Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
        "(2, 'P01', 1, 1), (3, 'P01', 2, 10), (3, 'X99', 1, 30), (4, 'P01', 4, 4)");
    DM->tblMvtOrdenSumiMaestro->Refresh();
    tv::report::HeadlessUi().Clear();
    f = std::make_unique<TfrmExplOrdSum>(nullptr);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    Presupuesto::TearDown();
  }
  void Ir(int n) { ASSERT_TRUE(DM->tblMvtOrdenSumiMaestro->Locate("iOrdenSuministro", Variant(static_cast<double>(n)))); }
  std::string Numeros(const char* tabla) {
    return Leer(std::string("SELECT group_concat(iOrdenSuministro, ',') FROM (SELECT iOrdenSuministro FROM ") + tabla +
                " ORDER BY 1)");
  }
  std::unique_ptr<TfrmExplOrdSum> f;
};

TEST_F(ExplOrdSum, RenglonesSiguenALaOrdenEImpresoConTodos) {
  Ir(3);
  EXPECT_EQ(f->DBGrid2->DisplayRowCount(), 2);  // el artículo inexistente también
  Ir(4);
  EXPECT_EQ(f->DBGrid2->DisplayRowCount(), 1);
  Ir(3);
  ui->now(f.get()).click("btnImprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  Pdf(r->report, "orden");
  std::string t = tv::report::DumpText(r->report);
  for (std::string s : std::initializer_list<std::string>{"ORDEN DE SUMINISTRO: 3", "TERCERO: 800 Papelería Sur", "Papel", prueba::Mostrado("20.00"), prueba::Mostrado("30.00"),
                        "TOTAL:", prueba::Mostrado("50.00"), "PROVEEDOR:"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
}

TEST_F(ExplOrdSum, BorrarPreguntaYQuitaEncabezadoYRenglones) {
  Ir(3);
  ui->answer("Está seguro de borrar la órden de suministro 3?", IDNO);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "2,3,4");
  Ir(3);
  ui->answer("Está seguro de borrar la órden de suministro 3?", IDYES);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "2,4");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "2,4");
  EXPECT_EQ(ui->unused(), "");
}

// Números con prefijo de año (más de 16.777.216) y alrededor de 1.000.000: renglones, impreso,
// borrado y corrimientos obran sobre la orden elegida y no sobre su vecina.
TEST_F(ExplOrdSum, NumerosGrandesExactosEnCadaAccion) {
  Sql("DELETE FROM mvtOrdenSumiMaestro");
  Sql("DELETE FROM mvtOrdenSuministro");
  for (const char* n : {"1000000", "1000001", "20260000", "20260001"})
    Sql(std::string("INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, "
                    "irp) VALUES (") + n + ", '2026-03-01', '800', 'Orden', 1, 4, 7)");
  Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES "
      "(1000000, 'P01', 1, 1), (1000001, 'P01', 1, 1), (20260000, 'P01', 1, 1), (20260000, 'X99', 1, 1), "
      "(20260001, 'P01', 7, 3)");
  DM->tblMvtOrdenSumiMaestro->Refresh();
  Ir(20260001);
  EXPECT_EQ(f->DBGrid2->DisplayRowCount(), 1);
  ui->now(f.get()).click("btnImprimir");
  std::string t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  for (std::string s : {std::string("ORDEN DE SUMINISTRO: 20260001"), prueba::Mostrado("21.00")})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  Ir(20260001);
  ui->answer("Está seguro de borrar la órden de suministro 20260001?", IDYES);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "1000000,1000001,20260000");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "1000000,1000001,20260000,20260000");
  Ir(20260000);
  ui->now(f.get()).click("btnInsNuevo");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "1000000,1000001,20260001");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "1000000,1000001,20260001,20260001");
  Ir(1000001);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(ui->lastMessage(), "La orden anterior debe tener un número no consecutivo.");
  Ir(20260001);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "1000000,1000001,20260000");
}

TEST_F(ExplOrdSum, ConsecutivosMuevenEncabezadosYRenglones) {
  Ir(3);
  ui->now(f.get()).click("btnInsNuevo");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "2,4,5");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "2,4,4,5");
  Ir(4);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "2,3,4");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "2,3,3,4");
  Ir(3);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(ui->lastMessage(), "La orden anterior debe tener un número no consecutivo.");
  EXPECT_EQ(Numeros("mvtOrdenSumiMaestro"), "2,3,4");
  Sql("DELETE FROM mvtOrdenSumiMaestro");
  DM->tblMvtOrdenSumiMaestro->Refresh();
  ui->now(f.get()).click("btnInsNuevo");
  EXPECT_EQ(ui->lastMessage(), "Primero seleccione una orden.");
  EXPECT_EQ(Numeros("mvtOrdenSuministro"), "2,3,3,4");
}

}  // namespace
