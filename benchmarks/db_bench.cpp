// Engine figures on a generated set of books: 1,000,000 journal lines, 2,000 accounts,
// 50,000 documents.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <cstring>
#include <string>

#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"

namespace {
constexpr int kLines = 1000000;
constexpr int kAccounts = 2000;
constexpr int kDocuments = 50000;

long RssKb() {
  long pages = 0, rss = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &rss) != 2) rss = 0;
    std::fclose(f);
  }
  return rss * (sysconf(_SC_PAGESIZE) / 1024);
}

// The generated folder, made once per run.
const std::string& Books() {
  static std::string dir = [] {
    ResetFormatSettings();
    char tmpl[] = "/tmp/tvbenchXXXXXX";
    std::string d = std::string(mkdtemp(tmpl)) + "/";
    auto conn = tv::db::ConnectionFor(d.c_str());
    conn->Exec(
        "CREATE TABLE MVT (descdocu VARCHAR(3), numedocu VARCHAR(13), fecha DATE, numecuen VARCHAR(18),"
        " cedulanit VARCHAR(18), centcost VARCHAR(6), numecomp VARCHAR(13), detalle VARCHAR(60),"
        " debito NUMERIC, credito NUMERIC, cantidad NUMERIC, item INTEGER)");
    conn->Exec("BEGIN");
    tv::db::Stmt ins = conn->Prepare("INSERT INTO MVT VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    std::mt19937 rng(42);
    const char* types[] = {"CE", "IN", "CP", "NC", "_OP"};
    int line = 0;
    for (int doc = 0; doc < kDocuments; ++doc) {
      int perDoc = kLines / kDocuments;
      std::string type = types[doc % 5];
      std::string num = std::to_string(doc / 5 + 1);
      char date[11];
      std::snprintf(date, sizeof date, "2024-%02d-%02d", doc % 12 + 1, doc % 28 + 1);
      for (int k = 0; k < perDoc; ++k, ++line) {
        double amount = static_cast<double>(rng() % 1000000) / 100.0;
        ins.Bind(1, tv::db::Cell::String(type));
        ins.Bind(2, tv::db::Cell::String(num));
        ins.Bind(3, tv::db::Cell::String(date));
        ins.Bind(4, tv::db::Cell::String(std::to_string(110500 + rng() % kAccounts)));
        ins.Bind(5, tv::db::Cell::String(std::to_string(800000000 + rng() % 5000)));
        ins.Bind(6, tv::db::Cell::String("01"));
        ins.Bind(7, tv::db::Cell());
        ins.Bind(8, tv::db::Cell::String("Detalle de la linea " + std::to_string(line)));
        ins.Bind(9, k % 2 ? tv::db::Cell::Float(amount) : tv::db::Cell::Integer(0));
        ins.Bind(10, k % 2 ? tv::db::Cell::Integer(0) : tv::db::Cell::Float(amount));
        ins.Bind(11, tv::db::Cell::Integer(0));
        ins.Bind(12, tv::db::Cell::Integer(k + 1));
        ins.Step();
        ins.Reset();
      }
    }
    conn->Exec("CREATE INDEX MVT_Documento ON MVT (descdocu, numedocu)");
    conn->Exec("CREATE INDEX MVT_Cuenta ON MVT (numecuen, fecha, debito, credito)");
    conn->Exec("CREATE INDEX MVT_Fecha ON MVT (fecha)");
    // made for case-insensitive searches of the detail
    conn->Exec("CREATE INDEX MVT_DetalleMin ON MVT (lower(detalle))");
    conn->Exec("COMMIT");
    Session->AddStandardAlias("Contabilidad", d.c_str(), "PARADOX");
    std::atexit([] {
      tv::db::ReleaseDatabase("Contabilidad");
      std::filesystem::remove_all(Books());
    });
    return d;
  }();
  return dir;
}

void BM_OpenTable(benchmark::State& state) {
  Books();
  long rss = 0, total = 0;
  for (auto _ : state) {
    long before = RssKb();
    TTable t(nullptr);
    t.DatabaseName = "Contabilidad";
    t.TableName = "MVT.db";
    t.Open();
    benchmark::DoNotOptimize(t.GetRecordCount());
    rss = std::max(rss, RssKb() - before);
    total = std::max(total, RssKb());
    t.Close();
  }
  state.counters["rss_delta_MB"] = static_cast<double>(rss) / 1024.0;
  state.counters["rss_MB"] = static_cast<double>(total) / 1024.0;
}
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond);

TTable& OpenMvt() {
  static TTable* t = [] {
    Books();
    auto* table = new TTable(nullptr);
    table->DatabaseName = "Contabilidad";
    table->TableName = "MVT.db";
    table->Open();
    return table;
  }();
  return *t;
}

void BM_LocateDocument(benchmark::State& state) {
  TTable& t = OpenMvt();
  std::mt19937 rng(7);
  const char* types[] = {"CE", "IN", "CP", "NC", "_OP"};
  for (auto _ : state) {
    int doc = static_cast<int>(rng() % kDocuments);
    bool ok = t.Locate("descdocu;numedocu", VarArrayOf({types[doc % 5], std::to_string(doc / 5 + 1)}), {});
    if (!ok) state.SkipWithError("document not found");
  }
}
BENCHMARK(BM_LocateDocument)->Unit(benchmark::kMicrosecond);

void BM_ScanAllRows(benchmark::State& state) {
  TTable& t = OpenMvt();
  TField* debito = t.FieldByName("debito");
  for (auto _ : state) {
    double sum = 0;
    int n = 0;
    for (t.First(); !t.GetEof(); t.Next()) {
      sum += debito->GetAsFloat();
      ++n;
    }
    benchmark::DoNotOptimize(sum);
    state.counters["rows"] = n;
  }
}
BENCHMARK(BM_ScanAllRows)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_GroupBySum(benchmark::State& state) {
  Books();
  for (auto _ : state) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    q.SQL->Add("select numecuen, sum(debito) as sd ,sum(credito) as sc from mvt where (numecuen>='1' and  numecuen<'8') group by numecuen");
    q.Open();
    state.counters["groups"] = q.GetRecordCount();
  }
}
BENCHMARK(BM_GroupBySum)->Unit(benchmark::kMillisecond);

void BM_Save50Lines(benchmark::State& state) {
  TTable& t = OpenMvt();
  int doc = 0;
  for (auto _ : state) {
    std::string num = std::to_string(900000 + doc++);
    tv::db::Transaction tx("Contabilidad");
    for (int k = 0; k < 50; ++k) {
      t.Append();
      t.FieldByName("descdocu")->AsString = "CE";
      t.FieldByName("numedocu")->AsString = num.c_str();
      t.FieldByName("fecha")->AsDateTime = EncodeDate(2024, 6, 30);
      t.FieldByName("numecuen")->AsString = "110505";
      t.FieldByName("debito")->AsFloat = k % 2 ? 100.5 : 0;
      t.FieldByName("credito")->AsFloat = k % 2 ? 0 : 100.5;
      t.FieldByName("detalle")->AsString = "Pago";
      t.Post();
    }
    if (DbiSaveChanges(t.Handle()) != DBIERR_NONE) state.SkipWithError("commit failed");
    tx.Commit();
  }
}
BENCHMARK(BM_Save50Lines)->Unit(benchmark::kMillisecond);

void BM_TranslateStatement(benchmark::State& state) {
  Books();
  auto conn = tv::db::ConnectionFor("Contabilidad");
  const std::string sql =
      "select numecuen, sum(debito) as sd ,sum(credito) as sc from mvt where fecha>='01/01/2024' and "
      "fecha<='12/31/2024' and descdocu=\"CE\" group by numecuen";
  for (auto _ : state) benchmark::DoNotOptimize(tv::db::TranslateLocalSql(sql, *conn));
}
BENCHMARK(BM_TranslateStatement)->Unit(benchmark::kMicrosecond);

// Anonymous resident memory (heap): what the program holds, without the mapped database.
long AnonKb() {
  long kb = 0;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, "RssAnon:", 8) == 0) kb = std::atol(line + 8);
    std::fclose(f);
  }
  return kb;
}

// One line posted into the million-line table kept in document order, inside an open
// transaction (a document being saved); the second view, when open, is read after each post.
void PostInKeyOrder(benchmark::State& state, bool secondView) {
  Books();
  TTable t(nullptr);
  t.DatabaseName = "Contabilidad";
  t.TableName = "MVT.db";
  t.IndexFieldNames = "descdocu;numedocu";
  t.Open();
  std::unique_ptr<TTable> other;
  if (secondView) {
    other = std::make_unique<TTable>(nullptr);
    other->DatabaseName = "Contabilidad";
    other->TableName = "MVT.db";
    other->IndexFieldNames = "descdocu;numedocu";
    other->Open();
  }
  std::mt19937 rng(11);
  tv::db::Transaction tx("Contabilidad");
  for (auto _ : state) {
    t.Append();
    t.FieldByName("descdocu")->AsString = "CE";
    t.FieldByName("numedocu")->AsString = std::to_string(rng() % 10000).c_str();
    t.FieldByName("numecuen")->AsString = "110505";
    t.FieldByName("debito")->AsFloat = 100.5;
    t.Post();
    if (other) benchmark::DoNotOptimize(other->GetRecordCount());
  }
  tx.Rollback();
}
void BM_PostKeyOrder(benchmark::State& state) { PostInKeyOrder(state, false); }
void BM_PostKeyOrderSecondView(benchmark::State& state) { PostInKeyOrder(state, true); }
BENCHMARK(BM_PostKeyOrder)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostKeyOrderSecondView)->Unit(benchmark::kMicrosecond);

void BM_LocatePartialKey(benchmark::State& state) {
  TTable& t = OpenMvt();
  std::mt19937 rng(8);
  for (auto _ : state) {
    std::string prefix = std::to_string(110500 + rng() % kAccounts).substr(0, 5);
    if (!t.Locate("numecuen", Variant(prefix.c_str()), {loPartialKey})) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_LocatePartialKey)->Unit(benchmark::kMicrosecond);

void BM_LocateCaseInsensitive(benchmark::State& state) {
  TTable& t = OpenMvt();
  std::mt19937 rng(9);
  for (auto _ : state) {
    std::string want = "DETALLE DE LA LINEA " + std::to_string(rng() % kLines);
    if (!t.Locate("detalle", Variant(want.c_str()), {loCaseInsensitive})) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_LocateCaseInsensitive)->Unit(benchmark::kMicrosecond);

void BM_QueryFirstRow(benchmark::State& state) {
  Books();
  for (auto _ : state) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    q.SQL->Add("select * from mvt");
    q.Open();
    benchmark::DoNotOptimize(q.FieldByName("detalle")->GetAsString());
  }
}
BENCHMARK(BM_QueryFirstRow)->Unit(benchmark::kMillisecond);

void BM_QueryReadAll(benchmark::State& state) {
  Books();
  long peak = 0, base = AnonKb();
  for (auto _ : state) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    q.SQL->Add("select * from mvt");
    q.Open();
    int n = 0;
    for (; !q.GetEof(); q.Next())
      if (++n % 100000 == 0) peak = std::max(peak, AnonKb() - base);
    peak = std::max(peak, AnonKb() - base);
    state.counters["rows"] = n;
  }
  state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_QueryReadAll)->Unit(benchmark::kMillisecond)->Iterations(2);

// Closing a database while another process holds a write transaction on it.
void BM_CloseWhileOtherWrites(benchmark::State& state) {
  char tmpl[] = "/tmp/tvcloseXXXXXX";
  std::string dir = std::string(mkdtemp(tmpl)) + "/";
  {
    auto conn = tv::db::ConnectionFor(dir.c_str());
    conn->Exec("CREATE TABLE PL (numecuen VARCHAR(18))");
    conn->Exec("INSERT INTO PL VALUES ('1105')");
  }
  tv::db::ReleaseDatabase(dir.c_str());
  int ready[2];
  if (pipe(ready) != 0) state.SkipWithError("pipe");
  std::string env = "TV_BENCH_HOLD_WRITE=" + dir;
  std::string fd = "TV_BENCH_READY_FD=" + std::to_string(ready[1]);
  char* envp[] = {env.data(), fd.data(), nullptr};
  std::string self = "/proc/self/exe";
  char* argv[] = {self.data(), nullptr};
  pid_t pid = 0;
  posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp);
  close(ready[1]);
  char c = 0;
  if (read(ready[0], &c, 1) != 1) state.SkipWithError("holder did not start");
  for (auto _ : state) {
    state.PauseTiming();
    auto conn = tv::db::ConnectionFor(dir.c_str());
    tv::db::Stmt st = conn->Prepare("SELECT count(*) FROM PL");
    st.Step();
    st = tv::db::Stmt();
    conn.reset();
    state.ResumeTiming();
    tv::db::ReleaseDatabase(dir.c_str());
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(ready[0]);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CloseWhileOtherWrites)->Unit(benchmark::kMillisecond)->Iterations(5);

// The other process of BM_CloseWhileOtherWrites: holds a write transaction until killed.
int HoldWrite(const char* dir, int readyFd) {
  sqlite3* db = nullptr;
  std::string path = std::string(dir) + tv::db::kDatabaseFileName;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return 1;
  if (sqlite3_exec(db, "BEGIN IMMEDIATE; INSERT INTO PL VALUES ('2')", nullptr, nullptr, nullptr) != SQLITE_OK) return 1;
  if (write(readyFd, "r", 1) != 1) return 1;
  for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* dir = std::getenv("TV_BENCH_HOLD_WRITE"))
    return HoldWrite(dir, std::atoi(std::getenv("TV_BENCH_READY_FD")));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
