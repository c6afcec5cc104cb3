// Balances sobre los libros compartidos (un millón de líneas): cada informe por "&Procesar",
// sobre un mes y sobre el año, el balance de prueba impreso a PDF, y la comparación con
// `ledger balance` sobre las mismas líneas.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "reports/FrmBalances.h"

namespace {

enum Periodo { kMes, kAnio };

double PicoMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

// Una ventana del informe con el periodo y las opciones del caso.
std::unique_ptr<TFrmBalances> Ventana(int llamado, Periodo p) {
  auto f = std::make_unique<TFrmBalances>(nullptr);
  FrmBalances = f.get();
  f->Llamado = llamado;
  f->EdFechaInicio->Text = "01/01/2026";
  f->EdFechaFinal->Text = p == kMes ? "31/01/2026" : "31/12/2026";
  f->FormActivate(f.get());
  f->RBTodo->Checked = true;
  return f;
}

void Correr(benchmark::State& state, int llamado, const std::function<void(TFrmBalances*)>& opciones = {}) {
  if (!tv::bench::AbrirComoElPrograma()) {
    state.SkipWithError("no se abrieron los libros");
    return;
  }
  auto f = Ventana(llamado, static_cast<Periodo>(state.range(0)));
  if (opciones) opciones(f.get());
  for (auto _ : state) f->BtnInformeClick(f.get());
  state.counters["filas"] = DM->TblBal->GetRecordCount();
  state.counters["pico_MB"] = PicoMB();
}

void BM_GeneralBalance(benchmark::State& s) { Correr(s, 1); }
void BM_GeneralBalanceClosing(benchmark::State& s) {
  Correr(s, 1, [](TFrmBalances* f) { f->ChBCierre->Checked = true; });
}
void BM_TrialBalance(benchmark::State& s) { Correr(s, 2); }
void BM_TrialBalanceExpress(benchmark::State& s) {
  Correr(s, 2, [](TFrmBalances* f) { f->chbExpress->Checked = true; });
}
void BM_ProfitAndLoss(benchmark::State& s) { Correr(s, 3); }
void BM_CashDaybookAccounts(benchmark::State& s) { Correr(s, 4); }
void BM_CashDaybookVouchers(benchmark::State& s) {
  Correr(s, 4, [](TFrmBalances* f) { f->RGComprobante->ItemIndex = 1; });
}
void BM_LedgerAndBalance(benchmark::State& s) { Correr(s, 5); }

// El caso de la meta: balance de prueba del año, "Detallado", sin modo breve.
// Las metas de memoria (abiertos ≤ 100 MB, balance ≤ 150 MB) son de la memoria propia del
// proceso: las páginas del archivo que se leen mapeadas cuentan en el residente pero son de la
// caché del sistema.
void BM_TrialBalanceYear(benchmark::State& s) {
  tv::bench::PicoPrivado privado;
  if (!tv::bench::AbrirComoElPrograma()) {
    s.SkipWithError("no se abrieron los libros");
    return;
  }
  double abierto = PicoMB();
  double abiertoPrivado = privado.MB();
  auto f = Ventana(2, kAnio);
  for (auto _ : s) f->BtnInformeClick(f.get());
  s.counters["filas"] = DM->TblBal->GetRecordCount();
  // Lo que ocupan los libros abiertos como el programa, antes del primer balance.
  s.counters["pico_abiertos_MB"] = abierto;
  s.counters["pico_MB"] = PicoMB();
  s.counters["pico_privado_abiertos_MB"] = abiertoPrivado;
  s.counters["pico_privado_MB"] = privado.MB();
}

void BM_TrialBalancePdf(benchmark::State& s) {
  if (!tv::bench::AbrirComoElPrograma()) {
    s.SkipWithError("no se abrieron los libros");
    return;
  }
  auto f = Ventana(2, kAnio);
  f->BtnInformeClick(f.get());
  std::string pdf = tv::bench::LibrosBench().libros + "/balance_prueba.pdf";
  int paginas = 0;
  for (auto _ : s) {
    tv::report::HeadlessUi().Clear();
    f->btnImprimirClick(f.get());
    const auto& r = tv::report::HeadlessUi().Last()->report;
    tv::report::SavePdf(r, pdf);
    paginas = r.PageCount();
  }
  s.counters["paginas"] = paginas;
}

// ---- comparación con ledger ----------------------------------------------------------

bool HayLedger() {
  if (std::system("command -v ledger >/dev/null 2>&1") == 0) return true;
  std::system("apt-get install -y -qq ledger >/dev/null 2>&1");
  return std::system("command -v ledger >/dev/null 2>&1") == 0;
}

// Segundos de `ledger balance` del año y del balance de prueba del año, en la misma corrida.
void BM_LedgerComparison(benchmark::State& s) {
  if (!tv::bench::AbrirComoElPrograma()) {
    s.SkipWithError("no se abrieron los libros");
    return;
  }
  auto f = Ventana(2, kAnio);
  if (!HayLedger()) {
    s.SkipWithError("ledger no está instalado: sin comparación");
    return;
  }
  std::string diario = tv::bench::DiarioLedger();
  if (diario.empty()) {
    s.SkipWithError("no se pudo escribir el diario de ledger");
    return;
  }
  std::string orden = "ledger -f '" + diario + "' -b 2026/01/01 -e 2027/01/01 balance >/dev/null";
  double propio = 0, ajeno = 0;
  for (auto _ : s) {
    auto t0 = std::chrono::steady_clock::now();
    f->BtnInformeClick(f.get());
    auto t1 = std::chrono::steady_clock::now();
    if (std::system(orden.c_str()) != 0) {
      s.SkipWithError("ledger falló");
      return;
    }
    auto t2 = std::chrono::steady_clock::now();
    propio = std::chrono::duration<double>(t1 - t0).count();
    ajeno = std::chrono::duration<double>(t2 - t1).count();
  }
  s.counters["balance_s"] = propio;
  s.counters["ledger_s"] = ajeno;
  s.counters["veces_mas_rapido"] = propio > 0 ? ajeno / propio : 0;
}

}  // namespace

BENCHMARK(BM_GeneralBalance)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneralBalanceClosing)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrialBalance)->Arg(kMes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrialBalanceYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrialBalanceExpress)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProfitAndLoss)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CashDaybookAccounts)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CashDaybookVouchers)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LedgerAndBalance)->Arg(kMes)->Arg(kAnio)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrialBalancePdf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LedgerComparison)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
