// La reparación sobre contabilidades dañadas de varias maneras: cada tabla del esquema
// vuelve a leerse y se conservan las filas legibles. Las cifras quedan como propiedades
// de la prueba (--gtest_output=xml).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Headless.h"
#include "Danios.h"
#include "EsquemaDePrueba.h"
#include "shared/dialogs/RepairDialog.h"

namespace {
namespace fs = std::filesystem;
using namespace danios;
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

// Cada clase de daño: cuántas líneas de MVT quedan, qué dice el mensaje y que una búsqueda por
// cada índice encuentre lo que encuentra el recorrido de la tabla. Los disparadores de la
// tabla rehecha siguen en su sitio.
TEST(ReparacionDaniada, CadaClaseDeDanio) {
  struct Caso {
    const char* nombre;
    std::function<void(const std::string&)> daniar;
    long long lineas;               // las de MVT tras la reparación; -1: menos de 3000
    std::vector<std::string> dice;  // lo que el mensaje debe nombrar; vacío: "finalizada." a secas
  } casos[] = {
      {"filas que faltan en un índice",
       [](const std::string& l) {
         SinIndice(l, "MVT_Cuenta", "INSERT INTO MVT (descdocu, numedocu, numecuen) VALUES ('CE', 9001, '110510')");
       },
       3001, {}},
      {"filas de más en un índice",
       [](const std::string& l) { SinIndice(l, "MVT_Cuenta", "DELETE FROM MVT WHERE rowid <= 10"); }, 2990, {}},
      {"índice con otro orden guardado",
       [](const std::string& l) {
         Sql(l, "CREATE INDEX MVT_Detalle ON MVT (detalle COLLATE NOCASE); "
                "UPDATE MVT SET detalle = upper(detalle) WHERE numedocu % 3 = 0");
         Sql(l, "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE INDEX MVT_Detalle ON MVT "
                "(detalle)' WHERE name = 'MVT_Detalle'");
       },
       3000, {}},
      {"página de MVT en ceros", [](const std::string& l) { EnCeros(l, Hoja(l, "MVT", 10)); }, -1,
       {"MVT", "BackupReparacion"}},
      {"página de un índice de MVT en ceros", [](const std::string& l) { EnCeros(l, Hoja(l, "MVT_Cuenta", 3)); }, 3000,
       {}},
      {"clave única repetida",
       [](const std::string& l) {
         Sql(l, "CREATE UNIQUE INDEX MVT_Unica ON MVT (descdocu, numedocu)");
         SinIndice(l, "MVT_Unica",
                   "INSERT INTO MVT (descdocu, numedocu, numecuen) VALUES ('CE', 7, '110510'), ('CE', 8, '110510')");
       },
       3000, {"MVT: 2 filas", "clave única repetida", "BackupReparacion"}},
      {"registro mal formado", RegistroMalFormado, -1, {"MVT", "BackupReparacion"}},
      {"archivo cortado",
       [](const std::string& l) {
         auto archivo = l + "/" + tv::db::kDatabaseFileName;
         fs::resize_file(archivo, fs::file_size(archivo) * 8 / 10);
       },
       -1, {"MVT", "BackupReparacion"}},
      {"registro de escritura sin volcar", RegistroSinVolcar, 3100, {}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    char tmpl[] = "/tmp/tvdanioXXXXXX";
    std::string programa = mkdtemp(tmpl);
    tv::schema::InstallProgramFolder(programa);
    std::string libros = tv::schema::StarterBooksFolder(programa);
    Sql(libros, "PRAGMA journal_mode=DELETE; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                "i<3000) INSERT INTO MVT (descdocu, numedocu, numecuen, detalle, debito) "
                "SELECT 'CE', i, '110505', 'Linea de prueba numero ' || i, i FROM n");
    long long disparadores = Una(libros, "SELECT count(*) FROM sqlite_master WHERE type='trigger' AND tbl_name='MVT'");
    c.daniar(libros);

    tv::forms::HeadlessDriver ui;
    {
      TRepairDialog d(nullptr, libros.c_str(), EsquemaDePrueba());
      d.Show();
      d.BtnReconstruirCarpetaClick(&d);
    }
    tv::db::ReleaseDatabase(libros.c_str());
    std::string mensaje = ui.lastMessage().str();
    long long lineas = Una(libros, "SELECT count(*) FROM MVT NOT INDEXED");
    if (c.lineas < 0) EXPECT_LT(lineas, 3000);
    else EXPECT_EQ(lineas, c.lineas);
    if (c.dice.empty()) EXPECT_EQ(mensaje, "Reparación de tablas finalizada.");
    for (const auto& d : c.dice) EXPECT_NE(mensaje.find(d), std::string::npos) << d << " | " << mensaje;
    sqlite3* db = nullptr;
    sqlite3_open((libros + "/" + tv::db::kDatabaseFileName).c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok");
    sqlite3_finalize(st);
    sqlite3_close(db);
    // por cada índice, lo que encuentra la búsqueda es lo que encuentra el recorrido
    EXPECT_EQ(Una(libros, "SELECT count(*) FROM MVT INDEXED BY MVT_Cuenta WHERE numecuen = '110505'"),
              Una(libros, "SELECT count(*) FROM MVT NOT INDEXED WHERE numecuen = '110505'"));
    if (Una(libros, "SELECT count(*) FROM sqlite_master WHERE name='MVT_Detalle'") == 1)
      EXPECT_EQ(Una(libros, "SELECT count(*) FROM MVT INDEXED BY MVT_Detalle WHERE detalle = 'LINEA DE PRUEBA NUMERO 3'"),
                1);
    EXPECT_EQ(Una(libros, "SELECT count(*) FROM sqlite_master WHERE type='trigger' AND tbl_name='MVT'"), disparadores);
    fs::remove_all(programa);
  }
}
