// Dos puestos (dos procesos) graban a la vez el mismo documento nuevo con montos iguales:
// nunca queda un documento hecho con líneas de los dos.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "ledger/AsientosFixture.h"
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

// Arranca este mismo binario como un puesto; devuelve su pid.
pid_t Puesto(const std::vector<std::string>& variables) {
  std::vector<char*> envp;
  std::vector<std::string> propias = variables;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=PuestoDeTrabajo.GrabaSuDocumento",
              breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
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
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir);
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  PathOrigen = dir;
  PathCont = std::getenv("TV_PUESTO_LIBROS");
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  Permisos = TPermisos();
  Permisos.BGrabar = Permisos.BModificar = true;
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  ASSERT_TRUE(DM->TablasAbiertas());
  auto* ed = new TFrmAsientos(nullptr);
  FrmAsientos = ed;
  ed->CBMes->ItemIndex = 2;
  ed->Anio->Text = "2026";
  ed->Show();
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
  ed->Hide();
  delete ed;
  delete DM;
  DM = nullptr;
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
    for (pid_t pid : pids) {
      ASSERT_GT(pid, 0);
      int estado = 0;
      waitpid(pid, &estado, 0);
      EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "puesto " << pid;
    }
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
