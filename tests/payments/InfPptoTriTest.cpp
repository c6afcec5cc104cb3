// Informe presupuestal por trimestre: ejecución de gastos e ingresos, reintegros, saldo y archivo.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "budget/Presupuesto.h"
#include "payments/FrmInfPpto.h"
#include "payments/FrmInfPptoTri.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class InfPptoTri : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "G", "Gasto");
    Rubro("I", "R", "Renta");
    Rubro("I", "S", "Sin recaudo");
    Movimiento("1", "APR", "2026-01-02", {{"G", "E", 0, 1000}, {"R", "I", 5000, 0}, {"S", "I", 700, 0}});
    Certificado(1, "2026-02-10", 200, "G");
    Certificado(2, "2026-04-15", 300, "G");
    Sql("INSERT INTO reintegros (rubro, valor, fecha) VALUES ('G', 50, '2026-04-20'), ('G', 25, '2026-06-30'), "
        "('G', 40, '2026-03-31')");
    LineaDiario("R", "2026-02-01", 0, 1200);
    LineaDiario("R", "2026-04-01", 0, 800);  // en la fecha inicial: del periodo
    LineaDiario("R", "2026-05-01", 100, 0);  // los débitos no restan
  }
  void Correr(TfrmInfPpto* f, const std::string& csv) {
    if (csv.empty())
      ui->cancelDialog();
    else
      ui->answerDialog(csv.c_str());
    ui->now(f).set("edFechaInicial", "01/04/2026").set("edFechaFinal", "30/06/2026").click("btnExportar");
  }
  double Col(const std::string& rubro, const std::string& col) {
    return Numero("SELECT " + col + " FROM infPpto WHERE rubro=" + Q(rubro));
  }
};

TEST_F(InfPptoTri, EjecucionReintegrosYSaldoPorRubro) {
  std::string csv = dir + "/tri.csv";
  auto f = std::make_unique<TfrmInfPptoTri>(nullptr);
  EXPECT_EQ(f->Caption, AnsiString("Informe Presupuestal"));
  f->Show();
  Correr(f.get(), csv);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  struct Caso {
    const char* rubro;
    const char* col;
    double esperado;
  };
  const Caso casos[] = {
      {"G", "cdpAntes", 200}, {"G", "cdpMvt", 300}, {"G", "cdpHastaFecha", 500},
      {"G", "reintegros", 75}, {"G", "disponibleCDP", 575},
      {"R", "cdpAntes", 1200}, {"R", "cdpMvt", 800}, {"R", "cdpHastaFecha", 2000},
      {"R", "disponibleCDP", 3000},
      {"S", "cdpHastaFecha", 0}, {"S", "disponibleCDP", 700},
  };
  for (const auto& c : casos) EXPECT_DOUBLE_EQ(Col(c.rubro, c.col), c.esperado) << c.rubro << " " << c.col;

  std::string texto = LeerArchivo(csv);
  EXPECT_NE(texto.find("Cuenta;Concepto;Presupuesto Inicial;Adici\xF3n;Reducci\xF3n;Traslados cr\xE9" "ditos;"
                       "Traslados contracr\xE9" "ditos;Presupuesto definitivo;Ejecuci\xF3n trimestres anteriores;"
                       "Ejecuci\xF3n Trimestre Actual;Total Ejecutado;Reintegros;Saldo por ejecutar"),
            std::string::npos)
      << texto;
  EXPECT_NE(texto.find("G;Gasto;1000;0;0;0;0;1000;200;300;500;75;575"), std::string::npos) << texto;
  ASSERT_FALSE(ui->launches().empty());
}

TEST_F(InfPptoTri, CadaInformeReemplazaLaTablaDelOtro) {
  auto columnas = [&] { return Leer("SELECT count(*) FROM pragma_table_info('infPpto')"); };
  auto completo = std::make_unique<TfrmInfPpto>(nullptr);
  completo->Show();
  Correr(completo.get(), "");
  EXPECT_EQ(columnas(), "21");
  auto tri = std::make_unique<TfrmInfPptoTri>(nullptr);
  tri->Show();
  Correr(tri.get(), "");
  EXPECT_EQ(columnas(), "13");
  auto otra = std::make_unique<TfrmInfPpto>(nullptr);
  otra->Show();
  Correr(otra.get(), "");
  EXPECT_EQ(columnas(), "21");
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto"), "3");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(InfPptoTri, UnaFallaDejaLaTablaAnteriorYNoEscribeArchivo) {
  auto completo = std::make_unique<TfrmInfPpto>(nullptr);
  completo->Show();
  Correr(completo.get(), "");
  Sql("DROP TABLE reintegros");  // el trimestre falla a mitad de la construcción
  std::string csv = dir + "/fallo.csv";
  auto tri = std::make_unique<TfrmInfPptoTri>(nullptr);
  tri->Show();
  Correr(tri.get(), csv);
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_EQ(Leer("SELECT count(*) FROM pragma_table_info('infPpto')"), "21");
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto"), "3");
  EXPECT_FALSE(std::ifstream(csv).good());
  EXPECT_TRUE(ui->launches().empty());
}

}  // namespace
