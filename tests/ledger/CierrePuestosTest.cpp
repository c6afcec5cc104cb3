// Cierre del año con otros puestos (otros procesos) sobre los mismos libros: lo que otro graba
// mientras se cierra no queda fuera de los saldos iniciales sin aviso, y dos cierres del mismo año
// a la vez terminan los dos (uno espera al otro o se le dice que los libros están ocupados).
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

#include "app/Claves.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "ledger/AsientosFixture.h"
#include "ledger/FrmCierreAnio.h"
#include "platform/forms/Headless.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "shared/dialogs/Aviso.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char* const kCreada = "La nueva contabilidad ha sido creada y es la que está usando en este momento.";
const char* const kOcupados = "Record locked by another user.";

// Espera a que exista un archivo de la cita (lo escribe otro proceso cuando llega a su paso).
bool Esperar(const std::string& archivo) {
  auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!fs::exists(archivo) && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(archivo);
}

void Escribir(const std::string& archivo, const std::string& texto) {
  std::ofstream(archivo + ".tmp") << texto;
  fs::rename(archivo + ".tmp", archivo);
}

std::string Leer(const std::string& archivo) {
  std::ifstream f(archivo);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// Arranca este mismo binario como un puesto que cierra el año; devuelve su pid.
pid_t PuestoQueCierra(const std::vector<std::string>& variables) {
  std::vector<std::string> propias = variables;
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=PuestoDeTrabajo.CierraElAnio",
              breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

bool Termina(pid_t pid) {
  int estado = 0;
  if (pid <= 0 || waitpid(pid, &estado, 0) != pid) return false;
  return WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
}

class CierrePuestos : public ledger::Asientos {
 protected:
  void SetUp() override {
    Asientos::SetUp();
    nuevo = dir + "/Ejemplo2027";
    cita = dir + "/cita";
    fs::create_directories(cita);
    // Año con ingresos, gastos y bancos; el año siguiente pide entrar con la misma clave.
    Ejecutar(libros,
             "INSERT INTO MVT (descdocu, numedocu, numecuen, debito, credito, fecha) VALUES "
             "('IN', '1', '110501', 1000, 0, '2026-03-01'), ('IN', '1', '480201', 0, 1000, '2026-03-01'), "
             "('CE', '1', '511114', 400, 0, '2026-03-02'), ('CE', '1', '111005', 0, 400, '2026-03-02')");
    GuardarClave(libros.c_str(), Login, "clave");
  }
  void TearDown() override {
    tv::db::ReleaseDatabase(nuevo.c_str());
    Asientos::TearDown();
  }
  // Un puesto que cierra; con pausa, se detiene cuando la ventana de espera muestra ese aviso
  // (con el bloqueo tomado) hasta que aparece el archivo de la cita.
  pid_t Cierra(const std::string& nombre, const std::string& aviso = "", const std::string& hasta = "") {
    return PuestoQueCierra({"TV_CIERRE_DIR=" + dir, "TV_CIERRE_LIBROS=" + libros, "TV_CIERRE_CITA=" + cita,
                            "TV_CIERRE_NOMBRE=" + nombre, "TV_CIERRE_AVISO=" + aviso, "TV_CIERRE_HASTA=" + hasta});
  }
  std::string Resultado(const std::string& nombre) { return Leer(cita + "/resultado-" + nombre); }
  // Saldo de una cuenta en el año cerrado (sin el cierre) y en los saldos iniciales del siguiente.
  std::string Saldos(const std::string& cuenta) {
    return Valor(libros, "SELECT printf('%.2f', total(debito) - total(credito)) FROM MVT WHERE descdocu <> 'CCA' AND numecuen='" +
                             cuenta + "'") +
           "/" + Valor(nuevo, "SELECT printf('%.2f', total(debito) - total(credito)) FROM MVT WHERE descdocu='CSI' AND numecuen='" +
                                  cuenta + "'");
  }

  std::string nuevo, cita;
};

}  // namespace

// Un puesto que cierra el año con la ventana real. Sin las variables no hace nada.
TEST(PuestoDeTrabajo, CierraElAnio) {
  const char* dir = std::getenv("TV_CIERRE_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string cita = std::getenv("TV_CIERRE_CITA"), nombre = std::getenv("TV_CIERRE_NOMBRE");
  std::string aviso = std::getenv("TV_CIERRE_AVISO"), hasta = std::getenv("TV_CIERRE_HASTA");
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir);
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  PathOrigen = dir;
  PathCont = std::getenv("TV_CIERRE_LIBROS");
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  Permisos = TPermisos();
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  ASSERT_TRUE(DM->TablasAbiertas());
  bool pausado = false;
  if (!aviso.empty())
    ui->onRepaint = [&](TControl*) {
      if (pausado || !FrmAviso || FrmAviso->Label1->Caption != aviso.c_str()) return;
      pausado = true;
      Escribir(cita + "/en-" + nombre, aviso);
      Esperar(cita + "/" + hasta);
    };
  // Entrar al año siguiente si otro puesto ya lo creó.
  ui->onModal("TFrmClave").set("EdPassword", "clave").click("&Aceptar");
  ui->onModal("TFrmCierreAnio").set("edCtaUtilidad", "311001").click("&Proceder");
  Escribir(cita + "/intentando-" + nombre, "");
  std::string resultado;
  try {
    FrmCierreAnio = new TFrmCierreAnio(nullptr);
    std::unique_ptr<TFrmCierreAnio> f(FrmCierreAnio);
    f->ShowModal();
    resultado = ui->lastMessage().str();
  } catch (const Exception& e) {
    resultado = e.Message.str();
  }
  ui->onRepaint = nullptr;
  Escribir(cita + "/resultado-" + nombre, resultado);
  delete DM;
  DM = nullptr;
}

// Un documento que otro puesto graba mientras el cierre lee los saldos espera al cierre o se le
// dice que los libros están ocupados; nunca queda en el año cerrado fuera de los saldos iniciales.
TEST_F(CierrePuestos, LoQueOtroGrabaMientrasSeCierraNoQuedaFueraDeLosSaldosIniciales) {
  Editor();
  Traer("CE", "500");
  Linea(0, "110501", "", "100", "");
  Linea(1, "111005", "", "", "100");
  pid_t cierre = Cierra("A", "Cancelando cuentas de resultado...", "grabado");
  ASSERT_TRUE(Esperar(cita + "/en-A"));
  ui->takeMessages();
  Grabar();
  std::string mensaje = ui->lastMessage().str();
  Escribir(cita + "/grabado", mensaje);
  ASSERT_TRUE(Termina(cierre));
  EXPECT_EQ(Resultado("A"), kCreada);
  EXPECT_EQ(mensaje.rfind(kOcupados, 0), 0u) << mensaje;
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT WHERE numedocu='500'"), "0");
  EXPECT_EQ(Saldos("110501"), "1000.00/1000.00");
  EXPECT_EQ(Saldos("111005"), "-400.00/-400.00");
  // Las líneas siguen en el editor: grabadas ahora, quedan en el año cerrado como cualquier
  // cambio después del cierre.
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Asiento Registrado");
}

// Dos puestos cierran el mismo año a la vez: el segundo espera al primero y repite el cierre
// sobre el año que este creó, o se le dice que los libros están ocupados; el primero termina.
TEST_F(CierrePuestos, DosCierresDelMismoAnioALaVezTerminanLosDos) {
  struct Caso {
    const char* nombre;
    const char* hasta;    // el primero sigue cuando aparece este archivo
    const char* segundo;  // lo que ve el segundo
  };
  const Caso casos[] = {
      {"el segundo espera", "intentando-B", kCreada},
      {"el segundo encuentra los libros ocupados", "resultado-B", kOcupados},
  };
  for (const auto& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    tv::db::ReleaseDatabase(nuevo.c_str());
    fs::remove_all(nuevo);
    fs::remove_all(cita);
    fs::create_directories(cita);
    pid_t a = Cierra("A", "Calculando utilidad...", caso.hasta);
    ASSERT_TRUE(Esperar(cita + "/en-A"));
    pid_t b = Cierra("B");
    ASSERT_TRUE(Termina(b));
    ASSERT_TRUE(Termina(a));
    EXPECT_EQ(Resultado("A"), kCreada);
    EXPECT_EQ(Resultado("B").rfind(caso.segundo, 0), 0u) << Resultado("B");
    // Un año siguiente completo, con un solo cierre y unos solos saldos iniciales.
    EXPECT_FALSE(fs::exists(nuevo + ".parcial"));
    EXPECT_EQ(Mvt("SELECT count(*) FROM mvtMaestro WHERE descdocu='CCA'"), "1");
    EXPECT_EQ(Valor(nuevo, "SELECT count(*) FROM mvtMaestro WHERE descdocu='CSI'"), "1");
    EXPECT_EQ(Saldos("110501"), "1000.00/1000.00");
    EXPECT_EQ(Saldos("111005"), "-400.00/-400.00");
  }
}
