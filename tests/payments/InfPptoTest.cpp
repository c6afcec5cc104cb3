// Informe presupuestal completo: columnas por rubro, ventanas de la cadena, archivo y fallas.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/Sesion.h"
#include "budget/CalculosPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmInfPpto.h"
#include "platform/forms/Mask.h"
#include "support/Separadores.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class InfPpto : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "A", "Gasto A");
    Rubro("E", "B", "Gasto B");
    Rubro("E", "C", "Gasto C");
    Rubro("I", "I1", "Ingreso 1");
    Movimiento("1", "APR", "2026-01-15",
               {{"A", "E", 0, 1000}, {"B", "E", 0, 1000}, {"C", "E", 0, 400.25}, {"I1", "I", 5000.75, 0}});
    Movimiento("2", "ADD", "2026-05-01", {{"A", "E", 0, 200}});
    Movimiento("3", "RED", "2026-07-15", {{"A", "E", 100, 0}});  // después del fin: no cuenta
    Movimiento("4", "TRA", "2026-04-10", {{"A", "E", 250.50, 0}, {"B", "E", 0, 250.50}});
    Movimiento("5", "RED", "2026-04-20", {{"I1", "I", 0, 0.75}});
    Certificado(1, "2026-04-01", 300, "A");  // en la fecha inicial: del periodo
    Certificado(2, "2026-03-31", 300, "B");  // el día anterior: antes
    Certificado(3, "2026-07-01", 300, "B");  // después del fin: en ninguna
    Certificado(4, "2026-04-02", 50, "", {{"ZZ", 50}});  // código fuera del plan
    Registro(1, 1, "2026-04-05", 100);
    Registro(2, 2, "2026-03-31", 120);
    OrdenPago(1, 1, "2026-04-06", 60);
    OrdenPago(2, 2, "2026-02-01", 20);
    Comprobante("10", "2026-07-10", 60, {1});
    Comprobante("11", "2026-04-30", 20, {2});
  }
  std::unique_ptr<TfrmInfPpto> Abrir() {
    frmInfPpto = new TfrmInfPpto(nullptr);
    frmInfPpto->Show();
    return std::unique_ptr<TfrmInfPpto>(frmInfPpto);
  }
  // Corre el informe; con csv vacío cancela el diálogo del archivo.
  void Correr(TfrmInfPpto* f, const char* desde, const char* hasta, const std::string& csv) {
    if (csv.empty())
      ui->cancelDialog();
    else
      ui->answerDialog(csv.c_str());
    ui->now(f).set("edFechaInicial", desde).set("edFechaFinal", hasta).click("btnExportar");
  }
  double Col(const std::string& rubro, const std::string& col) {
    return Numero("SELECT " + col + " FROM infPpto WHERE rubro=" + Q(rubro));
  }
};

TEST_F(InfPpto, ColumnasPorRubroYArchivo) {
  std::string csv = dir + "/inf.csv";
  auto f = Abrir();
  Correr(f.get(), "01/04/2026", "30/06/2026", csv);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();

  struct Caso {
    const char* rubro;
    const char* col;
    double esperado;
  };
  const Caso casos[] = {
      {"A", "apropiado", 1000}, {"A", "adicionado", 200}, {"A", "Reducido", 0},
      {"A", "trasladoMas", 0}, {"A", "trasladoMenos", 250.50}, {"A", "apropiadoReal", 949.50},
      {"A", "cdpAntes", 0}, {"A", "cdpMvt", 300}, {"A", "cdpHastaFecha", 300}, {"A", "disponibleCDP", 649.50},
      {"A", "rpMvt", 100}, {"A", "odpMvt", 60}, {"A", "cpMvt", 0}, {"A", "cpHastaFecha", 0},
      {"B", "trasladoMas", 250.50}, {"B", "trasladoMenos", 0}, {"B", "cdpAntes", 300}, {"B", "cdpMvt", 0},
      {"B", "cdpHastaFecha", 300}, {"B", "disponibleCDP", 950.50}, {"B", "rpAntes", 120},
      {"B", "odpAntes", 20}, {"B", "cpAntes", 0}, {"B", "cpMvt", 20},
      // Ingreso: conserva centavos y signo positivo; su reducción resta.
      {"I1", "apropiado", 5000.75}, {"I1", "Reducido", 0.75}, {"I1", "apropiadoReal", 5000},
      // Solo movimientos: cadena en cero y disponible igual al apropiado.
      {"C", "apropiadoReal", 400.25}, {"C", "cdpHastaFecha", 0}, {"C", "rpHastaFecha", 0},
      {"C", "disponibleCDP", 400.25},
  };
  for (const auto& c : casos) EXPECT_DOUBLE_EQ(Col(c.rubro, c.col), c.esperado) << c.rubro << " " << c.col;

  EXPECT_EQ(Leer("SELECT group_concat(rubro) FROM (SELECT rubro FROM infPpto ORDER BY rubro)"), "A,B,C,I1");
  // Invariantes y ninguna columna nula.
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto WHERE "
                 "abs(apropiadoReal-(apropiado+adicionado-Reducido+trasladoMas-trasladoMenos))>0.001 "
                 "OR abs(cdpHastaFecha-cdpAntes-cdpMvt)>0.001 OR abs(rpHastaFecha-rpAntes-rpMvt)>0.001 "
                 "OR abs(odpHastaFecha-odpAntes-odpMvt)>0.001 OR abs(cpHastaFecha-cpAntes-cpMvt)>0.001 "
                 "OR abs(disponibleCDP-(apropiadoReal-cdpHastaFecha))>0.001"),
            "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto WHERE nrubro IS NULL OR apropiado IS NULL OR cdpMvt IS NULL OR "
                 "disponibleCDP IS NULL OR rpAntes IS NULL OR odpMvt IS NULL OR cpHastaFecha IS NULL"),
            "0");
  // Las funciones de saldos dan lo mismo que las columnas.
  EXPECT_DOUBLE_EQ(Col("A", "rpHastaFecha"), getComprometidoRubro("A", "01/01/1900", "30/06/2026"));

  std::string texto = LeerArchivo(csv);
  EXPECT_NE(texto.find("rubro;nrubro;apropiado;adicionado;Reducido;trasladoMas;trasladoMenos;apropiadoReal;cdpAntes;"
                       "cdpMvt;cdpHastaFecha;disponibleCDP;rpAntes;rpMvt;rpHastaFecha;odpAntes;odpMvt;odpHastaFecha;"
                       "cpAntes;cpMvt;cpHastaFecha"),
            std::string::npos)
      << texto;
  EXPECT_LT(texto.find("\nA;"), texto.find("\nB;"));
  EXPECT_NE(texto.find(prueba::Mostrado("I1;Ingreso 1;5000.75;0;0.75;")), std::string::npos) << texto;
  ASSERT_FALSE(ui->launches().empty());
  EXPECT_NE(ui->launches().back().target.str().find("inf.csv"), std::string::npos);
  EXPECT_EQ(FechasInf.GFechaInicial, AnsiString("01/04/2026"));
  EXPECT_EQ(FechasInf.GFechaFinal, AnsiString("30/06/2026"));
}

TEST_F(InfPpto, InicioDespuesDelFinYCancelarElArchivo) {
  auto f = Abrir();
  Correr(f.get(), "01/07/2026", "30/06/2026", "");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_TRUE(ui->launches().empty());
  // Todo lo anterior al 1 de julio cae antes del periodo; el periodo queda en cero.
  EXPECT_DOUBLE_EQ(Col("A", "cdpAntes"), 300);
  EXPECT_DOUBLE_EQ(Col("A", "cdpMvt"), 0);
  EXPECT_DOUBLE_EQ(Col("B", "cdpAntes"), 300);
  EXPECT_DOUBLE_EQ(Col("B", "cpAntes"), 20);
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto"), "4");
}

TEST_F(InfPpto, FechaQueNoConvierteNoTocaLaTablaAnterior) {
  auto f = Abrir();
  Correr(f.get(), "01/04/2026", "30/06/2026", "");
  FechasInf.GFechaInicial = "01/04/2026";
  Sql("INSERT INTO PlPpto (iCuenta, nCuenta, tipoCuenta) VALUES ('D', 'D', 'E')");
  Movimiento("9", "APR", "2026-01-15", {{"D", "E", 0, 5}});
  auto g = Abrir();
  Correr(g.get(), "31/02/2026", "30/06/2026", "");
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto"), "4") << "la corrida anterior queda";
  EXPECT_EQ(FechasInf.GFechaInicial, AnsiString("01/04/2026"));
}

TEST_F(InfPpto, CodigosConComillaYMontosFraccionarios) {
  Rubro("E", "X'1", "Con comilla");
  Movimiento("7", "APR", "2026-01-15", {{"X'1", "E", 0, 1234.56}});
  Movimiento("8", "TRA", "2026-04-10", {{"X'1", "E", 0, -10.25}});
  Certificado(9, "2026-04-03", 34.56, "X'1");
  auto f = Abrir();
  Correr(f.get(), "01/04/2026", "30/06/2026", "");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_DOUBLE_EQ(Col("X'1", "apropiado"), 1234.56);
  EXPECT_DOUBLE_EQ(Col("X'1", "trasladoMas"), -10.25);
  EXPECT_DOUBLE_EQ(Col("X'1", "disponibleCDP"), 1189.75);
}

}  // namespace
