// Un proceso entero que abre los libros compartidos y saca un balance de prueba del año
// (frío: el primer informe de la sesión), contra `ledger balance` sobre las mismas líneas,
// también como proceso entero, uno tras otro en la misma corrida.
//
// El mismo ejecutable hace de proceso medido: con "--un-balance" abre los libros, corre el
// balance y escribe en la salida las filas y su memoria propia.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/DataModule.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"

namespace {

double PicoResidenteMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

// El proceso medido: de abrir los libros a las cifras del balance.
int UnBalance() {
  tv::bench::PicoPrivado pico;
  if (!tv::bench::AbrirComoElPrograma()) return 2;
  double abiertos = pico.MB();
  double residenteAbiertos = PicoResidenteMB();
  auto f = std::make_unique<TFrmBalances>(nullptr);
  FrmBalances = f.get();
  f->Llamado = 2;
  f->EdFechaInicio->Text = "01/01/2026";
  f->EdFechaFinal->Text = "31/12/2026";
  f->FormActivate(f.get());
  f->RBTodo->Checked = true;
  f->BtnInformeClick(f.get());
  std::printf("filas=%d abiertos_privado_MB=%.1f pico_privado_MB=%.1f abiertos_residente_MB=%.1f\n",
              DM->TblBal->GetRecordCount(), abiertos, pico.MB(), residenteAbiertos);
  std::fflush(stdout);
  return 0;
}

struct Corrida {
  double segundos = 0;
  double picoMB = 0;  // el máximo residente del proceso, con las páginas mapeadas
  int estado = -1;
  std::string salida;
};

// Corre el programa como proceso aparte, con la salida capturada.
Corrida Correr(const std::vector<std::string>& args) {
  Corrida r;
  int tubo[2];
  if (::pipe(tubo) != 0) return r;
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(tubo[1], 1);
    ::close(tubo[0]);
    ::close(tubo[1]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(tubo[1]);
  char buf[4096];
  ssize_t n;
  while ((n = ::read(tubo[0], buf, sizeof buf)) > 0)
    if (r.salida.size() < 4096) r.salida.append(buf, static_cast<size_t>(n));
  ::close(tubo[0]);
  int status = 0;
  rusage u{};
  ::wait4(pid, &status, 0, &u);
  r.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  r.picoMB = u.ru_maxrss / 1024.0;
  r.estado = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Cifra(const std::string& salida, const char* nombre) {
  auto p = salida.find(std::string(nombre) + "=");
  return p == std::string::npos ? -1 : std::atof(salida.c_str() + p + std::strlen(nombre) + 1);
}

// Cada vuelta: el proceso del balance y el de ledger, uno tras otro. La meta es la razón
// entre las medianas (proceso / ledger) ≤ 1/20.
void BM_ProcessTrialBalanceYearVsLedger(benchmark::State& state) {
  if (std::system("command -v ledger >/dev/null 2>&1") != 0) {
    state.SkipWithError("ledger no está instalado: sin comparación");
    return;
  }
  std::string diario = tv::bench::DiarioLedger();
  if (diario.empty()) {
    state.SkipWithError("no se pudo escribir el diario de ledger");
    return;
  }
  std::string yo = "/proc/self/exe";
  std::vector<double> propio, ajeno;
  Corrida ultima;
  for (auto _ : state) {
    Corrida b = Correr({yo, "--un-balance"});
    if (b.estado != 0) {
      state.SkipWithError(("el proceso del balance falló: " + b.salida).c_str());
      return;
    }
    Corrida l = Correr({"ledger", "-f", diario, "-b", "2026/01/01", "-e", "2027/01/01", "balance"});
    if (l.estado != 0) {
      state.SkipWithError("ledger falló");
      return;
    }
    propio.push_back(b.segundos);
    ajeno.push_back(l.segundos);
    ultima = b;
  }
  double p = Mediana(propio), a = Mediana(ajeno);
  state.counters["proceso_s"] = p;
  state.counters["ledger_s"] = a;
  state.counters["fraccion_de_ledger"] = a > 0 ? p / a : 0;
  state.counters["veces_mas_rapido"] = p > 0 ? a / p : 0;
  state.counters["filas"] = Cifra(ultima.salida, "filas");
  state.counters["abiertos_privado_MB"] = Cifra(ultima.salida, "abiertos_privado_MB");
  state.counters["pico_privado_MB"] = Cifra(ultima.salida, "pico_privado_MB");
  state.counters["abiertos_residente_MB"] = Cifra(ultima.salida, "abiertos_residente_MB");
  state.counters["pico_residente_MB"] = ultima.picoMB;
}

}  // namespace

BENCHMARK(BM_ProcessTrialBalanceYearVsLedger)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--un-balance") == 0) return UnBalance();
  // Los libros se generan (o se comprueban) antes de medir, no dentro del primer proceso.
  tv::bench::LibrosBench();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
