// El programa muere a mitad de la reparación y vuelve a arrancar: la nueva reparación no pierde
// nada más que la que termina de una vez, deja los libros sanos y dice lo que quedó fuera. La
// reparación que se mata corre en otro proceso (este binario) que se detiene en el paso pedido.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/schema/Schema.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Headless.h"
#include "Danios.h"
#include "EsquemaDePrueba.h"
#include "shared/dialogs/RepairDialog.h"
#include "support/SelfProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace danios;

// La reparación de arranque sobre `libros`; devuelve el último mensaje.
std::string Reparar(const std::string& libros) {
  tv::forms::HeadlessDriver ui;
  {
    TRepairDialog d(nullptr, libros.c_str(), EsquemaDePrueba());
    d.Show();
    d.BtnReconstruirCarpetaClick(&d);
  }
  tv::db::ReleaseDatabase(libros.c_str());
  return ui.lastMessage().str();
}

// Las filas de cada tabla de los libros, y de MVT también cuáles.
std::string Huella(const std::string& libros) {
  std::string h;
  for (const auto& t : tv::schema::AllTables()) {
    if (t.place != tv::schema::Place::Books || t.createdBySql) continue;
    h += t.name + "=" + std::to_string(Una(libros, "SELECT count(*) FROM \"" + t.name + "\" NOT INDEXED")) + " ";
  }
  h += "MVT rowid " + std::to_string(Una(libros, "SELECT sum(rowid) FROM MVT NOT INDEXED")) + " debito " +
       std::to_string(Una(libros, "SELECT sum(debito) FROM MVT NOT INDEXED"));
  return h;
}

std::string Integridad(const std::string& libros) {
  sqlite3* db = nullptr;
  sqlite3_open((libros + "/" + tv::db::kDatabaseFileName).c_str(), &db);
  sqlite3_stmt* st = nullptr;
  std::string r = "sin respuesta";
  if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    r = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return r;
}

// Espera a que el hijo deje la marca del paso (verdadero) o termine solo (falso).
bool LlegaAlPaso(pid_t hijo, const std::string& marca) {
  auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  while (std::chrono::steady_clock::now() < limite) {
    if (fs::exists(marca)) return true;
    int estado = 0;
    if (waitpid(hijo, &estado, WNOHANG) == hijo) return fs::exists(marca);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

// El proceso que se mata: repara los libros de TV_RM_LIBROS hasta el paso en que lo detienen.
TEST(ReparacionMatada, Hijo) {
  const char* libros = std::getenv("TV_RM_LIBROS");
  if (!libros) GTEST_SKIP() << "solo la corre otra prueba";
  Reparar(libros);
  std::_Exit(0);
}

// Cada daño, matado en cada paso de su reparación que lo toca: tras arrancar de nuevo, las
// mismas filas que la reparación de una vez, libros sanos y el mismo aviso de lo perdido.
TEST(ReparacionMatada, ArrancarDeNuevoNoPierdeMas) {
  struct Caso {
    const char* nombre;
    std::function<void(const std::string&)> daniar;
    std::vector<const char*> pasos;
    std::vector<std::string> dice;  // lo que el aviso debe nombrar; vacío: "finalizada." a secas
  } casos[] = {
      {"clave única repetida",
       [](const std::string& l) {
         Sql(l, "CREATE UNIQUE INDEX MVT_Unica ON MVT (descdocu, numedocu)");
         SinIndice(l, "MVT_Unica",
                   "INSERT INTO MVT (descdocu, numedocu, numecuen) VALUES ('CE', 7, '110510'), ('CE', 8, '110510')");
       },
       {"backup", "table", "rebuilt"},
       {"MVT: 2 filas", "clave única repetida", "BackupReparacion"}},
      {"filas que faltan en un índice",
       [](const std::string& l) {
         SinIndice(l, "MVT_Cuenta", "INSERT INTO MVT (descdocu, numedocu, numecuen) VALUES ('CE', 9001, '110510')");
       },
       {"table", "rebuilt"},
       {}},
      {"página de MVT en ceros", [](const std::string& l) { EnCeros(l, Hoja(l, "MVT", 10)); },
       {"table", "written", "backup", "renamed"}, {"MVT", "BackupReparacion"}},
      {"archivo cortado",
       [](const std::string& l) {
         auto archivo = l + "/" + tv::db::kDatabaseFileName;
         fs::resize_file(archivo, fs::file_size(archivo) * 8 / 10);
       },
       {"table", "written", "renamed"}, {"MVT", "BackupReparacion"}},
      {"registro de escritura sin volcar", RegistroSinVolcar, {"backup"}, {}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    char tmpl[] = "/tmp/tvmatadaXXXXXX";
    std::string base = mkdtemp(tmpl);
    std::string programa = base + "/programa";
    fs::create_directories(programa);
    tv::schema::InstallProgramFolder(programa);
    std::string libros = tv::schema::StarterBooksFolder(programa);
    Sql(libros, "PRAGMA journal_mode=DELETE; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                "i<3000) INSERT INTO MVT (descdocu, numedocu, numecuen, detalle, debito) "
                "SELECT 'CE', i, '110505', 'Linea de prueba numero ' || i, i FROM n");
    tv::db::ReleaseDatabase(libros.c_str());
    c.daniar(libros);

    // La reparación de una vez sobre una copia: lo que se espera conservar.
    std::string referencia = base + "/referencia";
    fs::copy(libros, referencia, fs::copy_options::recursive);
    std::string avisoReferencia = Reparar(referencia);
    std::string esperado = Huella(referencia);
    for (const auto& d : c.dice) EXPECT_NE(avisoReferencia.find(d), std::string::npos) << d << " | " << avisoReferencia;

    for (const char* paso : c.pasos) {
      SCOPED_TRACE(paso);
      std::string copia = base + "/" + paso;
      fs::copy(libros, copia, fs::copy_options::recursive);
      std::string marca = base + "/marca-" + paso;
      pid_t hijo = tv::testing::StartSelf("ReparacionMatada.Hijo", {"TV_RM_LIBROS=" + copia,
                                                                    std::string("TALLIVAR_TEST_REPAIR_STOP=") + paso,
                                                                    "TALLIVAR_TEST_REPAIR_MARK=" + marca});
      ASSERT_GT(hijo, 0);
      bool llego = LlegaAlPaso(hijo, marca);
      kill(hijo, SIGKILL);
      waitpid(hijo, nullptr, 0);
      EXPECT_TRUE(llego) << "la reparación no pasó por el paso";

      std::string aviso = Reparar(copia);
      EXPECT_EQ(Huella(copia), esperado);
      EXPECT_EQ(Integridad(copia), "ok");
      if (c.dice.empty()) {
        EXPECT_EQ(aviso, "Reparación de tablas finalizada.");
      }
      for (const auto& d : c.dice) EXPECT_NE(aviso.find(d), std::string::npos) << d << " | " << aviso;
    }
    fs::remove_all(base);
  }
}
