// Una instalación matada en cualquier punto la completa la corrida siguiente; una
// instalación completa nunca se toca.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "app/schema/Schema.h"
#include "app/schema/TestFolder.h"

namespace {

namespace fs = std::filesystem;

long long Contar(const std::string& folder, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string path = folder + "/" + tv::db::kDatabaseFileName;
  long long n = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return n;
}

// Lo que una instalación completa deja: administrador, plan, tipos de documento, la
// contabilidad en la lista, los ajustes y los archivos.
void EsperarInstalacionCompleta(const std::string& folder) {
  std::string books = tv::schema::StarterBooksFolder(folder);
  EXPECT_EQ(Contar(folder, "SELECT count(*) FROM contabs"), 1);
  EXPECT_EQ(Contar(folder, "SELECT count(*) FROM Config"), 1);
  EXPECT_EQ(Contar(books, "SELECT count(*) FROM permisos WHERE LOGIN='gestordelibro'"), 1);
  EXPECT_GT(Contar(books, "SELECT count(*) FROM PL"), 50);
  EXPECT_GT(Contar(books, "SELECT count(*) FROM DG"), 3);
  EXPECT_EQ(Contar(books, "SELECT count(*) FROM ConfigContab"), 1);
  EXPECT_TRUE(fs::exists(folder + "/data.ini"));
  EXPECT_TRUE(fs::exists(folder + "/images/logo.bmp"));
  EXPECT_TRUE(fs::exists(folder + "/codigosMunicipios.txt"));
}

}  // namespace

TEST(InstalacionInterrumpida, LaSiguienteCorridaCompletaUnaInstalacionMatada) {
  // En memoria cuando se puede: las matanzas miden puntos del programa, no del disco.
  std::string raiz = fs::is_directory("/dev/shm") ? "/dev/shm/tv_instalar_" + std::to_string(getpid()) : "";
  struct Limpieza {
    std::string d;
    ~Limpieza() {
      std::error_code ec;
      if (!d.empty()) fs::remove_all(d, ec);
    }
  } limpieza{raiz};
  tests::TempFolder tmp;
  std::string basePath = raiz.empty() ? tmp.path() : raiz;
  // Duración de una instalación entera, para matar en cualquier punto de ella: la más corta de
  // tres, porque una medida alargada por la carga de la máquina haría llegar tarde a casi todas.
  long long us = 0;
  for (int m = 0; m < 3; ++m) {
    auto t0 = std::chrono::steady_clock::now();
    tv::schema::InstallProgramFolder(basePath + "/medida" + std::to_string(m));
    long long d = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    us = m == 0 ? d : std::min(us, d);
  }
  std::mt19937 rng(12);
  const int kMatanzas = 200;
  int muertas = 0;
  for (int k = 0; k < kMatanzas; ++k) {
    std::string folder = basePath + "/i" + std::to_string(k);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      tv::schema::InstallProgramFolder(folder);
      _exit(0);
    }
    usleep(static_cast<useconds_t>(rng() % static_cast<unsigned>(us + 1)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) ++muertas;
    tv::schema::InstallProgramFolder(folder);
    SCOPED_TRACE("matanza " + std::to_string(k));
    EsperarInstalacionCompleta(folder);
    if (HasFailure()) break;
    fs::remove_all(folder);
  }
  EXPECT_GT(muertas, kMatanzas / 2);
}

TEST(InstalacionInterrumpida, UnaInstalacionCompletaNoSeToca) {
  tests::TempFolder folder;
  tv::schema::InstallProgramFolder(folder.path());
  std::string books = tv::schema::StarterBooksFolder(folder.path());
  {
    sqlite3* db = nullptr;
    sqlite3_open((books + "/" + tv::db::kDatabaseFileName).c_str(), &db);
    sqlite3_exec(db, "DELETE FROM DG; DELETE FROM permisos WHERE LOGIN='gestordelibro'; UPDATE PL SET nombcuen='MIA'",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    sqlite3_open((folder.path() + "/" + tv::db::kDatabaseFileName).c_str(), &db);
    sqlite3_exec(db, "UPDATE Config SET ReteFuente='999'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  tv::schema::InstallProgramFolder(folder.path());
  EXPECT_EQ(Contar(books, "SELECT count(*) FROM DG"), 0);
  EXPECT_EQ(Contar(books, "SELECT count(*) FROM permisos"), 0);
  EXPECT_EQ(Contar(books, "SELECT count(*) FROM PL WHERE nombcuen<>'MIA'"), 0);
  EXPECT_EQ(Contar(folder.path(), "SELECT count(*) FROM Config WHERE ReteFuente='999'"), 1);
}
