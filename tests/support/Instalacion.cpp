#include "support/Instalacion.h"

#include <cstdlib>
#include <random>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "platform/core/SysUtils.h"
#include "platform/db/Engine.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "support/Separadores.h"

namespace fs = std::filesystem;

namespace admin {

bool AbrirContabilidad(const std::string& dir, const std::string& libros) {
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir.c_str());
  PathOrigen = dir.c_str();
  PathCont = libros.c_str();
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  abortar = false;
  FechasInf = GFechas{"STR", "STR"};
  Permisos = TPermisos();
  // El puntero global existe antes del constructor, como en el arranque.
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  return DM->TablasAbiertas();
}

void CerrarContabilidad() {
  delete DM;
  DM = nullptr;
}

void Instalacion::SetUp() {
  std::random_device rd;
  fs::path base = fs::temp_directory_path() / ("tv_admin_" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(base / "cfg");
  dir = (base / "prog").string();
  ::setenv("TALLIVAR_CONFIG_DIR", (base / "cfg").c_str(), 1);
  prueba::SeparadoresDePrueba();
  tv::os::SetUserShortDateFormat("dd/MM/yyyy");
  tv::os::ApplyRegionalSettings();
  tv::schema::CreateFreshInstallation(dir);
  libros = tv::schema::StarterBooksFolder(dir);
  anterior_ = fs::current_path();
  fs::current_path(dir);

  ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(AbrirContabilidad(dir, libros)) << ui->messageTexts().c_str();
  ui->takeMessages();
}

void Instalacion::TearDown() {
  CerrarContabilidad();
  ui.reset();
  Session->DeleteAlias("Contabilidad");
  tv::db::ReleaseDatabase(dir.c_str());
  tv::db::ReleaseDatabase(libros.c_str());
  tv::os::SetProgramDirForTests("");
  fs::current_path(anterior_);
  std::error_code ec;
  fs::remove_all(fs::path(dir).parent_path(), ec);
  ::unsetenv("TALLIVAR_CONFIG_DIR");
}

std::string Instalacion::OtraContabilidad(const std::string& nombre, int anio, const std::string& activa) {
  std::string carpeta = dir + "/" + nombre + std::to_string(anio);
  std::filesystem::create_directories(carpeta);
  tv::schema::CreateBookTables(carpeta);
  Ejecutar(carpeta, "INSERT INTO ConfigContab (NContabilidad) VALUES ('" + nombre + "')");
  Ejecutar(carpeta,
           "INSERT INTO permisos (LOGIN, NUSUARIO, PASSWORD, BModificar, BGrabar, BBorrar) "
           "VALUES ('otro', 'Otro usuario', 'clave', 0, 1, 0)");
  Ejecutar(dir, "INSERT INTO contabs (NContabilidad, rutaContabilidad, anio, Activa) VALUES ('" +
                    nombre + "', '" + carpeta + "', " + std::to_string(anio) + ", '" + activa + "')");
  if (DM && DM->TblContabs->Active) DM->TblContabs->Refresh();
  return carpeta;
}

void Instalacion::Ejecutar(const std::string& baseDatos, const std::string& sql) {
  // Las semillas son libros como los dejó otro cliente: ninguna regla del programa las revisa.
  tv::db::SuspendCommitChecks sinRevision;
  tv::db::ConnectionFor(baseDatos.c_str())->Exec(sql);
}

std::string Instalacion::Valor(const std::string& baseDatos, const std::string& sql) {
  auto conn = tv::db::ConnectionFor(baseDatos.c_str());
  tv::db::Stmt st = conn->Prepare(sql);
  if (!st.Step()) return "";
  tv::db::Cell c = st.Column(0);
  switch (c.kind) {
    case tv::db::Cell::Null: return "<null>";
    case tv::db::Cell::Int: return std::to_string(c.i);
    case tv::db::Cell::Real: return std::to_string(c.d);
    default: return c.s;
  }
}

}  // namespace admin
