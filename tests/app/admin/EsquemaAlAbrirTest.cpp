// Una contabilidad hecha por una versión anterior se pone al día cuando el módulo de datos
// la abre, y sigue funcionando; abrir nunca escribe lo que no se puede escribir ni espera a
// otro puesto, y los libros quedan en SQLite simple.
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/Sesion.h"
#include "platform/db/Engine.h"
#include "platform/db/OtherProcess.h"
#include "support/Instalacion.h"

// Lo que corre el otro puesto de WriteLockInOtherProcess.
TEST(OtherProcess, HoldWriteLock) { tv::db::testing::HoldWriteLockWhenAsked(); }

namespace admin {
namespace {

namespace fs = std::filesystem;

class EsquemaAlAbrir : public Instalacion {
 protected:
  // Terceros cuyos nombres solo se ordenan bien en español (tildes, mayúsculas, la "ñ").
  void TercerosEnEspanol() {
    Ejecutar(libros,
             "insert into TC (CedulaNIT, nombre) values ('906', 'oso'), ('902', 'ñame'), ('901', 'nube'), "
             "('903', 'Ávila'), ('905', 'Nuñez'), ('904', 'avión'), ('907', 'Ñandú')");
  }
  // Los libros en la forma de antes: sin el índice de cuentas ni el tipo de asiento, y el
  // índice de nombres simple o (la última versión) con el orden español guardado en él.
  void FormaAnterior(const std::string& carpeta, bool ordenGuardado) {
    Ejecutar(carpeta, "drop index MVT_Cuenta");
    Ejecutar(carpeta, "alter table mvtMaestro drop column tipoAsiento");
    Ejecutar(carpeta, "drop index IdxNombre");
    Ejecutar(carpeta, ordenGuardado ? "create index IdxNombre on TC (nombre collate ES)"
                                    : "create index IdxNombre on TC (nombre)");
    tv::db::ReleaseDatabase(carpeta.c_str());
  }
};

TEST_F(EsquemaAlAbrir, LaContabilidadAnteriorGanaSusIndicesYColumnas) {
  DM->CloseTablas();
  Ejecutar(libros, "drop index MVT_Cuenta");
  Ejecutar(libros, "alter table mvtMaestro drop column tipoAsiento");
  Ejecutar(libros, "insert into MVT (numecuen, debito, descdocu, numedocu) values ('110505', 5, 'CE', '1')");
  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
  EXPECT_EQ(Valor(libros, "select count(*) from sqlite_master where type='index' and name='MVT_Cuenta'"), "1");
  EXPECT_EQ(Valor(libros, "select count(*) from pragma_table_info('mvtMaestro') where name='tipoAsiento'"), "1");
  DM->tblMvtMaestro->Append();
  DM->tblMvtMaestro->FieldByName("descdocu")->AsString = "CE";
  DM->tblMvtMaestro->FieldByName("numedocu")->AsString = "1";
  DM->tblMvtMaestro->FieldByName("tipoAsiento")->AsString = "P";
  DM->tblMvtMaestro->Post();
  EXPECT_EQ(Valor(libros, "select tipoAsiento from mvtMaestro where numedocu='1'"), "P");
  EXPECT_EQ(Valor(libros, "select sum(debito) from MVT"), "5");
}

const std::vector<std::string> kOrdenEspanol = {"Ávila", "avión", "nube", "Nuñez", "ñame", "Ñandú", "oso"};

// Los terceros de prueba como los lista el módulo de datos por el índice de nombres.
std::vector<std::string> TercerosPorNombre() {
  std::vector<std::string> nombres;
  DM->TblTerceros->IndexName = "IdxNombre";
  for (DM->TblTerceros->First(); !DM->TblTerceros->Eof; DM->TblTerceros->Next())
    if (DM->TblTerceros->FieldByName("CedulaNIT")->AsString.Pos("90") == 1)
      nombres.push_back(DM->TblTerceros->FieldByName("nombre")->AsString.str());
  DM->TblTerceros->IndexName = "";
  return nombres;
}

// Una carpeta que deja de poderse escribir: un sistema de archivos que se vuelve a montar de
// solo lectura, o, sin permiso para montar, sus permisos (que no atan al administrador).
class CarpetaDeSoloLectura {
 public:
  CarpetaDeSoloLectura() {
    char plantilla[] = "/tmp/tvsololecturaXXXXXX";
    ruta_ = mkdtemp(plantilla);
    montada_ = mount("tvsl", ruta_.c_str(), "tmpfs", 0, "size=32m") == 0;
  }
  ~CarpetaDeSoloLectura() {
    tv::db::ReleaseDatabase(ruta_.c_str());
    if (montada_) umount(ruta_.c_str());
    else chmod(ruta_.c_str(), 0755);
    std::error_code ec;
    fs::remove_all(ruta_, ec);
  }
  bool Posible() const { return montada_ || geteuid() != 0; }
  void Congelar() {
    if (montada_) {
      ASSERT_EQ(mount("tvsl", ruta_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else {
      for (const auto& e : fs::directory_iterator(ruta_)) chmod(e.path().c_str(), 0444);
      chmod(ruta_.c_str(), 0555);
    }
  }
  const std::string& Ruta() const { return ruta_; }

 private:
  std::string ruta_;
  bool montada_ = false;
};

TEST_F(EsquemaAlAbrir, LibrosDeSoloLecturaDeVersionesAnterioresSeConsultanConUnSoloAviso) {
  TercerosEnEspanol();
  Ejecutar(libros, "insert into MVT (numecuen, debito, descdocu, numedocu) values ('110505', 7, 'CE', '1')");
  DM->CloseTablas();
  tv::db::ReleaseDatabase(libros.c_str());
  for (bool ordenGuardado : {false, true}) {
    SCOPED_TRACE(ordenGuardado ? "índice de nombres con el orden guardado" : "índice de nombres simple");
    CarpetaDeSoloLectura copia;
    if (!copia.Posible()) GTEST_SKIP() << "aquí no se puede quitar el permiso de escribir";
    fs::copy_file(libros + "/" + tv::db::kDatabaseFileName, copia.Ruta() + "/" + tv::db::kDatabaseFileName);
    FormaAnterior(copia.Ruta(), ordenGuardado);
    copia.Congelar();
    ui->takeMessages();
    for (int vez = 0; vez < 2; ++vez) {
      DM->InitTablas(copia.Ruta().c_str());
      ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
    }
    EXPECT_TRUE(DM->SoloLectura());
    ASSERT_EQ(ui->messages().size(), 1u) << ui->messageTexts().c_str();
    EXPECT_NE(ui->messageTexts().Pos("solo lectura"), 0) << ui->messageTexts().c_str();
    EXPECT_EQ(TercerosPorNombre(), kOrdenEspanol);
    EXPECT_EQ(Valor(copia.Ruta(), "select sum(debito) from MVT"), "7");
    EXPECT_EQ(Valor(copia.Ruta(), "select count(*) from sqlite_master where name='MVT_Cuenta'"), "0");
    DM->CloseTablas();
  }
  // Los libros de siempre se vuelven a abrir sin aviso.
  ui->takeMessages();
  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas());
  EXPECT_FALSE(DM->SoloLectura());
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(EsquemaAlAbrir, OtroPuestoEscribiendoNoImpideAbrirYElMantenimientoQuedaParaDespues) {
  DM->CloseTablas();
  Ejecutar(libros, "drop index MVT_Cuenta");
  Ejecutar(libros,
           "with recursive k(i) as (select 1 union all select i + 1 from k where i < 3000) insert into MVT "
           "(numecuen, debito, descdocu, numedocu, fecha) select '110505', 1, 'CE', i, '2026-03-01' from k");
  auto estadisticas = [&] {
    if (Valor(libros, "select count(*) from sqlite_master where name='sqlite_stat1'") == "0") return std::string("0");
    return Valor(libros, "select count(*) from sqlite_stat1 where tbl='MVT'");
  };
  ASSERT_EQ(estadisticas(), "0");
  {
    tv::db::testing::WriteLockInOtherProcess otro(libros);
    ASSERT_TRUE(otro.Held());
    ui->takeMessages();
    DM->InitTablas(PathCont);
    ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
    EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
    EXPECT_EQ(Valor(libros, "select sum(debito) from MVT"), "3000");
    EXPECT_EQ(Valor(libros, "select count(*) from sqlite_master where name='MVT_Cuenta'"), "0");
    EXPECT_EQ(estadisticas(), "0");
    DM->CloseTablas();
  }
  // Con la escritura libre, la apertura siguiente hace lo que quedó pendiente.
  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
  EXPECT_EQ(Valor(libros, "select count(*) from sqlite_master where name='MVT_Cuenta'"), "1");
  EXPECT_NE(estadisticas(), "0");
}

// El intérprete de SQLite de la línea de órdenes sobre un archivo: estado de salida y lo que
// escribió (salida y errores).
std::pair<int, std::string> Sqlite3(const std::string& archivo, const std::string& sql) {
  int tubo[2];
  if (pipe(tubo) != 0) return {-1, "sin tubo"};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, tubo[1], 1);
  posix_spawn_file_actions_adddup2(&fa, tubo[1], 2);
  posix_spawn_file_actions_addclose(&fa, tubo[0]);
  std::string programa = "sqlite3", a = archivo, s = sql;
  char* argv[] = {programa.data(), a.data(), s.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, "sqlite3", &fa, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&fa);
  close(tubo[1]);
  std::string salida;
  char buf[512];
  ssize_t n;
  while ((n = read(tubo[0], buf, sizeof buf)) > 0) salida.append(buf, static_cast<size_t>(n));
  close(tubo[0]);
  if (rc != 0) return {-1, "no se pudo correr sqlite3"};
  int estado = 0;
  waitpid(pid, &estado, 0);
  return {WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, salida};
}

TEST_F(EsquemaAlAbrir, LosLibrosQuedanEnSqliteSimpleYLosNombresSiguenEnOrdenEspanol) {
  DM->CloseTablas();
  TercerosEnEspanol();
  FormaAnterior(libros, true);
  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
  DM->CloseTablas();
  tv::db::ReleaseDatabase(libros.c_str());

  std::string archivo = libros + "/" + tv::db::kDatabaseFileName;
  using R = std::pair<int, std::string>;
  EXPECT_EQ(Sqlite3(archivo, "PRAGMA integrity_check"), R(0, "ok\n"));
  EXPECT_EQ(Sqlite3(archivo, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%collate%'"), R(0, "0\n"));
  EXPECT_EQ(Sqlite3(archivo, "INSERT INTO TC (CedulaNIT, nombre) VALUES ('908', 'Zoe'); "
                             "UPDATE TC SET nombre = 'Óscar' WHERE CedulaNIT = '906'; "
                             "DELETE FROM TC WHERE CedulaNIT = '908'"),
            R(0, ""));
  EXPECT_EQ(Sqlite3(archivo, "VACUUM"), R(0, ""));
  EXPECT_EQ(Sqlite3(archivo, "PRAGMA integrity_check"), R(0, "ok\n"));

  DM->InitTablas(PathCont);
  ASSERT_TRUE(DM->TablasAbiertas()) << ui->messageTexts().c_str();
  auto esperado = kOrdenEspanol;
  esperado.back() = "Óscar";
  EXPECT_EQ(TercerosPorNombre(), esperado);
}

}  // namespace
}  // namespace admin
