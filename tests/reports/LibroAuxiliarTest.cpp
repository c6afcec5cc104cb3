// Libro auxiliar: rangos de cuentas, códigos de seis caracteres, impreso y exportación.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/ReportUi.h"
#include "reports/FrmLibroAuxiliar.h"
#include "reports/LibrosConsultas.h"
#include "support/Separadores.h"

using consultas::LibrosConsultas;

namespace {

class LibroAuxiliar : public LibrosConsultas {
 protected:
  void SetUp() override {
    LibrosConsultas::SetUp();
    Agregar({{"11", "800", "2026-01-02", "1", "", "CE", "1"},
             {"1105", "800", "2026-01-03", "2", "", "CE", "1"},
             {"11050502", "800", "2026-01-04", "", "3.5", "CE", "1"},
             {"11050501", "900", "2026-01-05", "4", "", "CE", "1"},
             {"2408", "", "2026-01-06", "", "5", "CE", "1"},
             {"2408", "", "2026-02-06", "", "6", "CE", "1"}});
    tv::report::HeadlessUi().Clear();
    frmLibroAuxiliar = new TfrmLibroAuxiliar(nullptr);
    f.reset(frmLibroAuxiliar);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    frmLibroAuxiliar = nullptr;
    LibrosConsultas::TearDown();
  }
  void Correr(const char* desde, const char* hasta, const char* fechaIni = "01/01/2026") {
    ui->now(f.get()).set("EdFechaInicio", fechaIni).set("EdFechaFinal", "31/01/2026")
        .set("EdICuenta", desde).set("EdICuenta2", hasta).click("BtnAceptar");
  }
  std::unique_ptr<TfrmLibroAuxiliar> f;
};

TEST_F(LibroAuxiliar, RangosDeCuentasComoTexto) {
  struct Caso {
    const char* desde;
    const char* hasta;
    const char* cuentas;
  } casos[] = {
      {"", "", "11|1105|110505|110505|2408"},
      {"1105", "", "1105|110505|110505|2408"},
      {"", "1105", "11|1105"},
      {"11", "11", "11"},
      {"110505", "2408", "110505|110505|2408"},
  };
  for (const auto& c : casos) {
    Correr(c.desde, c.hasta);
    EXPECT_EQ(Columna(f->DBGrid1, 0), c.cuentas) << c.desde << " a " << c.hasta;
  }
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(LibroAuxiliar, CodigosDeSeisConElNombreDeSuCuentaYElImpreso) {
  Correr("110505", "11050599");
  EXPECT_EQ(Columna(f->DBGrid1, 1), "Caja principal|Caja menor");
  EXPECT_FALSE(f->LblNCuenta->Visible);
  auto* ultimo = tv::report::HeadlessUi().Last();
  ASSERT_NE(ultimo, nullptr);
  EXPECT_EQ(ultimo->kind, tv::report::HeadlessReportUi::Shown::kPreview);
  std::string t = TextoInforme();
  EXPECT_NE(t.find("LIBRO AUXILIAR"), std::string::npos) << t;
  EXPECT_NE(t.find("Colegio Prueba        NIT: 890.1"), std::string::npos) << t;
  EXPECT_NE(t.find("Página: | 1"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("110505 | Caja menor | 04/01/2026 | 800 | 3.50")), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("4.00 | 3.50")), std::string::npos) << t;
}

// El monto más ancho que acepta el diario sale entero en las líneas y en las sumas (cada
// prueba vigila los textos cortados).
TEST_F(LibroAuxiliar, ImpresoConElMontoMasAncho) {
  // Con el crédito de 5 de enero, las dos sumas dan el máximo.
  Agregar({{"2408", "900123456", "2026-01-20", "9999999999999.99", "", "CE", "2"},
           {"2408", "900123456", "2026-01-21", "", "9999999999994.99", "CE", "2"}});
  Correr("2408", "2408");
  std::string t = TextoInforme();
  const std::string maximo = prueba::Mostrado("9,999,999,999,999.99");
  EXPECT_NE(t.find("900123456 | " + maximo), std::string::npos) << t;
  EXPECT_NE(t.find(maximo + " | " + maximo), std::string::npos) << t;
}

TEST_F(LibroAuxiliar, SinLineasNoHayImpresoNiExportacion) {
  Correr("9", "");
  EXPECT_FALSE(f->DBGrid1->Visible);
  EXPECT_TRUE(f->LblResultado->Visible);
  EXPECT_EQ(tv::report::HeadlessUi().Last(), nullptr);
  ui->now(f.get()).click("btnExportar");
  EXPECT_EQ(ui->lastMessage(),
            "No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
}

TEST_F(LibroAuxiliar, FechaInvalidaNoCorreNada) {
  Correr("", "", "31/02/2026");
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_FALSE(f->Query1->Active);
  EXPECT_EQ(tv::report::HeadlessUi().Last(), nullptr);
}

TEST_F(LibroAuxiliar, ExportaLasFilas) {
  Correr("2408", "");
  std::string csv = dir + "/libro.csv";
  ui->answerDialog(csv.c_str());
  ui->now(f.get()).click("btnExportar");
  EXPECT_EQ(ui->lastMessage(), "Exportación terminada.");
  std::ifstream in(csv, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_NE(ss.str().find("numecuen;nombcuen;debito;credito;fecha;cedulanit"), std::string::npos) << ss.str();
  EXPECT_NE(ss.str().find("2408;"), std::string::npos) << ss.str();
}

}  // namespace
