// El registro presupuestal impreso escribe su valor en cifras y en palabras, entero, con
// cada juego de separadores; se lee del PDF.
#include <filesystem>
#include <memory>
#include <string>

#include "budget/FrmRptRegistroPptal.h"
#include "budget/Presupuesto.h"
#include "impresos/Impresos.h"
#include "platform/db/DBTables.h"
#include "platform/report/QuickRpt.h"
#include "shared/general/Numeros.h"
#include "shared/general/SqlUtil.h"

namespace {

using impresos::MontosDePrueba;

class RegistroMontos : public presupuesto::Presupuesto {};

TEST_F(RegistroMontos, ValorSolicitadoEnCifrasYPalabrasEnteras) {
  Certificado(1, "2026-02-01", 1000, "");
  for (size_t i = 0; i < MontosDePrueba().size(); ++i)
    Registro(static_cast<double>(i + 1), 1, "2026-02-02", MontosDePrueba()[i].monto);
  for (const char* sep : {",", "."}) {
    impresos::Separadores(sep);
    for (size_t i = 0; i < MontosDePrueba().size(); ++i) {
      const auto& c = MontosDePrueba()[i];
      SCOPED_TRACE(std::string(sep) + " " + c.palabras);
      impresos::Cortes cortes;
      TQuery registro(nullptr);
      HagaSQL("Contabilidad", &registro, ("select * from mvtRegPptal where irp=" + std::to_string(i + 1)).c_str());
      auto r = std::make_unique<TfrmRptRegistroPptal>(nullptr);
      r->DataSource1->DataSet = &registro;
      r->QuickReport1->Prepare();
      std::string t = impresos::TextoPdf(r->QuickReport1->Prepared(),
                                         (std::filesystem::path(dir) / ("rp" + std::to_string(i) + ".pdf")).string());
      std::string esperado =
          std::string("VALOR SOLICITADO: ") + Punto(c.monto, 2) + " " + c.palabras + " VIGENCIA FISCAL";
      EXPECT_NE(t.find(esperado), std::string::npos) << esperado << "\n" << t;
      EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
    }
  }
}

}  // namespace
