// Información exógena: tabla de trabajo, patrones de cuentas y archivo exportado.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/forms/StdCtrls.h"
#include "reports/FrmExogena.h"
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

class Exogena : public LibrosConsultas {
 protected:
  void SetUp() override {
    LibrosConsultas::SetUp();
    Ejecutar(libros, "UPDATE TC SET direccion='Avenida de los Libertadores 1234 Bloque 7' WHERE CedulaNIT='900'");
    Agregar({{"510506", "800", "2026-01-10", "100", "", "CE", "1"},
             {"510506", "800", "2026-01-11", "50", "5", "CE", "2"},
             {"510506", "", "2026-01-12", "7", "", "CE", "3"},
             {"510506", "900", "2025-12-31", "999", "", "CE", "4"},
             {"240801", "900", "2026-01-10", "", "16", "CE", "1"},
             {"243605", "800", "2026-01-10", "", "4", "CE", "1"},
             {"243605", "800", "2026-01-10", "3", "", "CE", "1"}});
  }
  std::unique_ptr<TfrmExogena> Abrir() {
    frmExogena = new TfrmExogena(nullptr);
    frmExogena->Show();
    return std::unique_ptr<TfrmExogena>(frmExogena);
  }
  std::string Exportar(TfrmExogena* f, const std::string& cuentas, const char* desde = "01/01/2026") {
    std::string csv = dir + "/exogena.csv";
    std::filesystem::remove(csv);
    ui->answerDialog(csv.c_str());
    ui->now(f).set("edFechaInicial", desde).set("edFechaFinal", "31/01/2026").set("Memo1", cuentas.c_str())
        .click("btnAgrupado");
    return Leer(csv);
  }
};

TEST_F(Exogena, DebitosDeClaseCincoYCreditosDeCadaPatronEnOrden) {
  auto f = Abrir();
  std::string csv = Exportar(f.get(), "24%\n\n243605\n243605\n24'");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_NE(csv.find("itercero;ntercero;cuenta;ncuenta;valor;digitoVerificacion;tipoDocumento;apellido1;"
                     "apellido2;nombre1;nombre2;razonsocial;direccion;ciudad;dpto"),
            std::string::npos)
      << csv;
  // Clase 5 (débitos, sin restar créditos), luego cada patrón con sus créditos; el repetido dos veces.
  std::vector<std::string> filas;
  std::istringstream in(csv);
  for (std::string l; std::getline(in, l);)
    if (!l.empty() && l.find("sep=") != 0 && l.find("itercero") != 0) filas.push_back(l.substr(0, l.find(';', l.find(';', l.find(';') + 1) + 1)));
  EXPECT_EQ(filas, (std::vector<std::string>{";;510506", "800;\xD1" "and\xFA Ltda;510506", "900;Nube S.A.;240801",
                                             "800;\xD1" "and\xFA Ltda;243605", "800;\xD1" "and\xFA Ltda;243605",
                                             "800;\xD1" "and\xFA Ltda;243605"}))
      << csv;
  EXPECT_EQ(Valor(libros, "SELECT valor FROM infExogena WHERE cuenta='510506' AND itercero='800'"), "150");
  EXPECT_EQ(Valor(libros, "SELECT direccion FROM infExogena WHERE itercero='900'"),
            "Avenida de los Libertadores 12");
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM infExogena WHERE itercero IS NULL AND ntercero IS NULL"), "1");
  ASSERT_FALSE(ui->launches().empty());
  EXPECT_NE(ui->launches().back().target.str().find("exogena.csv"), std::string::npos);
  EXPECT_EQ(Leer(dir + "/cuentasExogena.txt").find("24%"), 0u);

  // Otra exportación reemplaza la tabla; la lista guardada vuelve al abrir.
  auto g = Abrir();
  EXPECT_EQ(AnsiString(g->Memo1->Lines->Strings(0)), "24%");
  Exportar(g.get(), "");
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM infExogena"), "2") << "sin lista solo la clase 5";
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

// El archivo entero, byte a byte: comillas, separadores, decimales del usuario y CR LF. Tres
// débitos con decimales del mismo grupo, grabados al revés de su fecha: la suma va en el orden
// de la cuenta y la fecha, y el último bit depende de ese orden.
TEST_F(Exogena, ArchivoExactoYSumaEnOrdenDeCuentaYFecha) {
  Ejecutar(libros, "UPDATE TC SET nombre='Nube; \"sur\"' WHERE CedulaNIT='900'");
  Agregar({{"510506", "100", "2026-01-20", "0.3", ""},
           {"510506", "100", "2026-01-19", "0.2", ""},
           {"510506", "100", "2026-01-18", "0.1", ""},
           {"240801", "100", "2026-01-18", "", "12.5"}});
  auto f = Abrir();
  std::string csv = Exportar(f.get(), "2408%");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_EQ(csv,
            "sep=;\r\n"
            "itercero;ntercero;cuenta;ncuenta;valor;digitoVerificacion;tipoDocumento;apellido1;apellido2;"
            "nombre1;nombre2;razonsocial;direccion;ciudad;dpto;\r\n"
            ";;510506;Sueldos;7;;;;;;;;;;\r\n"
            "100;P\xE9rez Ana;510506;Sueldos;" + prueba::Tecleado("0.6") + ";;13;P\xE9rez;;Ana;;;Calle 3;002;11\r\n"
            "800;\xD1" "and\xFA Ltda;510506;Sueldos;150;7;31;;;;;\xD1" "and\xFA Ltda;Calle 1;001;05\r\n"
            "100;P\xE9rez Ana;240801;IVA generado;" + prueba::Tecleado("12.5") + ";;13;P\xE9rez;;Ana;;;Calle 3;002;11\r\n"
            "900;\"Nube; \"\"sur\"\"\";240801;IVA generado;16;3;31;;;;;Nube S.A.;Avenida de los Libertadores 12;001;05\r\n");
  // 0.1 + 0.2 + 0.3 no es 0.3 + 0.2 + 0.1 en binario.
  EXPECT_EQ(Valor(libros, "SELECT valor = 0.1 + 0.2 + 0.3 FROM infExogena WHERE itercero='100' AND cuenta='510506'"), "1");
}

TEST_F(Exogena, PeriodoInvalidoNoCreaNadaNiGuardaLaLista) {
  auto f = Abrir();
  ui->now(f.get()).set("edFechaInicial", "31/02/2026").set("edFechaFinal", "31/01/2026").set("Memo1", "24%")
      .click("btnAgrupado");
  EXPECT_FALSE(ui->messages().empty());
  EXPECT_FALSE(std::filesystem::exists(dir + "/cuentasExogena.txt"));
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM sqlite_master WHERE name='infExogena'"), "0");
}

}  // namespace
