// El editor de comprobantes sobre los libros compartidos (un millón de líneas, dos mil
// subcuentas, cien mil terceros): cambio de fila con sus totales y nombres en un documento de
// 500 líneas, grabar documentos de 50 y de 500 líneas, y traer uno de 500.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "common/LibrosBench.h"
#include "ledger/FrmAsientos.h"
#include "platform/db/Checkpoint.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Headless.h"
#include "platform/forms/StdCtrls.h"

namespace {

int siguiente = 0;
// Números de documento nuevos en cada corrida: los libros compartidos se reutilizan.
std::string Numero(const char* prefijo) {
  static const std::string corrida = std::to_string(std::time(nullptr) % 1000000);
  return prefijo + corrida + "-" + std::to_string(++siguiente);
}

bool Abrir(benchmark::State& state) {
  if (tv::bench::AbrirComoElPrograma()) return true;
  state.SkipWithError("no se abrieron los libros");
  return false;
}

void Sql(const std::string& sql) {
  tv::db::ConnectionFor(tv::bench::LibrosBench().libros.c_str())->Exec(sql);
}

// Editor con un documento nuevo en mano; sin advertencias, como lo usa quien digita mucho.
std::unique_ptr<TFrmAsientos> Editor(const std::string& numero) {
  Permisos.BGrabar = Permisos.BModificar = true;
  auto e = std::make_unique<TFrmAsientos>(nullptr);
  FrmAsientos = e.get();
  e->CBMes->ItemIndex = 5;
  e->Anio->Text = "2026";
  e->FormActivate(e.get());
  e->chbEstricto->Checked = false;
  e->CBDocumentos->Text = "CE";
  e->EdNumDoc->Text = numero.c_str();
  e->EdDia->Text = "10";
  e->BtnTraerCrearClick(e.get());
  return e;
}

// Líneas de trabajo: débitos y créditos que cuadran, cada una con cuenta auxiliar y tercero.
void Lineas(int n, const std::string& numero) {
  std::string sql =
      "INSERT INTO asientos (NUMECUEN, CEDULANIT, DETALLE, DEBITO, CREDITO, DESCDOCU, NUMEDOCU, \"Check\", "
      "CheckTercero) VALUES ";
  for (int i = 0; i < n; ++i) {
    bool debito = i % 2 == 0;
    sql += (i ? ", ('" : "('") + tv::bench::CuentaAuxiliar((i * 37) % tv::bench::kCuentasAuxiliares) + "', '" +
           tv::bench::Tercero((i * 7919) % tv::bench::kTerceros) + "', 'Línea " + std::to_string(i) + "', " +
           (debito ? "1234.56, 0" : "0, 1234.56") + ", 'CE', '" + numero + "', 1, 1)";
  }
  Sql(sql);
}

void BM_CambioDeFila500(benchmark::State& state) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  std::string numero = Numero("F");
  auto e = Editor(numero);
  Lineas(500, numero);
  e->TblAsiento->Refresh();
  e->TblAsiento->First();
  bool adelante = true;
  for (auto _ : state) {
    // Moverse de fila corre Totalice y ActualizaLabels.
    if (adelante) e->TblAsiento->Next(); else e->TblAsiento->Prior();
    adelante = !adelante;
  }
  if (e->LblDebito->Caption != "308,640.00" && e->LblDebito->Caption != "308.640,00")
    state.SkipWithError(("totales inesperados: " + e->LblDebito->Caption.str()).c_str());
  e->LimpiarAsiento();
  e.reset();
  tv::forms::SetUiDriver(anterior);
}
BENCHMARK(BM_CambioDeFila500)->Unit(benchmark::kMillisecond);

void Grabar(benchmark::State& state, int n) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  for (auto _ : state) {
    state.PauseTiming();
    std::string numero = Numero("G");
    auto e = Editor(numero);
    Lineas(n, numero);
    e->TblAsiento->Refresh();
    ui.takeMessages();
    state.ResumeTiming();
    e->BtnGrabarClick(e.get());
    state.PauseTiming();
    bool grabado = ui.lastMessage() == "Asiento Registrado";
    if (!grabado) state.SkipWithError(("no se grabó: " + ui.messageTexts().str()).c_str());
    e.reset();
    // Lo que el programa hace mientras el usuario lee "Asiento Registrado".
    tv::db::CheckpointWhenIdle();
    if (!grabado) break;
    state.ResumeTiming();
  }
  tv::forms::SetUiDriver(anterior);
}

void BM_Grabar50(benchmark::State& state) { Grabar(state, 50); }
BENCHMARK(BM_Grabar50)->Unit(benchmark::kMillisecond);

void BM_Grabar500(benchmark::State& state) { Grabar(state, 500); }
BENCHMARK(BM_Grabar500)->Unit(benchmark::kMillisecond);

// Las mismas líneas guardadas por la capa de datos sola (Append/Post sobre MVT de estos libros,
// una transacción): la base con la que se compara la grabación del editor.
void GrabarCapaDeDatos(benchmark::State& state, int n) {
  if (!Abrir(state)) return;
  TTable mvt(nullptr);
  mvt.DatabaseName = "Contabilidad";
  mvt.TableName = "MVT.db";
  mvt.Open();
  for (auto _ : state) {
    state.PauseTiming();
    std::string numero = Numero("D");
    state.ResumeTiming();
    tv::db::Transaction tx("Contabilidad");
    for (int i = 0; i < n; ++i) {
      bool debito = i % 2 == 0;
      mvt.Append();
      mvt.FieldByName("descdocu")->AsString = "CE";
      mvt.FieldByName("numedocu")->AsString = numero.c_str();
      mvt.FieldByName("fecha")->AsDateTime = EncodeDate(2026, 6, 10);
      mvt.FieldByName("numecuen")->AsString = tv::bench::CuentaAuxiliar((i * 37) % tv::bench::kCuentasAuxiliares).c_str();
      mvt.FieldByName("cedulanit")->AsString = tv::bench::Tercero((i * 7919) % tv::bench::kTerceros).c_str();
      mvt.FieldByName("detalle")->AsString = ("Línea " + std::to_string(i)).c_str();
      mvt.FieldByName("debito")->AsFloat = debito ? 1234.56 : 0;
      mvt.FieldByName("credito")->AsFloat = debito ? 0 : 1234.56;
      mvt.Post();
    }
    if (DbiSaveChanges(mvt.Handle()) != DBIERR_NONE) state.SkipWithError("no se guardó");
    tx.Commit();
    state.PauseTiming();
    tv::db::CheckpointWhenIdle();
    state.ResumeTiming();
  }
  mvt.Close();
}

void BM_GrabarCapaDeDatos50(benchmark::State& state) { GrabarCapaDeDatos(state, 50); }
BENCHMARK(BM_GrabarCapaDeDatos50)->Unit(benchmark::kMillisecond);

void BM_GrabarCapaDeDatos500(benchmark::State& state) { GrabarCapaDeDatos(state, 500); }
BENCHMARK(BM_GrabarCapaDeDatos500)->Unit(benchmark::kMillisecond);

void BM_Traer500(benchmark::State& state) {
  if (!Abrir(state)) return;
  tv::forms::HeadlessDriver ui(false);
  tv::forms::UiDriver* anterior = tv::forms::SetUiDriver(&ui);
  std::string numero = Numero("T");
  {
    auto e = Editor(numero);
    Lineas(500, numero);
    e->TblAsiento->Refresh();
    e->BtnGrabarClick(e.get());
    if (ui.lastMessage() != "Asiento Registrado") {
      state.SkipWithError(("no se grabó: " + ui.messageTexts().str()).c_str());
      tv::forms::SetUiDriver(anterior);
      return;
    }
  }
  auto e = Editor(Numero("V"));
  for (auto _ : state) {
    e->EdNumDoc->Text = numero.c_str();
    e->BtnTraerCrearClick(e.get());
    state.PauseTiming();
    if (e->TblAsiento->RecordCount != 500) {
      state.SkipWithError("no trajo las 500 líneas");
      break;
    }
    state.ResumeTiming();
  }
  e->LimpiarAsiento();
  e.reset();
  tv::forms::SetUiDriver(anterior);
}
BENCHMARK(BM_Traer500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
