// La orden de pago impresa escribe su valor en cifras y en palabras, con la frase de la
// moneda, entero y con cada juego de separadores; se lee del PDF.
#include <filesystem>
#include <memory>
#include <string>

#include "budget/Presupuesto.h"
#include "impresos/Impresos.h"
#include "payments/FrmRptOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

namespace {

using impresos::MontosDePrueba;

class OrdenPagoMontos : public presupuesto::Presupuesto {};

TEST_F(OrdenPagoMontos, ValorSolicitadoYValorAPagarEnCifrasYPalabrasEnteras) {
  Certificado(1, "2026-02-01", 1000, "");
  Registro(1, 1, "2026-02-02", 1000);
  for (size_t i = 0; i < MontosDePrueba().size(); ++i) {
    std::string n = std::to_string(i + 1);
    double m = MontosDePrueba()[i].monto;
    OrdenPago(static_cast<double>(i + 1), 1, "2026-03-01", m);
    // Su documento contable: las líneas de débito y crédito del impreso.
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito, credito) VALUES ('510506', '_OP', '" + n +
        "', '2026-03-01', " + presupuesto::ayuda::Nm(m) + ", 0)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito, credito) VALUES ('110505', '_OP', '" + n +
        "', '2026-03-01', 0, " + presupuesto::ayuda::Nm(m) + ")");
  }
  for (const char* sep : {",", "."}) {
    impresos::Separadores(sep);
    for (size_t i = 0; i < MontosDePrueba().size(); ++i) {
      const auto& c = MontosDePrueba()[i];
      std::string n = std::to_string(i + 1);
      SCOPED_TRACE(std::string(sep) + " " + c.palabras);
      impresos::Cortes cortes;
      TQuery orden(nullptr);
      HagaSQL("Contabilidad", &orden, ("select * from mvtOrdenPago where iop=" + n).c_str());
      auto r = std::make_unique<TfrmRptOrdenPago>(nullptr);
      r->DataSource1->DataSet = &orden;
      r->numeDocu = n.c_str();
      r->QuickReport1->Prepare();
      std::string t = impresos::TextoPdf(r->QuickReport1->Prepared(),
                                         (std::filesystem::path(dir) / ("op" + n + ".pdf")).string());
      std::string cifra = Punto(c.monto, 2);
      std::string palabras = std::string(c.palabras) + " PESOS moneda corriente.";
      for (const std::string& esperado : {"VALOR SOLICITADO: " + cifra + " " + palabras + " TERCERO:",
                                          "VALOR A PAGAR: " + cifra + " " + palabras})
        EXPECT_NE(t.find(esperado), std::string::npos) << esperado << "\n" << t;
      EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
    }
  }
}

}  // namespace
