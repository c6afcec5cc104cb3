// El balance de prueba del año en el escritorio real (wx, bajo Xvfb): desde la pulsación de
// "&Procesar" hasta que la rejilla muestra sus filas, con la ventana de avance incluida.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "gui/Gui.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"

namespace {

void BM_TrialBalanceYearOnScreen(benchmark::State& s) {
  if (!tv::bench::AbrirComoElPrograma()) {
    s.SkipWithError("no se abrieron los libros");
    return;
  }
  static char nombre[] = "balances_screen_bench";
  static char* argv[] = {nombre, nullptr};
  if (!tv::gui::Initialize(1, argv)) {
    s.SkipWithError("no hay escritorio (DISPLAY)");
    return;
  }
  {
    auto f = std::make_unique<TFrmBalances>(nullptr);
    FrmBalances = f.get();
    f->Llamado = 2;
    f->EdFechaInicio->Text = "01/01/2026";
    f->EdFechaFinal->Text = "31/12/2026";
    f->RBTodo->Checked = true;
    f->Show();
    tv::gui::Pump(50);
    for (auto _ : s) {
      f->BtnInforme->UserClick();
      // Lo que queda pendiente en el escritorio: pintar la rejilla con sus filas.
      tv::gui::Pump(0);
    }
    s.counters["filas"] = DM->TblBal->GetRecordCount();
    f->Hide();
    FrmBalances = nullptr;
  }
  tv::gui::Shutdown();
}

}  // namespace

BENCHMARK(BM_TrialBalanceYearOnScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
