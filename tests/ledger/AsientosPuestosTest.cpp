// Dos puestos (dos procesos) sobre un mismo documento: nunca queda un documento hecho con
// líneas de los dos, y lo que otro cambió después de traerlo no se sobrescribe.
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "ledger/AsientosFixture.h"
#include "platform/db/OtherProcess.h"
#include "platform/db/Storage.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"

extern char** environ;

using ledger::Asientos;

namespace {

namespace fs = std::filesystem;

// Espera a que el otro puesto llegue al mismo paso (un archivo por puesto y paso).
bool Encuentro(const std::string& carpeta, const std::string& paso, int puesto) {
  std::ofstream(carpeta + "/" + paso + "-" + std::to_string(puesto)) << "listo";
  std::string otro = carpeta + "/" + paso + "-" + std::to_string(3 - puesto);
  for (int i = 0; i < 6000 && !fs::exists(otro); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(otro);
}

// Arranca este mismo binario con solo la prueba dada, como un puesto; devuelve su pid.
pid_t Puesto(const std::vector<std::string>& variables,
             const std::string& prueba = "PuestoDeTrabajo.GrabaSuDocumento") {
  std::vector<char*> envp;
  std::vector<std::string> propias = variables;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=" + prueba, breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

// Espera el fin de un puesto: verdadero cuando terminó bien.
bool Termina(pid_t pid) {
  int estado = 0;
  if (pid <= 0 || waitpid(pid, &estado, 0) != pid) return false;
  return WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
}

// Abre en este proceso, como un puesto más, la instalación y los libros dados, con el editor
// sobre marzo de 2026.
TFrmAsientos* AbrirPuesto(const std::string& dir, const std::string& libros) {
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir);
  PathOrigen = dir.c_str();
  PathCont = libros.c_str();
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  Permisos = TPermisos();
  Permisos.BGrabar = Permisos.BModificar = true;
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  if (!DM->TablasAbiertas()) return nullptr;
  auto* ed = new TFrmAsientos(nullptr);
  FrmAsientos = ed;
  ed->CBMes->ItemIndex = 2;
  ed->Anio->Text = "2026";
  ed->Show();
  return ed;
}

void CerrarPuesto(TFrmAsientos* ed) {
  ed->Hide();
  delete ed;
  delete DM;
  DM = nullptr;
}

std::string Leer(const std::string& archivo) {
  std::ifstream f(archivo);
  std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return s;
}

class DosPuestos : public Asientos {};

}  // namespace

// Un puesto: abre la instalación de su padre, trae el documento como nuevo, digita sus dos
// líneas y lo graba cuando el otro puesto también las digitó. Sin las variables no hace nada.
TEST(PuestoDeTrabajo, GrabaSuDocumento) {
  const char* dir = std::getenv("TV_PUESTO_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string carpeta = std::getenv("TV_PUESTO_CITA");
  int puesto = std::atoi(std::getenv("TV_PUESTO"));
  std::string numero = std::getenv("TV_PUESTO_NUMERO");
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  TFrmAsientos* ed = AbrirPuesto(dir, std::getenv("TV_PUESTO_LIBROS"));
  ASSERT_TRUE(ed);
  auto s = [&] { return ui->now(ed); };
  s().set("CBDocumentos", "CE").set("EdNumDoc", numero.c_str()).set("EdDia", "15").click("BtnTraerCrear");
  ASSERT_TRUE(Encuentro(carpeta, "traido", puesto));
  std::string detalle = "puesto " + std::to_string(puesto);
  s().editCell("DBGrid1", 0, 0, "110501").editCell("DBGrid1", 2, 0, detalle.c_str()).editCell("DBGrid1", 6, 0, "100");
  s().editCell("DBGrid1", 0, 1, "111005").editCell("DBGrid1", 2, 1, detalle.c_str()).editCell("DBGrid1", 7, 1, "100");
  ASSERT_TRUE(Encuentro(carpeta, "digitado", puesto));
  ui->takeMessages();
  s().click("BtnGrabar");
  std::ofstream(carpeta + "/mensaje-" + std::to_string(puesto)) << ui->lastMessage().str();
  CerrarPuesto(ed);
}

// Otro puesto: trae un documento guardado, pone la cuenta 110505 en su primera línea y lo graba.
TEST(PuestoDeTrabajo, CambiaLaCuenta) {
  const char* dir = std::getenv("TV_CAMBIA_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  TFrmAsientos* ed = AbrirPuesto(dir, std::getenv("TV_CAMBIA_LIBROS"));
  ASSERT_TRUE(ed);
  auto s = [&] { return ui->now(ed); };
  s().set("CBDocumentos", "CE").set("EdNumDoc", std::getenv("TV_CAMBIA_NUMERO")).set("EdDia", "15").click("BtnTraerCrear");
  s().editCell("DBGrid1", 0, 0, "110505");
  ui->takeMessages();
  s().click("BtnGrabar");
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  CerrarPuesto(ed);
}

TEST_F(DosPuestos, ElMismoDocumentoNuevoNuncaQuedaMezclado) {
  for (int vuelta = 0; vuelta < 3; ++vuelta) {
    std::string numero = std::to_string(900 + vuelta);
    std::string cita = dir + "/cita" + numero;
    fs::create_directories(cita);
    std::vector<pid_t> pids;
    for (int puesto = 1; puesto <= 2; ++puesto)
      pids.push_back(Puesto({"TV_PUESTO_DIR=" + dir, "TV_PUESTO_LIBROS=" + libros, "TV_PUESTO_CITA=" + cita,
                             "TV_PUESTO=" + std::to_string(puesto), "TV_PUESTO_NUMERO=" + numero}));
    for (pid_t pid : pids) EXPECT_TRUE(Termina(pid)) << "puesto " << pid;
    std::string donde = " FROM MVT WHERE descdocu='CE' AND numedocu='" + numero + "'";
    // Las líneas guardadas son las dos de un solo puesto.
    EXPECT_EQ(Mvt("SELECT count(*) || '/' || count(DISTINCT detalle)" + donde), "2/1") << numero;
    EXPECT_EQ(Mvt("SELECT count(*) FROM mvtMaestro WHERE numedocu='" + numero + "'"), "1");
    std::string m1 = Leer(cita + "/mensaje-1"), m2 = Leer(cita + "/mensaje-2");
    std::string ganador = Mvt("SELECT substr(min(detalle), 8)" + donde);
    EXPECT_EQ(ganador == "1" ? m1 : m2, "Asiento Registrado");
    EXPECT_EQ(ganador == "1" ? m2 : m1,
              "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.");
  }
}

// Lo que otro puesto u otro programa cambió en un documento después de traerlo, aunque deje
// las mismas filas, cuentas de líneas y sumas, hace que grabarlo se rehúse y queda guardado.
TEST_F(DosPuestos, LoQueOtroCambioTrasTraerloNoSeSobrescribe) {
  struct Caso {
    const char* nombre;
    std::function<bool(const std::string& numero)> cambio;
    std::string guardado;  // consulta sobre el documento que muestra el cambio del otro
    std::string delOtro;   // lo que esa consulta da tras el cambio
  };
  auto sql = [&](const std::string& texto) { return tv::db::testing::RunSqlInOtherProcess(libros, texto) == 0; };
  std::vector<Caso> casos = {
      {"otro puesto lo graba con otra cuenta",
       [&](const std::string& numero) {
         return Termina(Puesto({"TV_CAMBIA_DIR=" + dir, "TV_CAMBIA_LIBROS=" + libros, "TV_CAMBIA_NUMERO=" + numero},
                               "PuestoDeTrabajo.CambiaLaCuenta"));
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110505,111005"},
      {"otro programa cambia las líneas",
       [&](const std::string& numero) {
         return sql("UPDATE MVT SET numecuen='110505' WHERE numecuen='110501' AND numedocu='" + numero + "'");
       },
       "SELECT group_concat(numecuen) FROM (SELECT numecuen FROM MVT WHERE descdocu='CE' AND numedocu='#' ORDER BY rowid)",
       "110505,111005"},
      {"otro programa cambia el encabezado",
       [&](const std::string& numero) {
         return sql("UPDATE mvtMaestro SET detalle='del otro' WHERE descdocu='CE' AND numedocu='" + numero + "'");
       },
       "SELECT detalle FROM mvtMaestro WHERE descdocu='CE' AND numedocu='#'", "del otro"},
  };
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen, naturaleza) VALUES ('110505', 'CAJA MENOR', 'D')");
  Editor();
  int numero = 70;
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    std::string n = std::to_string(numero++);
    auto consulta = [&](std::string q) { return Mvt(q.replace(q.find('#'), 1, n)); };
    // El documento queda al final del diario: grabado otra vez, SQLite repite sus filas.
    Traer("CE", n.c_str());
    Linea(0, "110501", "", "100", "");
    Linea(1, "111005", "", "", "100");
    Grabar();
    ASSERT_EQ(ui->lastMessage(), "Asiento Registrado");
    std::string filas = consulta("SELECT group_concat(rowid) FROM MVT WHERE numedocu='#'");
    Traer("CE", n.c_str());
    Ed().editCell("DBGrid1", 2, 0, "de este puesto");
    ASSERT_TRUE(caso.cambio(n));
    ASSERT_EQ(consulta(caso.guardado), caso.delOtro);
    ui->takeMessages();
    Grabar();
    EXPECT_EQ(Textos(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.\n");
    EXPECT_EQ(consulta(caso.guardado), caso.delOtro);
    EXPECT_EQ(consulta("SELECT group_concat(rowid) FROM MVT WHERE numedocu='#'"), filas);
    // Traído de nuevo, sí se graba.
    Traer("CE", n.c_str());
    Ed().editCell("DBGrid1", 2, 0, "de este puesto");
    Grabar();
    EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
  }
}

// Otro proceso que corre SQL sobre los libros (el cliente sqlite3 de cualquiera).
TEST(OtherProcess, RunSql) {
  const char* dir = std::getenv("TV_OTHER_DIR");
  const char* sql = std::getenv("TV_OTHER_SQL");
  if (!dir || !sql) GTEST_SKIP() << "solo como proceso de otra prueba";
  sqlite3* db = nullptr;
  std::string ruta = std::string(dir) + "/" + tv::db::kDatabaseFileName;
  ASSERT_EQ(sqlite3_open(ruta.c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);
  int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
  if (rc != SQLITE_OK) std::_Exit(2);
}
