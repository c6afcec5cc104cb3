// Consulta de soportes y su listado impreso.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmInfSop.h"
#include "reports/LibrosConsultas.h"
#include "support/Separadores.h"

using consultas::LibrosConsultas;

namespace {

class ConsultaSoportes : public LibrosConsultas {
 protected:
  void SetUp() override {
    LibrosConsultas::SetUp();
    FrmInfSop = new TFrmInfSop(nullptr);
    f.reset(FrmInfSop);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    FrmInfSop = nullptr;
    LibrosConsultas::TearDown();
  }
  void Correr(const char* tipo, const char* desde = "01/01/2026", const char* hasta = "31/01/2026") {
    ui->now(f.get()).pick("CBDocumentos", tipo).set("EdFechaInicio", desde).set("EdFechaFinal", hasta)
        .click("BtnAceptar");
  }
  std::unique_ptr<TFrmInfSop> f;
};

TEST_F(ConsultaSoportes, AgrupaPorFechaSoporteYNumeroConSuTotal) {
  Agregar({{"1105", "800", "2026-01-05", "100", "", "CE", "1", "FC", "7"},
           {"1105", "800", "2026-01-05", "50.25", "", "CE", "1", "FC", "7"},
           {"2408", "800", "2026-01-05", "", "150.25", "CE", "1", "FC", "7"},
           {"1105", "900", "2026-01-05", "30", "", "CE", "2", "", ""},
           {"1105", "900", "2026-01-03", "20", "", "CE", "3", "FAC", "1"},
           {"1105", "900", "2026-02-03", "99", "", "CE", "4", "FAC", "1"}});
  Correr(" Todos");
  ASSERT_TRUE(f->DBGrid1->Visible);
  EXPECT_EQ(Filas(f->DBGrid1), (std::vector<std::vector<std::string>>{
                                   {"03/01/2026", "FAC", "1", "20"},
                                   {"05/01/2026", "", "", "30"},
                                   {"05/01/2026", "FC", "7", prueba::Tecleado("150.25")}}))
      << "las líneas sin soporte forman su propia fila";
  EXPECT_EQ(Pintada(f->DBGrid1, 3), prueba::Mostrado("20.00|30.00|150.25"));
  EXPECT_EQ(AnsiString(f->LblTotal->Caption), prueba::Mostrado("200.25"));
  EXPECT_TRUE(f->LblTotal->Visible);
  EXPECT_TRUE(f->BtnInforme->Enabled);
  EXPECT_EQ(AnsiString(f->DBGrid1->DisplayColumns()[1]->DisplayTitle()), "Sop");

  // El total de un tipo es la suma de sus filas.
  Correr("FAC:FACTURA", "01/01/2026", "28/02/2026");
  EXPECT_EQ(Pintada(f->DBGrid1, 3), prueba::Mostrado("20.00|99.00"));
  EXPECT_EQ(AnsiString(f->LblTotal->Caption), prueba::Mostrado("119.00"));
}

TEST_F(ConsultaSoportes, PrimerGrupoSinDebitosNoOcultaLosDemasYVaciaElAvisoAnterior) {
  Correr(" Todos");
  EXPECT_EQ(AnsiString(f->LblResult->Caption), "No hay información para mostrar");
  EXPECT_FALSE(f->DBGrid1->Visible);
  EXPECT_FALSE(f->BtnInforme->Enabled);

  Agregar({{"2408", "800", "2026-01-02", "", "10", "CE", "1", "AA", "1"},
           {"1105", "800", "2026-01-09", "10", "", "CE", "1", "FC", "2"}});
  Correr(" Todos");
  EXPECT_EQ(AnsiString(f->LblResult->Caption), "");
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 2);
  EXPECT_EQ(AnsiString(f->LblTotal->Caption), prueba::Mostrado("10.00"));
}

TEST_F(ConsultaSoportes, ValoresConComillasYTiposSinDosPuntos) {
  Agregar({{"1105", "800", "2026-01-05", "5", "", "CE", "1", "O'", "1"}});
  f->CBDocumentos->Items->Add("O'");
  Correr("O'");
  EXPECT_EQ(f->DBGrid1->DisplayRowCount(), 1) << ui->messageTexts().c_str();
  EXPECT_EQ(AnsiString(f->LblTotal->Caption), prueba::Mostrado("5.00"));
}

TEST_F(ConsultaSoportes, FechaInvalidaNoCorre) {
  Agregar({{"1105", "800", "2026-01-05", "5", "", "CE", "1", "FC", "1"}});
  Correr(" Todos", "32/01/2026");
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_FALSE(f->DBGrid1->Visible);
}

TEST_F(ConsultaSoportes, ElListadoImpresoNombraCadaSoporte) {
  Ejecutar(libros, "DELETE FROM CP");
  Ejecutar(libros, "INSERT INTO CP (CodiComp, NombComp) VALUES ('FC','Factura')");
  DM->TblSoportes->Refresh();
  Agregar({{"1105", "800", "2026-01-05", "1234.5", "", "CE", "1", "FC", "7"},
           {"1105", "800", "2026-01-06", "", "", "CE", "1", "ZZ", "8"},
           {"1105", "800", "2026-01-07", "3", "", "CE", "1", "ZZ", "9"}});
  Correr(" Todos");
  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Colegio Prueba  890.1"), std::string::npos) << t;
  EXPECT_NE(t.find("INFORME DE DOCUMENTOS"), std::string::npos) << t;
  EXPECT_NE(t.find("Tipo de Comprobante"), std::string::npos) << t;
  EXPECT_NE(t.find("Factura"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("1,234.50")), std::string::npos) << t;
  EXPECT_NE(t.find("Soporte no conocido."), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("1,237.50")), std::string::npos) << t;
}

TEST_F(ConsultaSoportes, AyudaConF1) {
  std::filesystem::create_directories(dir + "/help");
  for (const char* p : {"/help/inf_soportes.html", "/help/soportes.html"}) std::ofstream(dir + p) << "<html></html>";
  Agregar({{"1105", "800", "2026-01-05", "5", "", "CE", "1", "FC", "1"}});
  Correr(" Todos");
  ui->now(f.get()).key("EdFechaInicio", VK_F1).key("DBGrid1", VK_F1).click("SpeedButton1");
  ASSERT_EQ(ui->launches().size(), 3u);
  EXPECT_NE(ui->launches()[0].target.str().find("inf_soportes.html"), std::string::npos);
  EXPECT_NE(ui->launches()[1].target.str().find("soportes.html"), std::string::npos);
}

}  // namespace
