// Consultas, libros y listados sobre los libros compartidos (un millón de líneas): la consulta
// de documentos con y sin encabezados que faltan, los auxiliares de un prefijo de dos dígitos
// en un mes, el listado de movimientos con "movimiento.csv", la exógena con cinco patrones y
// los auxiliares impresos a PDF.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Sesion.h"
#include "common/LibrosBench.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"
#include "reports/FrmExogena.h"
#include "reports/FrmInfComp.h"
#include "reports/FrmLibros.h"
#include "reports/FrmMovimientos.h"
#include "reports/FrmRepLibros.h"
#include "shared/general/Exportar.h"
#include "shared/general/SqlUtil.h"
#include "platform/core/SysUtils.h"

namespace {

double PicoMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

void Periodo(TFrmConPeriodo* f, const char* desde, const char* hasta) {
  f->EdFechaInicio->Text = desde;
  f->EdFechaFinal->Text = hasta;
}

// Prefijo de dos dígitos de la primera subcuenta.
std::string Prefijo() { return tv::bench::CuentaAuxiliar(0).substr(0, 2); }

void Exec(const std::string& sql) {
  tv::db::ConnectionFor(tv::bench::LibrosBench().libros.c_str())->Exec(sql);
}

// Los libros abiertos como los abre el programa; si no, el caso se salta con el motivo.
bool Abiertos(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

// El listado de movimientos del año entero hasta su primera fila en la rejilla.
void ListadoDelAnio(TFrmMovimientos* f) {
  HagaSQL("Contabilidad", f->Query1,
          "select descdocu,numedocu,fecha,cedulanit,nombre,numecuen,nombCuen, desccomp, numecomp,debito,"
          "credito,detalle from mvt a, pl b, tc c where a.numeCuen=b.numeCuen and Fecha>=\"01/01/2026\" and "
          "Fecha<=\"12/31/2026\" and (a.cedulanit=c.cedulanit or a.cedulanit is null and c.cedulanit is null) "
          "order by NumeCuen");
  benchmark::DoNotOptimize(f->DBGrid1->DisplayText(0, 0));
}

void DocumentosConFaltantes(benchmark::State& state, bool faltan) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TFrmInfComp>(nullptr);
  FrmInfComp = f.get();
  Periodo(f.get(), "01/01/2026", "31/01/2026");
  f->BtnAceptarClick(f.get());  // deja los encabezados completos
  int creados = 0;
  for (auto _ : state) {
    if (faltan) {
      state.PauseTiming();
      // Uno de cada diez documentos (los números que terminan en 7) pierde su encabezado.
      Exec("DELETE FROM mvtMaestro WHERE numedocu LIKE '%7'");
      state.ResumeTiming();
    }
    f->BtnAceptarClick(f.get());
    creados = f->Query3->GetRecordCount();
  }
  state.counters["encabezados_listados"] = f->Query1->GetRecordCount();
  state.counters["grupos_sin_encabezado"] = creados;
  state.counters["pico_MB"] = PicoMB();
  FrmInfComp = nullptr;
}

void BM_DocumentsQueryTenPercentMissing(benchmark::State& s) { DocumentosConFaltantes(s, true); }
void BM_DocumentsQueryNoneMissing(benchmark::State& s) { DocumentosConFaltantes(s, false); }

void BM_AuxiliariesTwoDigitPrefixOneMonth(benchmark::State& state) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TFrmAuxiliares>(nullptr);
  FrmAuxiliares = f.get();
  Periodo(f.get(), "01/03/2026", "31/03/2026");
  f->EdICuenta->Text = Prefijo().c_str();
  for (auto _ : state) f->BtnAceptarClick(f.get());
  state.counters["lineas"] = f->Query1->GetRecordCount();
  state.counters["pico_MB"] = PicoMB();
  FrmAuxiliares = nullptr;
}

void BM_MovementListingOneMonthWithCsv(benchmark::State& state) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TFrmMovimientos>(nullptr);
  FrmMovimientos = f.get();
  Periodo(f.get(), "01/03/2026", "31/03/2026");
  for (auto _ : state) f->BtnAceptarClick(f.get());
  state.counters["lineas"] = f->Query1->GetRecordCount();
  state.counters["pico_MB"] = PicoMB();
  FrmMovimientos = nullptr;
}

// El año entero: hasta la primera fila en la rejilla.
void BM_MovementListingWholeYearFirstRows(benchmark::State& state) {
  if (!Abiertos(state)) return;
  state.counters["pico_MB_al_abrir"] = PicoMB();
  auto f = std::make_unique<TFrmMovimientos>(nullptr);
  FrmMovimientos = f.get();
  Periodo(f.get(), "01/01/2026", "31/12/2026");
  f->RG1->ItemIndex = 1;
  for (auto _ : state) {
    ListadoDelAnio(f.get());
  }
  // La memoria antes de contar las filas, que recorre el resultado entero.
  state.counters["pico_MB"] = PicoMB();
  state.counters["lineas"] = f->Query1->GetRecordCount();
  state.counters["pico_MB_tras_contar"] = PicoMB();
  FrmMovimientos = nullptr;
}

// El año entero con todas las filas contadas: la cuenta no guarda las filas que cuenta. La
// memoria propia del proceso (sin las páginas del archivo mapeado) es la de la meta.
void BM_MovementListingWholeYearAllRowsCounted(benchmark::State& state) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TFrmMovimientos>(nullptr);
  FrmMovimientos = f.get();
  int lineas = 0;
  tv::bench::PicoPrivado pico;
  for (auto _ : state) {
    ListadoDelAnio(f.get());
    lineas = f->Query1->GetRecordCount();
  }
  state.counters["lineas"] = lineas;
  state.counters["pico_privado_MB"] = pico.MB();
  state.counters["pico_residente_MB"] = PicoMB();
  FrmMovimientos = nullptr;
}

void BM_ExogenousExportFivePatterns(benchmark::State& state) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TfrmExogena>(nullptr);
  frmExogena = f.get();
  // Cinco cuentas de la clase 2 del plan generado, como las cuentas de impuestos de una entidad.
  f->Memo1->Text = "2105%\n2205%\n2305%\n2110%\n2210%";
  f->fechaInicial = EncodeDate(2026, 1, 1);
  f->fechaFinal = EncodeDate(2026, 12, 31);
  std::string csv = (std::filesystem::temp_directory_path() / "h_exogena_bench.csv").string();
  for (auto _ : state) {
    // Lo que hace "&Exportar" sin el diálogo de archivo.
    f->tblInfExogena->Close();
    HagaSQL("Contabilidad", f->queryGral, "drop table infExogena");
    tv::db::Transaction tr("Contabilidad");
    f->crearTablaInfExogena();
    f->fillTableInfExogena();
    tr.Commit();
    f->tblInfExogena->DatabaseName = PathCont;
    f->tblInfExogena->TableName = "infExogena.db";
    f->tblInfExogena->Open();
    DBToCSV(f->tblInfExogena, csv.c_str());
  }
  state.counters["filas"] = f->tblInfExogena->GetRecordCount();
  state.counters["pico_MB"] = PicoMB();
  f->tblInfExogena->Close();
  frmExogena = nullptr;
}

void BM_PrintedAuxiliariesOneMonthToPdf(benchmark::State& state) {
  if (!Abiertos(state)) return;
  auto f = std::make_unique<TFrmAuxiliares>(nullptr);
  FrmAuxiliares = f.get();
  Periodo(f.get(), "01/03/2026", "31/03/2026");
  f->EdICuenta->Text = Prefijo().c_str();
  f->BtnAceptarClick(f.get());
  std::string pdf = (std::filesystem::temp_directory_path() / "h_auxiliares_bench.pdf").string();
  int paginas = 0;
  double segundos = 0;
  for (auto _ : state) {
    auto inicio = std::chrono::steady_clock::now();
    auto r = std::make_unique<TFrmRepAuxiliares>(f.get());
    FrmRepAuxiliares = r.get();
    r->QuickRep1->Prepare();
    tv::report::SavePdf(r->QuickRep1->Prepared(), pdf);
    paginas = r->QuickRep1->Prepared().PageCount();
    FrmRepAuxiliares = nullptr;
    segundos += std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
  }
  state.counters["paginas"] = paginas;
  state.counters["paginas_por_s"] = segundos > 0 ? paginas * state.iterations() / segundos : 0;
  state.counters["pico_MB"] = PicoMB();
  FrmAuxiliares = nullptr;
}

}  // namespace

BENCHMARK(BM_DocumentsQueryTenPercentMissing)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DocumentsQueryNoneMissing)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AuxiliariesTwoDigitPrefixOneMonth)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MovementListingOneMonthWithCsv)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MovementListingWholeYearFirstRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MovementListingWholeYearAllRowsCounted)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExogenousExportFivePatterns)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintedAuxiliariesOneMonthToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
