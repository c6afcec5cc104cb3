// Dos puestos (dos procesos) en el editor de movimientos presupuestales de la misma
// contabilidad: cada uno edita y graba solo sus renglones, y ninguno graba encima de lo que el
// otro grabó después de que él trajo el documento.
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

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "budget/AsientosPptalFixture.h"
#include "budget/CalculosPptal.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Espera el archivo que el otro puesto deja al llegar a un paso (plazo holgado).
bool Esperar(const std::string& archivo) {
  for (int i = 0; i < 24000 && !fs::exists(archivo); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(archivo);
}

void Marcar(const std::string& archivo, const std::string& texto = "listo") {
  std::ofstream(archivo + ".tmp") << texto;
  fs::rename(archivo + ".tmp", archivo);
}

std::string LeerTexto(const std::string& archivo) {
  std::ifstream f(archivo);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

pid_t Puesto(const std::vector<std::string>& variables) {
  std::vector<char*> envp;
  std::vector<std::string> propias = variables;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=PuestoPptal.EditaSuMovimiento",
              breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

class AsientosPptalPuestos : public presupuesto::EditorPptal {
 protected:
  // Corre los dos puestos de una escena y devuelve sus mensajes finales.
  std::pair<std::string, std::string> Escena(const std::string& escena, const std::string& numero) {
    std::string cita = dir + "/cita-" + escena + numero;
    fs::create_directories(cita);
    std::vector<pid_t> pids;
    for (int puesto = 1; puesto <= 2; ++puesto)
      pids.push_back(Puesto({"TV_PPTAL_DIR=" + dir, "TV_PPTAL_LIBROS=" + libros, "TV_PPTAL_CITA=" + cita,
                             "TV_PPTAL_PUESTO=" + std::to_string(puesto), "TV_PPTAL_ESCENA=" + escena,
                             "TV_PPTAL_NUMERO=" + numero}));
    for (pid_t pid : pids) {
      EXPECT_GT(pid, 0);
      int estado = 0;
      waitpid(pid, &estado, 0);
      EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << escena << numero;
    }
    return {LeerTexto(cita + "/mensaje-1"), LeerTexto(cita + "/mensaje-2")};
  }
  std::string Renglones(const std::string& numero, const std::string& tipo) {
    return Leer("SELECT group_concat(icuenta || ':' || CAST(coalesce(ingreso, 0) AS REAL) || '/' || CAST(coalesce(egreso, 0) AS REAL), ',') "
                "FROM (SELECT * FROM mvtPptal WHERE iMvtPptal=" + presupuesto::ayuda::Q(numero) +
                " AND tipoMvtPptal=" + presupuesto::ayuda::Q(tipo) + " ORDER BY icuenta)");
  }
};

}  // namespace

// Un puesto. "mezcla": el 1 trae un documento nuevo y digita sus renglones; el 2, mientras
// tanto, trae otro, digita los suyos y graba; luego graba el 1. "version": los dos traen el mismo
// documento guardado y cambian sus montos; graba el 2 y después el 1. Sin las variables no
// hace nada.
TEST(PuestoPptal, EditaSuMovimiento) {
  const char* dir = std::getenv("TV_PPTAL_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string cita = std::getenv("TV_PPTAL_CITA");
  int puesto = std::atoi(std::getenv("TV_PPTAL_PUESTO"));
  std::string escena = std::getenv("TV_PPTAL_ESCENA"), numero = std::getenv("TV_PPTAL_NUMERO");
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir);
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  PathOrigen = dir;
  PathCont = std::getenv("TV_PPTAL_LIBROS");
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  Permisos = TPermisos();
  Permisos.BGrabar = Permisos.BModificar = true;
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  ASSERT_TRUE(DM->TablasAbiertas());
  auto* ed = new TfrmAsientosPptal(nullptr);
  frmAsientosPptal = ed;
  ed->Show();
  auto s = [&] { return ui->now(ed); };
  auto Traer = [&](const char* tipo, const std::string& doc) {
    s().pick("cbTipoMvtPptal", tipo).set("edNumDoc", doc.c_str()).set("edFecha", "15/03/2026").click("Traer o Crear");
  };
  auto Grabar = [&] {
    ui->takeMessages();
    s().click("&Grabar");
    Marcar(cita + "/mensaje-" + std::to_string(puesto), ui->messageTexts().str());
  };
  std::string yo = std::to_string(puesto), otro = std::to_string(3 - puesto);
  if (escena == "mezcla") {
    if (puesto == 1) {
      Traer("ADD:Adición", "A" + numero);
      s().editCell("DBGrid1", 0, 0, "1.2.05").editCell("DBGrid1", 1, 0, "I").editCell("DBGrid1", 2, 0, "100");
      s().editCell("DBGrid1", 0, 1, "2.1.1.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "100");
      Marcar(cita + "/digitado-1");
      ASSERT_TRUE(Esperar(cita + "/mensaje-2"));
      Grabar();
    } else {
      ASSERT_TRUE(Esperar(cita + "/digitado-1"));
      Traer("ADD:Adición", "B" + numero);
      s().editCell("DBGrid1", 0, 0, "1.2.10").editCell("DBGrid1", 1, 0, "I").editCell("DBGrid1", 2, 0, "70");
      s().editCell("DBGrid1", 0, 1, "2.1.2.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "70");
      Grabar();
    }
  } else if (escena == "traslado") {
    // Los dos sacan los mismos 100 del rubro de origen, cada uno en su documento.
    Traer("TRA:Traslado", "T" + numero + "-" + yo);
    std::string origen = "2.8." + numero;
    s().editCell("DBGrid1", 0, 0, origen.c_str()).editCell("DBGrid1", 1, 0, "E").editCell("DBGrid1", 3, 0, "-100");
    s().editCell("DBGrid1", 0, 1, "2.1.2.01").editCell("DBGrid1", 1, 1, "E").editCell("DBGrid1", 3, 1, "100");
    Marcar(cita + "/digitado-" + yo);
    ASSERT_TRUE(Esperar(cita + "/digitado-" + otro));
    Grabar();
  } else {
    // Renglones traídos en orden de tipo y código: el de egreso primero.
    Traer("APR:Apropiación", "V" + numero);
    std::string monto = puesto == 1 ? "200" : "300";
    s().editCell("DBGrid1", 3, 0, monto.c_str()).editCell("DBGrid1", 2, 1, monto.c_str());
    Marcar(cita + "/traido-" + yo);
    ASSERT_TRUE(Esperar(cita + "/traido-" + otro));
    if (puesto == 1) ASSERT_TRUE(Esperar(cita + "/mensaje-2"));
    Grabar();
  }
  ed->Hide();
  delete ed;
  delete DM;
  DM = nullptr;
}

TEST_F(AsientosPptalPuestos, CadaPuestoGrabaSoloSusRenglones) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta);
    auto [m1, m2] = Escena("mezcla", n);
    EXPECT_EQ(m2, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(m1, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(Renglones("B" + n, "ADD"), "1.2.10:70.0/0.0,2.1.2.01:0.0/70.0") << n;
    EXPECT_EQ(Renglones("A" + n, "ADD"), "1.2.05:100.0/0.0,2.1.1.01:0.0/100.0") << n;
  }
}

TEST_F(AsientosPptalPuestos, NoGrabaEncimaDeLoQueOtroGraboDespuesDeTraerlo) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta);
    Movimiento("V" + n, "APR", "2026-01-02", {{"2.1.1.01", "E", 0, 100}, {"1.2.05", "I", 100, 0}}, "Inicial");
    auto [m1, m2] = Escena("version", n);
    EXPECT_EQ(m2, "Asiento Presupuestal Registrado\n") << n;
    EXPECT_EQ(m1, "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.\n")
        << n;
    EXPECT_EQ(Renglones("V" + n, "APR"), "1.2.05:300.0/0.0,2.1.1.01:0.0/300.0") << n;
    EXPECT_EQ(Leer("SELECT count(*) || '|' || version FROM MvtPptalMaestro WHERE iMvtPptal='V" + n + "'"), "1|1");
  }
}

TEST_F(AsientosPptalPuestos, DosTrasladosDeLosMismosFondos) {
  for (int vuelta = 1; vuelta <= 3; ++vuelta) {
    std::string n = std::to_string(vuelta), origen = "2.8." + n;
    Rubro("E", origen);
    Movimiento("F" + n, "APR", "2026-01-02", {{"1.2.05", "I", 100, 0}, {origen, "E", 0, 100}});
    auto [m1, m2] = Escena("traslado", n);
    const std::string exito = "Asiento Presupuestal Registrado\n",
                      rechazo = "No tiene fondos para hacer el traslado. El rubro de donde saca (" + origen +
                                ") solo tiene " + prueba::Mostrado("0.00") + "\n\n";
    EXPECT_TRUE((m1 == exito && m2 == rechazo) || (m2 == exito && m1 == rechazo)) << m1 << " / " << m2;
    EXPECT_EQ(Leer("SELECT count(*) FROM MvtPptalMaestro WHERE tipoMvtPptal='TRA' AND iMvtPptal LIKE 'T" + n +
                   "-%'"),
              "1");
    EXPECT_NEAR(getDisponibilidadRubro(origen.c_str(), "E", nullptr), 0, 1e-9);
  }
}
