// Explorador de órdenes de servicio: periodo, borrado, corrimiento de números e impresos.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "budget/FrmExplOrdenServ.h"
#include "budget/FrmRptOrdenServicio.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "shared/general/Numeros.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

// Con TV_REPORTS_PDF el impreso queda también en PDF para mirarlo.
void Pdf(const tv::report::PreparedReport& r, const char* nombre) {
  if (const char* carpeta = std::getenv("TV_REPORTS_PDF"))
    tv::report::SavePdf(r, std::string(carpeta) + "/" + nombre + ".pdf");
}

class ExplOrdenServ : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Proveedor Uno')");
    Orden(4, "2026-03-01", "Aseo");
    Orden(5, "2026-03-15", "Mantenimiento de equipos de la sala de sistemas, con repuestos");
    Orden(6, "2026-03-31", "Transporte");
    tv::report::HeadlessUi().Clear();
    frmExplOrdenServ = new TfrmExplOrdenServ(nullptr);
    f.reset(frmExplOrdenServ);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmExplOrdenServ = nullptr;
    Presupuesto::TearDown();
  }
  void Orden(double n, const std::string& fecha, const std::string& desc) {
    Sql("INSERT INTO mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) VALUES (" + Nm(n) +
        ", " + Q(fecha) + ", '800', " + Q(desc) + ", 7, 1500)");
  }
  void Mostrar(const char* desde = "01/03/2026", const char* hasta = "31/03/2026") {
    ui->now(f.get()).set("EdFechaInicio", desde).set("EdFechaFinal", hasta).click("btnMostrar");
  }
  std::string Numeros() { return Leer("SELECT group_concat(iOrdenServicio, ',') FROM (SELECT iOrdenServicio FROM "
                                      "mvtOrdenServicio ORDER BY 1)"); }
  std::string Grilla() {
    std::vector<std::string> v;
    for (int r = 0; r < f->DBGrid1->DisplayRowCount(); ++r) v.push_back(f->DBGrid1->DisplayText(0, r).str());
    std::sort(v.begin(), v.end());
    std::string s;
    for (auto& x : v) s += (s.empty() ? "" : "|") + x;
    return s;
  }
  void Fila(int r) { ui->now(f.get()).row("DBGrid1", r); }
  std::unique_ptr<TfrmExplOrdenServ> f;
};

TEST_F(ExplOrdenServ, PeriodoConSusExtremosYBotones) {
  struct Caso {
    const char *desde, *hasta, *ordenes;
  } casos[] = {{"01/03/2026", "31/03/2026", "4|5|6"}, {"02/03/2026", "30/03/2026", "5"}, {"01/04/2026", "30/04/2026", ""}};
  EXPECT_FALSE(f->btnBorrar->Enabled);
  for (const auto& c : casos) {
    Mostrar(c.desde, c.hasta);
    EXPECT_EQ(Grilla(), c.ordenes) << c.desde;
    bool hay = *c.ordenes != 0;
    for (TButton* b : {f->btnBorrar, f->btnImprimir, f->btnListar}) EXPECT_EQ(b->Enabled, hay) << c.desde;
  }
}

// Una fecha vacía se dice en una frase; nunca llega un error de la consulta.
TEST_F(ExplOrdenServ, MostrarConLaFechaVaciaLoDice) {
  ui->takeMessages();
  Mostrar("  /  /    ", "31/03/2026");
  ASSERT_EQ(ui->messages().size(), 1u) << ui->messageTexts().c_str();
  EXPECT_EQ(ui->lastMessage(), "Fecha vacía.");
  Mostrar();
  EXPECT_EQ(f->Query1->RecordCount, 3);
}

TEST_F(ExplOrdenServ, BorrarPregunta) {
  Mostrar();
  Fila(1);
  ui->answer("Está seguro de borrar la órden de servicio 5?", IDNO);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros(), "4,5,6");
  ui->answer("Está seguro de borrar la órden de servicio 5?", IDYES);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros(), "4,6");
  EXPECT_EQ(Grilla(), "4|6");
  EXPECT_EQ(ui->messages()[0].Caption, "Información");
  EXPECT_EQ(ui->unused(), "");
}

// Números con prefijo de año (más de 16.777.216) y alrededor de 1.000.000: cada acción obra
// sobre la orden elegida y no sobre su vecina.
TEST_F(ExplOrdenServ, NumerosGrandesExactosEnCadaAccion) {
  Sql("DELETE FROM mvtOrdenServicio");
  for (double n : {1000000.0, 1000001.0, 20260000.0, 20260001.0}) Orden(n, "2026-03-10", "Orden " + Nm(n));
  Mostrar();
  auto Ir = [&](double n) { ASSERT_TRUE(f->Query1->Locate("iOrdenServicio", Variant(n))); };
  Ir(20260001);
  ui->now(f.get()).click("btnImprimir");
  std::string t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  for (const char* s : {"ORDEN DE SERVICIO: 20260001", "Orden 20260001"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  ui->answer("Está seguro de borrar la órden de servicio 20260001?", IDYES);
  ui->now(f.get()).click("btnBorrar");
  EXPECT_EQ(Numeros(), "1000000,1000001,20260000");
  Ir(20260000);
  ui->now(f.get()).click("btnInsNuevo");
  EXPECT_EQ(Numeros(), "1000000,1000001,20260001");
  Ir(1000001);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(ui->lastMessage(), "La orden anterior debe tener un número no consecutivo.");
  Ir(20260001);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(Numeros(), "1000000,1000001,20260000");
}

TEST_F(ExplOrdenServ, ConsecutivosYSusNegativas) {
  Mostrar();
  Fila(1);
  ui->now(f.get()).click("btnInsNuevo");
  EXPECT_EQ(Numeros(), "4,6,7");
  // Hay hueco debajo de 6: se cierra.
  Fila(1);
  ASSERT_EQ(f->Query1->FieldByName("iOrdenServicio")->AsInteger, 6);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(Numeros(), "4,5,6");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  // Sin hueco debajo: dos órdenes tendrían un número.
  Fila(1);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(ui->lastMessage(), "La orden anterior debe tener un número no consecutivo.");
  EXPECT_EQ(Numeros(), "4,5,6");
  Sql("UPDATE mvtOrdenServicio SET iOrdenServicio=1 WHERE iOrdenServicio=4");
  Mostrar();
  Fila(0);
  ui->now(f.get()).click("btnElimVacio");
  EXPECT_EQ(ui->lastMessage(), "Inicio de la numeración.");
  // Sin orden seleccionada ninguno corre todas.
  Mostrar("01/04/2026", "30/04/2026");
  for (const char* b : {"btnInsNuevo", "btnElimVacio"}) {
    ui->now(f.get()).click(b);
    EXPECT_EQ(ui->lastMessage(), "Primero seleccione una orden.") << b;
  }
  EXPECT_EQ(Numeros(), "1,5,6");
}

TEST_F(ExplOrdenServ, ImpresosDeLaOrdenYDelListado) {
  Mostrar();
  Fila(1);
  ui->now(f.get()).click("btnImprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  Pdf(r->report, "orden");
  std::string t = tv::report::DumpText(r->report);
  const std::string valor = "Valor: " + std::string(Punto(1500.0, 2));
  for (const char* s : {"ORDEN DE SERVICIO: 5", "TERCERO: 800 Proveedor Uno", "Mantenimiento de equipos",
                        valor.c_str(), "Rector(a): "})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  ui->now(f.get()).click("btnListar");
  r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  Pdf(r->report, "listado");
  t = tv::report::DumpText(r->report);
  for (const char* s : {"ORDENES DE SERVICIO desde 01/03/2026 hasta 31/03/2026", "Céd - NIT", "Proveedor Uno",
                        "Transporte"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
}

TEST(AltoDescripcionOrden, DiecisietePorCadaTreintaYOchoCaracteres) {
  struct Caso {
    int largo, alto;
  } casos[] = {{0, 17}, {37, 17}, {38, 17}, {76, 34}, {100, 44}};
  for (auto c : casos) EXPECT_EQ(AltoDescripcionOrden(AnsiString(std::string(c.largo, 'x').c_str())), c.alto) << c.largo;
}

}  // namespace
