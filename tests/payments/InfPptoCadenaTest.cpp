// Columnas de la cadena del informe presupuestal completo (certificados, registros, órdenes de
// pago y comprobantes): cada una igual, al centavo, a la función de saldo del rubro para su
// ventana, con certificados de un rubro y de varios, y comprobantes de una a cinco órdenes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmInfPpto.h"
#include "platform/core/SysUtils.h"
#include "shared/general/Numeros.h"

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

namespace {

class InfPptoCadena : public Presupuesto {
 protected:
  // Corre el informe sin archivo.
  void Correr(const char* desde, const char* hasta) {
    frmInfPpto = new TfrmInfPpto(nullptr);
    std::unique_ptr<TfrmInfPpto> f(frmInfPpto);
    f->Show();
    ui->cancelDialog();
    ui->now(f.get()).set("edFechaInicial", desde).set("edFechaFinal", hasta).click("btnExportar");
    ASSERT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
    frmInfPpto = nullptr;
  }
  double Col(const std::string& rubro, const std::string& col) {
    return Numero("SELECT " + col + " FROM infPpto WHERE rubro=" + Q(rubro));
  }
  static std::string Cent(double v) { return NumeroSQL(round(v, 2, 0.5f)).str(); }

  // Cada columna de cada fila contra las funciones por rubro con las ventanas del informe.
  void CompararConFunciones(const char* desde, const char* hasta) {
    Correr(desde, hasta);
    TDateTime ini = StrToDate(desde), fin = StrToDate(hasta);
    TDateTime vispera(static_cast<double>(ini) - 1);
    AnsiString antes = DateToStr(vispera);
    std::vector<std::string> rubros;
    for (std::string r = Leer("SELECT group_concat(rubro, char(10)) FROM (SELECT rubro FROM infPpto ORDER BY rubro)");
         !r.empty();) {
      size_t n = r.find('\n');
      rubros.push_back(r.substr(0, n));
      r = n == std::string::npos ? "" : r.substr(n + 1);
    }
    ASSERT_FALSE(rubros.empty());
    for (const auto& rubro : rubros) {
      AnsiString r = rubro.c_str();
      struct Familia {
        const char* prefijo;
        double antes, mvt;
      };
      const Familia familias[] = {
          {"cdp", getSeparadoRubro(r, "01/01/1980", antes), getSeparadoRubro(r, desde, hasta)},
          {"rp", getComprometidoRubro(r, "01/01/1900", antes), getComprometidoRubro(r, desde, hasta)},
          {"odp", getSumaOPRubro(r, TDateTime(0.0), vispera), getSumaOPRubro(r, ini, fin)},
          {"cp", getSumaCPRubro(r, TDateTime(0.0), vispera), getSumaCPRubro(r, ini, fin)},
      };
      for (const auto& f : familias) {
        std::string p = f.prefijo;
        EXPECT_EQ(Cent(Col(rubro, p + "Antes")), Cent(f.antes)) << rubro << " " << p << "Antes " << desde;
        EXPECT_EQ(Cent(Col(rubro, p + "Mvt")), Cent(f.mvt)) << rubro << " " << p << "Mvt " << desde;
        EXPECT_EQ(Cent(Col(rubro, p + "HastaFecha")), Cent(f.antes + f.mvt)) << rubro << " " << p << "HastaFecha";
      }
    }
  }
};

// Certificados de un rubro (campo propio) y de varios (partes desiguales, partes de suma cero),
// registros y órdenes antes, dentro y después del periodo, comprobantes de una a cinco órdenes,
// uno que nombra dos veces la misma orden y otro que nombra una orden que no existe.
TEST_F(InfPptoCadena, CadaColumnaIgualALaFuncionDelRubro) {
  for (const char* r : {"A", "B", "C", "D", "E"}) Rubro("E", r, std::string("Gasto ") + r);
  Movimiento("1", "APR", "2026-01-02",
             {{"A", "E", 0, 9000}, {"B", "E", 0, 9000}, {"C", "E", 0, 9000}, {"D", "E", 0, 9000}, {"E", "E", 0, 10}});
  Certificado(1, "2026-02-10", 1000, "A");                                // un rubro, antes
  Certificado(2, "2026-04-01", 900, "", {{"A", 100}, {"B", 200}, {"C", 600}});  // tercios, en el periodo
  Certificado(3, "2026-03-31", 700, "D", {{"B", 350.10}, {"D", 349.90}});  // filas ganan al campo propio
  Certificado(4, "2026-05-05", 0, "", {{"C", 50}, {"D", -50}});          // suma cero: partes iguales
  Certificado(5, "2026-07-01", 500, "C");                                // después del fin
  Certificado(6, "2026-06-30", 90, "ZZ");                                // fuera del plan
  Registro(1, 1, "2026-03-01", 800.33);
  Registro(2, 2, "2026-04-01", 700.01);
  Registro(3, 2, "2026-06-30", 100.10);
  Registro(4, 3, "2026-03-31", 600);
  Registro(5, 4, "2026-05-06", 40);
  Registro(6, 5, "2026-07-02", 450);
  Registro(7, 99, "2026-04-02", 77);  // certificado inexistente
  OrdenPago(1, 1, "2026-03-05", 300.11);
  OrdenPago(2, 1, "2026-04-01", 200.22);
  OrdenPago(3, 2, "2026-04-15", 333.33);
  OrdenPago(4, 2, "2026-06-30", 111.11);
  OrdenPago(5, 3, "2026-07-01", 50.05);
  OrdenPago(6, 4, "2026-03-31", 250.75);
  OrdenPago(7, 5, "2026-05-10", 40);
  OrdenPago(8, 6, "2026-07-03", 400);
  Comprobante("1", "2026-03-20", 300.11, {1});
  Comprobante("2", "2026-04-20", 533.55, {2, 3});
  Comprobante("3", "2026-06-30", 700, {4, 5, 6});
  Comprobante("4", "2026-07-01", 860, {1, 2, 3, 6});
  Comprobante("5", "2026-05-31", 1000, {7, 6, 5, 4, 3});
  Comprobante("6", "2026-04-30", 100, {4, 4});     // la misma orden dos veces cuenta una
  Comprobante("7", "2026-05-01", 60, {7, 9999});    // una orden que no existe
  Comprobante("8", "2026-05-02", 80, {0, 0, 7});    // orden en un campo posterior
  Comprobante("9", "2026-08-01", 400, {8});         // después del fin
  Comprobante("10", "2026-05-03", 10, {2}, "CE");   // otro tipo con orden

  CompararConFunciones("01/04/2026", "30/06/2026");
  CompararConFunciones("01/01/2026", "31/12/2026");
  CompararConFunciones("01/07/2026", "30/06/2026");  // inicio después del fin

  // Una cifra calculada a mano: B en el periodo, tercio del registro 2 y 3 del certificado 2.
  Correr("01/04/2026", "30/06/2026");
  EXPECT_NEAR(Col("B", "rpMvt"), (700.01 + 100.10) * 200 / 900, 0.005);
  EXPECT_NEAR(Col("B", "rpAntes"), 600 * 350.10 / 700, 0.005);
  EXPECT_EQ(Leer("SELECT count(*) FROM infPpto WHERE rubro='E' AND cdpHastaFecha=0 AND rpHastaFecha=0 AND "
                 "odpHastaFecha=0 AND cpHastaFecha=0 AND cdpAntes=0 AND cpMvt=0"),
            "1");
}

// Los documentos de la ruta del presupuesto: apropiación y adición, certificado de dos rubros,
// registro repartido, órdenes de pago y sus comprobantes.
TEST_F(InfPptoCadena, LibrosDeLaRuta) {
  // El plan de la instalación nueva ya trae los rubros de la ruta.
  Movimiento("AP001", "APR", "2026-01-02",
             {{"1.2.05", "I", 1000000, 0}, {"2.1.1.01", "E", 0, 600000}, {"2.3.2", "E", 0, 400000}});
  Movimiento("AD009", "ADD", "2026-02-20", {{"1.2.10", "I", 250000.50, 0}, {"2.1.1.01", "E", 0, 250000.50}});
  Certificado(1, "2026-02-01", 400000, "", {{"2.1.1.01", 300000}, {"2.3.2", 100000}});
  Certificado(2, "2026-03-03", 120000.75, "2.3.2");
  Registro(1, 1, "2026-02-05", 200000);
  Registro(2, 2, "2026-03-10", 120000.75);
  OrdenServicio(1, 1, "2026-02-06");
  OrdenSuministro(1, 1, "2026-02-07");
  OrdenPago(1, 1, "2026-02-10", 50000);
  OrdenPago(2, 1, "2026-03-15", 12000);
  OrdenPago(3, 2, "2026-03-20", 60000.25);
  Comprobante("1", "2026-02-12", 50000, {1});
  Comprobante("2", "2026-03-25", 72000.25, {2, 3});

  CompararConFunciones("01/03/2026", "31/03/2026");
  CompararConFunciones("01/01/2026", "31/12/2026");

  Correr("01/03/2026", "31/03/2026");
  EXPECT_DOUBLE_EQ(Col("2.1.1.01", "rpAntes"), 150000);
  EXPECT_DOUBLE_EQ(Col("2.3.2", "rpHastaFecha"), 170000.75);
  EXPECT_DOUBLE_EQ(Col("2.3.2", "cpMvt"), 3000 + 60000.25);
  EXPECT_DOUBLE_EQ(Col("1.2.05", "cdpHastaFecha"), 0);
}

}  // namespace
