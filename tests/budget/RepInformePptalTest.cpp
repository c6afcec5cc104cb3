// Impresos del resumen presupuestal: bloques de cierre por rubro desde las funciones de
// saldos (una vez por rubro), papel de cada impreso, altos de línea e impresión directa.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "budget/FrmInformePptal.h"
#include "budget/FrmRepInformePptal.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"

using presupuesto::Presupuesto;

namespace {

class RepInformePptal : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "9.1", "Gastos de prueba");
    Movimiento("1", "APR", "2026-01-05", {{"9.1", "E", 0, 1000}, {"9.2", "E", 0, 500}, {"9.5", "I", 3000, 0}}, "Apropiacion");
    Certificado(1, "2026-02-10", 200, "9.1");
    // Certificado del primer día del periodo de marzo.
    Certificado(2, "2026-03-01", 150, "9.1");
    Registro(2, 2, "2026-03-02", 150);
    OrdenPago(2, 2, "2026-03-03", 120);
    Comprobante("20", "2026-03-04", 120, {2});
    LineaDiario("9.5", "2026-03-06", 0, 400);
    tv::report::HeadlessUi().Clear();
    frmInformePptal = new TfrmInformePptal(nullptr);
    f.reset(frmInformePptal);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmInformePptal = nullptr;
    Presupuesto::TearDown();
  }
  void Correr(const char* tipo, const char* desde) {
    ui->now(f.get()).pick("rgTipoCuentas", tipo).set("EdFechaInicio", desde).set("EdFechaFinal", "31/03/2026")
        .click("BtnAceptar").click("BtnInforme");
  }
  std::string Texto() {
    auto* r = tv::report::HeadlessUi().Last();
    if (!r) return std::string();
    // Con TV_REPORTS_PDF cada impreso leído queda también en PDF para mirarlo.
    if (const char* carpeta = std::getenv("TV_REPORTS_PDF"))
      tv::report::SavePdf(r->report, std::string(carpeta) + "/" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".pdf");
    return tv::report::DumpText(r->report);
  }
  std::unique_ptr<TfrmInformePptal> f;
};

TEST_F(RepInformePptal, GastosConSusBloquesDeCierre) {
  Correr("Egreso", "01/01/2026");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, tv::report::HeadlessReportUi::Shown::kPreview);
  EXPECT_GT(r->report.width, r->report.height);  // horizontal
  EXPECT_NEAR(r->report.width, 1008, 1);         // oficio
  std::string t = Texto();
  for (const char* s : {"INFORME PRESUPUESTAL DE GASTOS DESDE 01/01/2026 HASTA 31/03/2026",
                        "RESUMEN DE 9.1  Gastos de prueba", "RESUMEN DE 9.2", "SALDO ANTERIOR",
                        "TOTALES EN EL PERÍODO", "Objeto gasto", "* En los totales en el período"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
}

TEST_F(RepInformePptal, CierreDelPeriodoMasElAnteriorEsElSaldoYSeCalculaUnaVez) {
  ui->now(f.get()).set("EdFechaInicio", "01/03/2026").set("EdFechaFinal", "31/03/2026").click("BtnAceptar");
  TfrmRepInformePptal rep(f.get());
  const CierreRubroPptal& c = rep.Cierre("9.1");
  EXPECT_DOUBLE_EQ(c.certificadosAnterior, 200);
  EXPECT_DOUBLE_EQ(c.certificadosPeriodo, 150);
  EXPECT_DOUBLE_EQ(c.certificadosAnterior + c.certificadosPeriodo, c.certificadosSaldo);
  // Solo movimientos: las cifras de certificados salen igual de las funciones.
  EXPECT_DOUBLE_EQ(rep.Cierre("9.2").certificadosSaldo, 0);
  EXPECT_DOUBLE_EQ(rep.Cierre("9.2").movimientoAnterior, 500);
  rep.QuickReport1->Prepare();
  rep.QuickReport1->Preview();
  rep.QuickReport1->Print();
  EXPECT_EQ(rep.calculos, 2);
}

TEST_F(RepInformePptal, IngresosEnCartaYDirectoSinVistaPrevia) {
  ui->now(f.get()).check("chbVistaPrevia", false);
  Correr("Ingreso", "01/01/2026");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, tv::report::HeadlessReportUi::Shown::kPrint);
  EXPECT_TRUE(r->showDialog);
  EXPECT_NEAR(r->report.width, 792, 1);
  std::string t = Texto();
  for (const char* s : {"INFORME PRESUPUESTAL DE INGRESOS DESDE", "Concepto del ingreso", "RESUMEN DE 9.5", "DISPONIBLE"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  EXPECT_EQ(t.find("Comprometido"), std::string::npos);
}

TEST(AltoLineaResumen, GastoEIngreso) {
  struct Caso {
    int largo, gasto, ingreso;
  } casos[] = {{0, 17, 17}, {24, 17, 17}, {25, 17, 34}, {100, 68, 85}};
  for (auto c : casos) {
    AnsiString t(std::string(c.largo, 'x').c_str());
    EXPECT_EQ(AltoLineaResumen(t, false), c.gasto) << c.largo;
    EXPECT_EQ(AltoLineaResumen(t, true), c.ingreso) << c.largo;
  }
}

}  // namespace
