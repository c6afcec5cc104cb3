// Auxiliares del presupuesto: patrones de rubros, disponible por tipo, certificados por la
// regla de filas de rubros, nombre del mes y exportación en dos bloques.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/DataModule.h"
#include "budget/FrmAuxiliaresPpto.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;

namespace {

class Auxiliares : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("DELETE FROM PlPpto");
    Rubro("E", "20-25", "Sueldos");
    Rubro("E", "20-30", "Papeleria");
    Rubro("E", "21-25", "Viaticos");
    Rubro("I", "10-25", "Ingresos propios");
    Movimiento("1", "APR", "2026-01-10", {{"20-25", "E", 0, 1000}, {"20-30", "E", 0, 500}, {"10-25", "I", 2000, 0}});
    Movimiento("2", "ADD", "2026-03-05", {{"20-25", "E", 0, 200}});
    Movimiento("3", "ADD", "2026-04-02", {{"20-25", "E", 0, 100}, {"21-25", "E", 0, 90}});
    Certificado(1, "2026-02-01", 300, "20-25");
    // Con filas de rubros el campo propio ya no cuenta.
    Certificado(2, "2026-02-02", 250, "20-25", {{"20-25", 150}, {"20-30", 100}});
    // Dos filas iguales son dos montos.
    Certificado(3, "2026-02-03", 80, "", {{"21-25", 40}, {"21-25", 40}});
    Reintegro("20-25", 30);
    LineaDiario("10-25", "2026-02-01", 0, 700);
    DM->tblPlanPpto->Refresh();
    frmAuxiliaresPpto = new TfrmAuxiliaresPpto(nullptr);
    f.reset(frmAuxiliaresPpto);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmAuxiliaresPpto = nullptr;
    Presupuesto::TearDown();
  }
  void Correr(const char* patron, const char* desde = "01/01/2026", const char* hasta = "31/12/2026") {
    ui->now(f.get()).set("EdFechaInicio", desde).set("EdFechaFinal", hasta).set("EdICuenta", patron).click(
        "BtnAceptar");
  }
  // Valores de una columna, ordenados, unidos por "|".
  static std::string Columna(TDBGrid* g, int col, bool ordenar = true) {
    std::vector<std::string> v;
    for (int r = 0; r < g->DisplayRowCount(); ++r) v.push_back(g->DisplayText(col, r).str());
    if (ordenar) std::sort(v.begin(), v.end());
    std::string s;
    for (const auto& x : v) s += (s.empty() ? "" : "|") + x;
    return s;
  }
  std::unique_ptr<TfrmAuxiliaresPpto> f;
};

TEST_F(Auxiliares, PatronesDeRubros) {
  struct Caso {
    const char* patron;
    const char* movimientos;  // columna Icuenta del periodo
    const char* disponible;
    const char* certificados;  // columna Cuenta de los montos de certificados
    const char* ejecutado;
    const char* movido;
  } casos[] = {
      {"%", "10-25|20-25|20-25|20-25|20-30|21-25", "", "20-25|20-25|20-30|21-25|21-25", "630.00", "110.00"},
      {"20%", "20-25|20-25|20-25|20-30", "", "20-25|20-25|20-30", "550.00", "-1,800.00"},
      {"%-25", "10-25|20-25|20-25|20-25|21-25", "", "20-25|20-25|21-25|21-25", "530.00", "610.00"},
      // 1300 aprobado y gastado + 30 reintegrado - 150 y 300 de certificados.
      {"20-25", "20-25|20-25|20-25", "Disponible: 880.00", "20-25|20-25", "450.00", "-1,300.00"},
      // Un solo rubro de ingreso: lo aprobado menos lo recaudado en el diario.
      {"10-25", "10-25", "Disponible: 1,300.00", "", "0.00", "2,000.00"},
      {"2_-30", "20-30", "Disponible: 400.00", "20-30", "100.00", "-500.00"},
      // Comillas y palabras de acción quedan dentro del patrón: sin filas, sin errores.
      {"20'%", "", "", "", "0.00", "0.00"},
      {"%DELETE FROM mvtPptal%", "", "", "", "0.00", "0.00"},
  };
  for (const auto& c : casos) {
    Correr(c.patron);
    EXPECT_EQ(Columna(f->DBGrid1, 2), c.movimientos) << c.patron;
    EXPECT_EQ(f->Label6->Caption, prueba::Mostrado(c.disponible)) << c.patron;
    EXPECT_EQ(Columna(f->DBGrid2, 1), c.certificados) << c.patron;
    EXPECT_EQ(f->lblTotalEjecutado->Caption, AnsiString("Total de la ejecución presupuestal: ") + prueba::Mostrado(c.ejecutado))
        << c.patron;
    EXPECT_EQ(f->lblTotalMovido->Caption, AnsiString("Total del movimiento presupuestal: ") + prueba::Mostrado(c.movido)) << c.patron;
  }
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal"), "6");
}

TEST_F(Auxiliares, CodigoExactoConNombreReintegrosYOrdenPorFecha) {
  Correr("20-25");
  EXPECT_EQ(f->LblNCuenta->Caption, "Sueldos");
  EXPECT_EQ(f->lblReintegrado->Caption, prueba::Mostrado("Reintegros: 30.00"));
  EXPECT_EQ(Columna(f->DBGrid1, 0, false), "1|2|3");
  EXPECT_EQ(Columna(f->DBGrid2, 0), "1|2");
  // Un patrón no es un código: los reintegros son de un código exacto.
  Correr("20%");
  EXPECT_EQ(f->lblReintegrado->Caption, prueba::Mostrado("Reintegros: 0.00"));
}

TEST_F(Auxiliares, NombreDelMesSoloConUnMesCompleto) {
  Correr("20-25", "01/03/2026", "31/03/2026");
  EXPECT_EQ(f->LblMesCad->Caption, "MARZO");
  EXPECT_EQ(Columna(f->DBGrid1, 0), "2");
  // Certificados y totales no se limitan al periodo.
  EXPECT_EQ(Columna(f->DBGrid2, 0), "1|2");
  Correr("20-25", "01/03/2026", "30/03/2026");
  EXPECT_EQ(f->LblMesCad->Caption, "");
}

TEST_F(Auxiliares, SinPatronOFechaMalaNoCorre) {
  ui->now(f.get()).key("EdICuenta", VK_DELETE);
  EXPECT_EQ(f->EdICuenta->Text, "");
  ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/12/2026").click("BtnAceptar");
  EXPECT_NE(ui->lastMessage().Pos("Falta Colocar Cuenta"), 0) << ui->messageTexts().c_str();
  EXPECT_FALSE(f->Query1->Active);
  Correr("20-25", "31/02/2026");
  EXPECT_FALSE(f->Query1->Active);
  // El disponible ya se mostró antes de revisar las fechas.
  EXPECT_EQ(f->Label6->Caption, prueba::Mostrado("Disponible: 880.00"));
  EXPECT_EQ(f->lblTotalEjecutado->Caption, "");
}

TEST_F(Auxiliares, NombreAlSalirDelCampoYBusqueda) {
  ui->now(f.get()).set("EdICuenta", "21-25").run([this](TForm&) { f->EdICuentaExit(f->EdICuenta); });
  EXPECT_EQ(f->LblNCuenta->Caption, "Viaticos");
  ui->now(f.get()).set("EdICuenta", "no existe").run([this](TForm&) { f->EdICuentaExit(f->EdICuenta); });
  EXPECT_EQ(f->LblNCuenta->Caption, "Viaticos");
  ui->onModal("TFrmBuscTabla").close();
  ui->now(f.get()).click("BitBtn1");
  EXPECT_EQ(f->EdICuenta->Text, "");
  EXPECT_EQ(f->LblNCuenta->Caption, "");
}

TEST_F(Auxiliares, ExportaDosBloquesYAbreElArchivo) {
  Correr("20%");
  std::string csv = dir + "/mvt.csv";
  ui->answerDialog(csv.c_str());
  ui->now(f.get()).click("btnExportar");
  std::ifstream in(csv, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string t = ss.str();
  size_t a = t.find("sep=");
  size_t b = t.find("sep=", a + 1);
  ASSERT_NE(b, std::string::npos) << t;
  std::string primero = t.substr(a, b - a), segundo = t.substr(b);
  EXPECT_NE(primero.find("iMvtPptal;tipoMvtPptal;icuenta;tipoCuenta;ingreso;egreso;fecha;"), std::string::npos) << t;
  EXPECT_EQ(std::count(primero.begin(), primero.end(), '\n'), 6) << t;  // separador, encabezado, 4 filas
  EXPECT_NE(segundo.find("icd;Cuenta;tipoCuenta;Ingreso;Egreso"), std::string::npos) << t;
  EXPECT_EQ(std::count(segundo.begin(), segundo.end(), '\n'), 5) << t;
  ASSERT_EQ(ui->launches().size(), 1u);
  EXPECT_EQ(ui->launches()[0].target, AnsiString(csv.c_str()));
}

}  // namespace
