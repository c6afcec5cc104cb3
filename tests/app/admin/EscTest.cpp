// Esc en cada diálogo con botón de cancelar: hace lo que ese botón.
#include <functional>
#include <memory>

#include "support/Instalacion.h"
#include "app/Configuracion.h"
#include "app/Contabilidades.h"
#include "app/Sesion.h"
#include "shared/dialogs/BuscTabla.h"

using admin::Instalacion;

namespace {

class Esc : public Instalacion {};

TEST_F(Esc, CierraCadaDialogoComoSuBotonDeCancelar) {
  struct Caso {
    const char* clase;
    std::function<TForm*()> crear;
  };
  const Caso casos[] = {
      {"TFrmCambiarContabilidad", [] { return new TFrmCambiarContabilidad(nullptr); }},
      {"TFrmBorrarContabilida", [] { return new TFrmBorrarContabilida(nullptr); }},
      {"TfrmConfigContab", [] { return new TfrmConfigContab(nullptr); }},
      {"TFrmCuentasEsp", [] { return new TFrmCuentasEsp(nullptr); }},
      {"TFrmBuscTabla",
       [] { return new TFrmBuscTabla(nullptr, DM->DSPlan, "Código", "Cuenta", "NumeCuen", "NombCuen", false, ""); }},
  };
  for (const Caso& c : casos) {
    ui->onModal(c.clase).keys("Esc");
    std::unique_ptr<TForm> f(c.crear());
    EXPECT_EQ(f->ShowModal(), mrCancel) << c.clase;
  }
  EXPECT_EQ(ui->unused(), "");
}

}  // namespace
