// Listado de movimientos: las cuatro consultas, el intervalo de cuentas, "movimiento.csv" e impreso.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmMovimientos.h"
#include "reports/LibrosConsultas.h"
#include "support/Separadores.h"

using consultas::LibrosConsultas;

namespace {

std::string Leer(const std::string& ruta) {
  std::ifstream in(ruta, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Movimientos : public LibrosConsultas {
 protected:
  void SetUp() override {
    LibrosConsultas::SetUp();
    Agregar({{"110505", "800", "2026-01-03", "10", "", "NC", "2"},
             {"1105", "800", "2026-01-02", "1234.5", "", "CE", "1"},
             {"2408", "555", "2026-01-02", "", "1234.5", "CE", "1"},  // tercero que no existe
             {"11", "", "2026-01-04", "", "10", "NC", "2"},          // sin tercero
             {"1105", "900", "2026-02-01", "99", "", "CE", "3"}});
    FrmMovimientos = new TFrmMovimientos(nullptr);
    f.reset(FrmMovimientos);
    f->Show();
  }
  void TearDown() override {
    f.reset();
    FrmMovimientos = nullptr;
    LibrosConsultas::TearDown();
  }
  void Correr() {
    ui->now(f.get()).set("EdFechaInicio", "01/01/2026").set("EdFechaFinal", "31/01/2026").click("BtnAceptar");
  }
  std::unique_ptr<TFrmMovimientos> f;
};

TEST_F(Movimientos, LasCuatroConsultasYElIntervalo) {
  Correr();
  EXPECT_EQ(Columna(f->DBGrid1, 1), "1|2|2") << "por documento; sin la línea del tercero que no existe";
  ui->now(f.get()).pick("CBDocumentos", "NC:NOTA DE CONTABILIDAD");
  Correr();
  EXPECT_EQ(Columna(f->DBGrid1, 5), "110505|11");

  ui->now(f.get()).pick("RG1", "Cuentas");
  EXPECT_FALSE(f->CBDocumentos->Visible);
  Correr();
  EXPECT_EQ(Columna(f->DBGrid1, 5), "11|1105|110505") << "todas las cuentas, sin filtrar por tipo";

  ui->now(f.get()).pick("RG2", "Solo el Intervalo");
  ASSERT_TRUE(f->GBCuentas->Visible);
  struct Caso {
    const char* desde;
    const char* hasta;
    const char* cuentas;
  } casos[] = {
      {"1105", "1105", "1105"},
      {"", "", "11|1105|110505|2408"},
      {"1105", "", "1105|110505|2408"},
      {"", "1105", "11|1105"},
  };
  for (const auto& c : casos) {
    ui->now(f.get()).set("EdICuenta", c.desde).set("EdICuenta2", c.hasta);
    Correr();
    EXPECT_EQ(Columna(f->DBGrid1, 5), c.cuentas) << c.desde << " a " << c.hasta;
  }
  EXPECT_EQ(Columna(f->DBGrid1, 4), "|Ñandú Ltda");

  // Volver a comprobantes lista documentos aunque el grupo de cuentas siga a la vista.
  ui->now(f.get()).pick("RG1", "Comprobantes").pick("CBDocumentos", "Todos");
  EXPECT_TRUE(f->GBCuentas->Visible);
  Correr();
  EXPECT_EQ(Columna(f->DBGrid1, 1), "1|2|2");
  EXPECT_EQ(Pintada(f->DBGrid1, 9), prueba::Mostrado("1,234.50|10.00|"));
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(Movimientos, ArchivoDelimitadoEnCadaCorridaYPeriodoVacio) {
  Correr();
  std::string csv = Leer(dir + "/movimiento.csv");
  EXPECT_NE(csv.find("descdocu;numedocu;fecha;cedulanit;numecuen;nombcuen;desccomp;numecomp;debito;credito;detalle"),
            std::string::npos) << csv;
  EXPECT_NE(csv.find("CE;1;02/01/2026;800;1105;Caja;;;" + prueba::Tecleado("1234.5") + ";;"), std::string::npos) << csv;
  EXPECT_TRUE(f->BtnInforme->Enabled);

  ui->now(f.get()).set("EdFechaInicio", "01/03/2026").set("EdFechaFinal", "31/03/2026").click("BtnAceptar");
  EXPECT_FALSE(f->DBGrid1->Visible);
  EXPECT_TRUE(f->LblResultado->Visible);
  EXPECT_FALSE(f->BtnInforme->Enabled);
  csv = Leer(dir + "/movimiento.csv");
  EXPECT_EQ(csv, "sep=;\r\ndescdocu;numedocu;fecha;cedulanit;numecuen;nombcuen;desccomp;numecomp;debito;credito;detalle;\r\n");
}

TEST_F(Movimientos, ImpresoConTotales) {
  Correr();
  ui->now(f.get()).click("BtnInforme");
  std::string t = TextoInforme();
  EXPECT_NE(t.find("Colegio Prueba        NIT: 890.1"), std::string::npos) << t;
  EXPECT_NE(t.find("Movimiento contable"), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("CE | 1 | 02/01/2026 | 800 | Ñandú Ltda | 1105 | Caja | 1,234.50")), std::string::npos) << t;
  EXPECT_NE(t.find(prueba::Mostrado("TOTALES: | 1,244.50 | 10.00")), std::string::npos) << t;
}

}  // namespace
