// Maestros sobre los libros compartidos: el kárdex de un prefijo de cuatro caracteres, la
// revisión de movimiento al borrar una clase del plan y el cambio de código de una cuenta
// con sus líneas.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "ledger/FrmKardex.h"
#include "ledger/FrmPlan.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace {

bool Abrir(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

double Contar(const std::string& sql) {
  TQuery q(nullptr);
  HagaSQL("Contabilidad", &q, sql.c_str());
  return q.Fields[0]->AsFloat;
}

// Cuatro sumas y la lista del kárdex de todo el año sobre un prefijo de cuatro caracteres.
void BM_KardexPrefijoDeCuatro(benchmark::State& state) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  auto f = std::make_unique<TFrmKardex>(nullptr);
  std::string prefijo = tv::bench::CuentaAuxiliar(0).substr(0, 4);
  f->EdICuenta->Text = prefijo.c_str();
  f->EdFechaInicio->Text = "01/01/2026";
  f->EdFechaFinal->Text = "31/12/2026";
  for (auto _ : state) {
    f->BtnAceptarClick(f.get());
    benchmark::DoNotOptimize(f->LblISaldo->Caption.str());
  }
  if (!ui.messages().empty()) state.SkipWithError(ui.messageTexts().c_str());
  state.counters["lineas"] =
      Contar("select count(*) from mvt where numecuen like '" + prefijo + "%' and fecha >= '2026-01-01' "
             "and fecha <= '2026-12-31'");
  f.reset();
  tv::forms::SetUiDriver(anterior);
}
BENCHMARK(BM_KardexPrefijoDeCuatro)->Unit(benchmark::kMillisecond);

// "&Borrar" sobre la cuenta de una clase: la revisión encuentra movimiento y no borra.
void BM_BorrarClaseRevisaMovimiento(benchmark::State& state) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  auto f = std::make_unique<TFrmPlan>(nullptr);
  std::string clase = tv::bench::CuentaAuxiliar(0).substr(0, 1);
  if (!DM->TblPlan->Locate("numecuen", Variant(AnsiString(clase.c_str()))))
    state.SkipWithError("no está la clase en el plan");
  for (auto _ : state) {
    ui.takeMessages();
    f->BtnBorrarClick(f.get());
  }
  if (ui.messages().size() != 1) state.SkipWithError("la clase no tenía movimiento");
  f.reset();
  tv::forms::SetUiDriver(anterior);
}
BENCHMARK(BM_BorrarClaseRevisaMovimiento)->Unit(benchmark::kMillisecond);

// Cambio de código de una cuenta auxiliar (la cuenta y sus líneas); se deshace fuera del tiempo.
void BM_CambioDeCodigo(benchmark::State& state) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  auto f = std::make_unique<TFrmPlan>(nullptr);
  std::string viejo = tv::bench::CuentaAuxiliar(7), nuevo = viejo + "9";
  state.counters["lineas"] = Contar("select count(*) from mvt where numecuen='" + viejo + "'");
  for (auto _ : state) {
    state.PauseTiming();
    DM->TblPlan->Locate("numecuen", Variant(AnsiString(viejo.c_str())));
    f->BtnCambCodiClick(f.get());
    f->EdNuevCodi->Text = nuevo.c_str();
    f->EdNuevCodi->Modified = true;  // como si lo hubiera escrito el usuario
    state.ResumeTiming();
    f->BtnConfirmarClick(f.get());
    state.PauseTiming();
    if (Contar("select count(*) from mvt where numecuen='" + nuevo + "'") != state.counters["lineas"]) {
      state.SkipWithError(("no se movieron las líneas " + ui.messageTexts().str()).c_str());
      break;
    }
    DM->TblPlan->Locate("numecuen", Variant(AnsiString(nuevo.c_str())));
    f->BtnCambCodiClick(f.get());
    f->EdNuevCodi->Text = viejo.c_str();
    f->EdNuevCodi->Modified = true;  // como si lo hubiera escrito el usuario
    f->BtnConfirmarClick(f.get());
    state.ResumeTiming();
  }
  if (!ui.messages().empty()) state.SkipWithError(ui.messageTexts().c_str());
  f.reset();
  tv::forms::SetUiDriver(anterior);
}
BENCHMARK(BM_CambioDeCodigo)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
