#include "Entorno.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "main/Arranque.h"
#include "app/Claves.h"
#include "app/DataModule.h"
#include "app/FrmSelContab.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "platform/core/IniFiles.h"
#include "platform/db/DBTables.h"
#include "platform/db/Storage.h"
#include "platform/os/Process.h"
#include "platform/os/SingleInstance.h"
#include "support/Separadores.h"

namespace arranque {

void Entorno::SetUp() {
  std::random_device rd;
  dir = fs::temp_directory_path() / ("tv_arranque_" + std::to_string(rd()) + std::to_string(rd()));
  prog = dir / "prog";
  config = dir / "config";
  fs::create_directories(config);
  fs::create_directories(dir / "run");
  setenv("TALLIVAR_CONFIG_DIR", config.c_str(), 1);
  // El arranque aplica él mismo los separadores del usuario.
  prueba::SeparadoresDePrueba();
  setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
  tv::schema::CreateFreshInstallation(prog.string());
  libros = tv::schema::StarterBooksFolder(prog.string());
  tv::os::SetProgramDirForTests(prog.string());
  cwd_ = fs::current_path();
  NuevaCorrida();
}

void Entorno::NuevaCorrida() {
  TerminarPrograma();
  ui.reset();
  tv::os::ReleaseSingleInstance("tallivar-p.exe");
  PathOrigen = PathCont = NContabilidad = Login = objetoGasto = "";
  anioGlobal = mesGlobal = 0;
  FechasInf = GFechas{};
  abortar = false;
  Permisos = TPermisos{};
  marcaDeEstaCorrida = false;
  avisoAjustesDado = false;
  AbrirEditorContabs = nullptr;
  ui = std::make_unique<tv::forms::HeadlessDriver>();
}

void Entorno::TearDown() {
  TerminarPrograma();
  ui.reset();
  tv::os::ReleaseSingleInstance("tallivar-p.exe");
  tv::os::SetProgramDirForTests("");
  Session->DeleteAlias("Contabilidad");
  tv::db::ReleaseDatabase(libros.string());
  tv::db::ReleaseDatabase(prog.string());
  fs::current_path(cwd_);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void Entorno::Sql(const fs::path& carpeta, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((carpeta / tv::db::kDatabaseFileName).c_str(), &db);
  sqlite3_busy_timeout(db, 2000);
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " en: " << sql;
  sqlite3_free(err);
  sqlite3_close(db);
}

std::optional<std::string> Entorno::Valor(const fs::path& carpeta, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((carpeta / tv::db::kDatabaseFileName).c_str(), &db);
  sqlite3_busy_timeout(db, 2000);
  sqlite3_stmt* st = nullptr;
  std::optional<std::string> r;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " en: " << sql;
  } else if (sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* v = sqlite3_column_text(st, 0);
    if (v) r = reinterpret_cast<const char*>(v);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return r;
}

int Entorno::Cuenta(const fs::path& carpeta, const std::string& sql) {
  auto v = Valor(carpeta, sql);
  return v ? std::stoi(*v) : -1;
}

std::string Entorno::Leer(const fs::path& archivo) {
  std::ifstream in(archivo, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Entorno::Ini(const fs::path& archivo, const char* clave) {
  TIniFile ini(archivo.string());
  return ini.ReadString("ACTION", clave, "<falta>").str();
}

void Entorno::Presentacion() { ui->onModal("TFrmPresentacion").timers(); }

void Entorno::Escoger(int fila) { ui->onModal("TFrmSelContab").row("DBGrid1", fila).click("BtnAbrir"); }

tv::forms::Script& Entorno::Entrar(const std::string& usuario, const std::string& clave) {
  return ui->onModal("TFrmClave").pick("CBLogin", usuario + ":").set("EdPassword", clave).click("BtnAceptar");
}

void Entorno::CrearUsuario(const std::string& login, const std::string& clave, bool modificar,
                           bool grabar, bool borrar) {
  std::string resumen = CifrarClave(clave).str();
  Sql(libros, "insert into permisos (LOGIN, NUSUARIO, PASSWORD, BModificar, BGrabar, BBorrar) values ('" +
                  login + "', 'Usuario " + login + "', '" + resumen + "', " + (modificar ? "1" : "0") +
                  ", " + (grabar ? "1" : "0") + ", " + (borrar ? "1" : "0") + ")");
}

bool Entorno::Correr(bool cerrar) {
  if (cerrar) ui->onModal("TFrmMain").close();
  if (!IniciarPrograma()) return false;
  Application->Run();
  return true;
}

}  // namespace arranque
