// La reparación sobre contabilidades dañadas de varias maneras: cada tabla del esquema
// vuelve a leerse y se conservan las filas legibles. Las cifras quedan como propiedades
// de la prueba (--gtest_output=xml).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Headless.h"
#include "EsquemaDePrueba.h"
#include "shared/dialogs/RepairDialog.h"

namespace {

namespace fs = std::filesystem;

void Sql(const std::string& folder, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((folder + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << sql;
  sqlite3_free(err);
  sqlite3_close(db);
}

long long Una(const std::string& folder, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((folder + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  sqlite3_stmt* st = nullptr;
  long long n = -1;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    n = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

// Bytes [desde, hasta) del archivo de la base reemplazados por basura.
void Ensuciar(const std::string& folder, long desde, long hasta) {
  std::fstream f(folder + "/" + tv::db::kDatabaseFileName, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(desde);
  for (long k = desde; k < hasta; ++k) f.put(static_cast<char>((k * 7919) & 0xff));
}

}  // namespace

// Cada caso: el daño, si se pierden filas de MVT y lo que el mensaje debe nombrar. La tabla
// de cifras (daño, filas antes, filas recuperadas, mensaje) se imprime y queda como
// propiedad de la prueba.
TEST(ReparacionDaniada, CadaTablaVuelveAUsarseYLasPerdidasSeDicen) {
  struct Caso {
    const char* nombre;
    std::function<void(const std::string&)> daniar;
    bool pierdeMvt;  // el mensaje debe nombrar MVT y el respaldo; si no, "finalizada." a secas
  } casos[] = {
      {"archivo cortado",
       [](const std::string& l) {
         auto archivo = l + "/" + tv::db::kDatabaseFileName;
         fs::resize_file(archivo, fs::file_size(archivo) * 6 / 10);
       },
       true},
      {"bits cambiados en una página de MVT",
       [](const std::string& l) {
         long pagina = Una(l, "SELECT pageno FROM dbstat WHERE name='MVT' AND pagetype='leaf' LIMIT 1 OFFSET 10");
         Ensuciar(l, (pagina - 1) * 4096 + 200, (pagina - 1) * 4096 + 3000);
       },
       true},
      {"raíz de MVT dañada",
       [](const std::string& l) {
         long pagina = Una(l, "SELECT rootpage FROM sqlite_master WHERE name='MVT'");
         Ensuciar(l, (pagina - 1) * 4096, pagina * 4096);
       },
       true},
      {"tabla que falta", [](const std::string& l) { Sql(l, "DROP TABLE DG"); }, false},
      {"columna que falta", [](const std::string& l) { Sql(l, "ALTER TABLE PL DROP COLUMN exigterc"); }, false},
      {"catálogo dañado", [](const std::string& l) { Ensuciar(l, 100, 4096); }, true},
      {"archivo vacío", [](const std::string& l) { fs::resize_file(l + "/" + tv::db::kDatabaseFileName, 0); }, true},
      {"índice de nombres con el orden español guardado",
       [](const std::string& l) { Sql(l, "DROP INDEX IdxNombre; CREATE INDEX IdxNombre ON TC (nombre COLLATE ES)"); },
       false},
  };
  std::string tabla = "daño | MVT antes | MVT recuperadas | PL antes | PL recuperadas | mensaje\n";
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    char tmpl[] = "/tmp/tvdanioXXXXXX";
    std::string programa = mkdtemp(tmpl);
    tv::schema::InstallProgramFolder(programa);
    std::string libros = tv::schema::StarterBooksFolder(programa);
    std::string filas = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000) "
                        "INSERT INTO MVT (descdocu, numedocu, numecuen, detalle, debito) "
                        "SELECT 'CE', i, '110505', 'Linea de prueba numero ' || i, i FROM n";
    Sql(libros, "PRAGMA journal_mode=DELETE; " + filas);
    long long cuentas = Una(libros, "SELECT count(*) FROM PL");
    c.daniar(libros);

    tv::forms::HeadlessDriver ui;
    {
      TRepairDialog d(nullptr, libros.c_str(), EsquemaDePrueba());
      d.Show();
      d.BtnReconstruirCarpetaClick(&d);
    }
    tv::db::ReleaseDatabase(libros.c_str());
    std::string mensaje = ui.lastMessage().str();
    int usables = 0, tablas = 0;
    for (const auto& t : tv::schema::AllTables()) {
      if (t.place != tv::schema::Place::Books || t.createdBySql) continue;
      ++tablas;
      if (Una(libros, "SELECT count(*) FROM \"" + t.name + "\"") >= 0) ++usables;
    }
    EXPECT_EQ(usables, tablas);
    long long lineas = Una(libros, "SELECT count(*) FROM MVT");
    long long plan = Una(libros, "SELECT count(*) FROM PL");
    EXPECT_GE(Una(libros, "SELECT count(*) FROM pragma_table_info('PL') WHERE name='exigterc'"), 1);
    // Nada en el catálogo que otro cliente de SQLite no tenga.
    EXPECT_EQ(Una(libros, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%collate%'"), 0);
    if (c.pierdeMvt) {
      EXPECT_LT(lineas, 3000);
      EXPECT_NE(mensaje.find("MVT"), std::string::npos) << mensaje;
      EXPECT_NE(mensaje.find("BackupReparacion"), std::string::npos) << mensaje;
      EXPECT_EQ(mensaje.find("Reparación de tablas finalizada."), std::string::npos) << mensaje;
    } else {
      EXPECT_EQ(lineas, 3000);
      EXPECT_EQ(mensaje, "Reparación de tablas finalizada.");
    }
    std::string unaLinea = mensaje;
    for (char& ch : unaLinea)
      if (ch == '\n') ch = ' ';
    tabla += std::string(c.nombre) + " | 3000 | " + std::to_string(lineas) + " | " + std::to_string(cuentas) + " | " +
             std::to_string(plan) + " | " + unaLinea + "\n";
    ::testing::Test::RecordProperty(c.nombre, "MVT " + std::to_string(lineas) + "/3000; PL " + std::to_string(plan) +
                                                  "/" + std::to_string(cuentas) + "; " + unaLinea);
    fs::remove_all(programa);
  }
  std::printf("[reparación]\n%s", tabla.c_str());
}
