#include <sqlite3.h>

#include "BaseDatos.h"
#include "platform/forms/Headless.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"
#include "EsquemaDePrueba.h"
#include "shared/dialogs/RepairDialog.h"

using prueba::BaseDatos;

namespace {

class Reparacion : public BaseDatos {
 protected:
  void SetUp() override {
    BaseDatos::SetUp();
    Cuentas();
    Exec("CREATE INDEX PL_Nombre ON PL (nombcuen)");
    Exec("CREATE TABLE Config (clave VARCHAR(10))");
    Exec("INSERT INTO Config VALUES ('a')");
    Exec("CREATE TABLE Excluida (x INTEGER)");
    Exec("CREATE TABLE _qsq123 (x INTEGER)");
    prueba::EscribirBytes(dir / "TUtil32.ini", "[EXCEPCIONES]\r\nexcluida.db=1\r\n");
    respaldo = carpeta + "BackupReparacion" + FormatDateTime("yyyy_mm_dd", Date()).str();
  }
  void TearDown() override {
    tv::db::ReleaseDatabase(respaldo.c_str());
    BaseDatos::TearDown();
  }

  // Deja el índice PL_Nombre sin la fila que se agrega: la revisión de integridad lo nota.
  void DaniarIndice() {
    tv::db::ReleaseDatabase("Contabilidad");
    std::string archivo = carpeta + tv::db::kDatabaseFileName;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(archivo.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage, sql FROM sqlite_master WHERE name = 'PL_Nombre'", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    int raiz = sqlite3_column_int(st, 0);
    std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    sqlite3_finalize(st);
    sqlite3_exec(db, "PRAGMA writable_schema = ON; DELETE FROM sqlite_master WHERE name = 'PL_Nombre';",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    sqlite3_open(archivo.c_str(), &db);
    sqlite3_exec(db, "INSERT INTO PL (numecuen, nombcuen) VALUES ('9999', 'Sin indice')", nullptr, nullptr,
                 nullptr);
    std::string restaurar = "PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('index', "
                            "'PL_Nombre', 'PL', " + std::to_string(raiz) + ", '" + sql + "');";
    ASSERT_EQ(sqlite3_exec(db, restaurar.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  bool Sana() {
    auto informe = tv::db::IntegrityCheck("Contabilidad");
    return informe.size() == 1 && informe[0] == "ok";
  }

  std::string respaldo;
};

}  // namespace

TEST_F(Reparacion, ReparaUnaTablaDaniadaConRespaldoYExcepciones) {
  tv::forms::HeadlessDriver ui;
  DaniarIndice();
  ASSERT_FALSE(Sana());
  RepairDialog = new TRepairDialog(nullptr, carpeta.c_str(), EsquemaDePrueba());
  EXPECT_EQ(RepairDialog->Caption, "Reparación de la información");
  EXPECT_EQ(RepairDialog->Label2->Caption, carpeta);
  ASSERT_EQ(RepairDialog->Excepciones->Count(), 1);
  ui.onModal("TRepairDialog").click("Iniciar reparación");
  RepairDialog->ShowModal();
  EXPECT_TRUE(RepairDialog->LblFin->Visible);
  EXPECT_EQ(RepairDialog->ProgressBar1->Position, RepairDialog->ProgressBar1->Max);
  EXPECT_EQ(RepairDialog->ProgressBar1->Max, 2);  // PL y Excluida; Config nunca
  EXPECT_EQ(ui.lastMessage(), "Reparación de tablas finalizada.");
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(carpeta).parent_path());
  delete RepairDialog;
  EXPECT_TRUE(Sana());
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 4);
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL WHERE nombcuen = 'Sin indice'"), 1);
  EXPECT_EQ(Escalar("SELECT count(*) FROM Config"), 1);
  EXPECT_FALSE(tv::db::TableExists("Contabilidad", "_qsq123"));
  EXPECT_TRUE(tv::db::TableExists(respaldo.c_str(), "PL"));
  EXPECT_FALSE(tv::db::TableExists(respaldo.c_str(), "Config"));
  EXPECT_FALSE(tv::db::TableExists(respaldo.c_str(), "Excluida"));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(ui.unused(), "");
}

TEST_F(Reparacion, SegundaReparacionDelDiaNoPisaElRespaldo) {
  tv::forms::HeadlessDriver ui;
  auto reparar = [&] {
    RepairDialog = new TRepairDialog(nullptr, carpeta.c_str(), EsquemaDePrueba());
    RepairDialog->Show();
    RepairDialog->BtnReconstruirCarpetaClick(RepairDialog);
    delete RepairDialog;
  };
  reparar();
  Exec("DELETE FROM PL WHERE numecuen = '1105'");
  reparar();
  TTable primero(nullptr), segundo(nullptr);
  primero.DatabaseName = respaldo.c_str();
  primero.TableName = "PL";
  primero.Open();
  EXPECT_EQ(primero.RecordCount, 3);
  segundo.DatabaseName = respaldo.c_str();
  segundo.TableName = "PL_2";
  segundo.Open();
  EXPECT_EQ(segundo.RecordCount, 2);
  EXPECT_EQ(Escalar("SELECT count(*) FROM PL"), 2);  // una reparación no cambia datos sanos
}

// Una tabla que la verificación da por sana no se reconstruye (sus páginas son las mismas),
// pero igual queda en el respaldo, con sus filas y sus índices.
TEST_F(Reparacion, UnaTablaSanaQuedaComoEstaYSeRespalda) {
  tv::forms::HeadlessDriver ui;
  long long raiz = Escalar("SELECT rootpage FROM sqlite_master WHERE name = 'PL'");
  long long raizIndice = Escalar("SELECT rootpage FROM sqlite_master WHERE name = 'PL_Nombre'");
  RepairDialog = new TRepairDialog(nullptr, carpeta.c_str(), EsquemaDePrueba());
  RepairDialog->Show();
  RepairDialog->BtnReconstruirCarpetaClick(RepairDialog);
  delete RepairDialog;
  EXPECT_EQ(ui.lastMessage(), "Reparación de tablas finalizada.");
  EXPECT_EQ(Escalar("SELECT rootpage FROM sqlite_master WHERE name = 'PL'"), raiz);
  EXPECT_EQ(Escalar("SELECT rootpage FROM sqlite_master WHERE name = 'PL_Nombre'"), raizIndice);
  TTable copia(nullptr);
  copia.DatabaseName = respaldo.c_str();
  copia.TableName = "PL";
  copia.Open();
  EXPECT_EQ(copia.RecordCount, Escalar("SELECT count(*) FROM PL"));
  copia.Close();
  auto conn = tv::db::ConnectionFor(respaldo.c_str());
  tv::db::Stmt st = conn->Prepare("SELECT count(*) FROM sqlite_master WHERE name = 'PL_Nombre'");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Column(0).i, 1);
  EXPECT_FALSE(tv::db::TableExists(respaldo.c_str(), "Config"));
  EXPECT_FALSE(tv::db::TableExists(respaldo.c_str(), "Excluida"));
}

TEST_F(Reparacion, CarpetaVaciaOInalcanzable) {
  tv::forms::HeadlessDriver ui;
  std::filesystem::create_directory(dir / "vacia");
  prueba::EscribirBytes(dir / "vacia/_QSQ1.DB", "x");
  TRepairDialog vacia(nullptr, (dir / "vacia").c_str());
  vacia.BtnReconstruirCarpetaClick(&vacia);
  EXPECT_EQ(ui.lastMessage(), "No hay tablas en el directorio especificado.");
  EXPECT_FALSE(std::filesystem::exists(dir / "vacia/_QSQ1.DB"));
  EXPECT_FALSE(vacia.LblFin->Visible);
  TRepairDialog falta(nullptr, (dir / "no-existe").c_str());
  falta.BtnReconstruirCarpetaClick(&falta);
  EXPECT_EQ(ui.lastMessage(), AnsiString("No se cambio al directorio: ") + (dir / "no-existe").c_str());
}

TEST_F(Reparacion, NoRepararAhoraYParametrosTerminanElPrograma) {
  {
    tv::forms::HeadlessDriver ui;
    RepairDialog = new TRepairDialog(nullptr, carpeta.c_str(), EsquemaDePrueba());
    ui.onModal("TRepairDialog").click("No reparar ahora");
    RepairDialog->ShowModal();
    EXPECT_TRUE(Application->Terminated());
    delete RepairDialog;
  }
  {
    tv::forms::HeadlessDriver ui;
    char programa[] = "tallivar", parametro[] = "/reparar";
    char* argv[] = {programa, parametro};
    tv::os::InitCommandLine(2, argv);
    TRepairDialog d(nullptr, carpeta.c_str(), EsquemaDePrueba());
    d.Show();
    d.BtnReconstruirCarpetaClick(&d);
    EXPECT_TRUE(Application->Terminated());
    tv::os::InitCommandLine(1, argv);
  }
}
