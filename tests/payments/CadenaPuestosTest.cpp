// Dos puestos (dos procesos sobre la misma contabilidad) graban contra el mismo límite de la
// cadena presupuestal, a la vez o uno después del otro, cada uno con el formulario lleno con
// las cifras que leyó antes: uno graba, el otro recibe el rechazo, y el límite nunca se pasa.
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
#include "budget/FrmCertDisp.h"
#include "budget/FrmRegPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"
#include "support/Separadores.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

// Espera un archivo que otro proceso deja al llegar a un paso (plazo holgado para una máquina
// cargada).
bool Esperar(const std::string& archivo) {
  for (int i = 0; i < 24000 && !fs::exists(archivo); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(archivo);
}

void Marcar(const std::string& archivo, const std::string& texto = "listo") {
  std::string tmp = archivo + ".tmp";
  std::ofstream(tmp) << texto;
  fs::rename(tmp, archivo);
}

std::string LeerTexto(const std::string& archivo) {
  std::ifstream f(archivo);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

const char* Var(const char* nombre) {
  const char* v = std::getenv(nombre);
  return v ? v : "";
}

pid_t Puesto(const std::vector<std::string>& variables) {
  std::vector<char*> envp;
  std::vector<std::string> propias = variables;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=PuestoCadena.GrabaContraElLimite",
              breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

// Llena el formulario de su clase para grabar el documento `numero` por 100 contra el límite
// `limite` (código del rubro, número del certificado o del registro).
class Formulario {
 public:
  Formulario(tv::forms::HeadlessDriver& ui, const std::string& clase, const std::string& limite,
             const std::string& numero)
      : ui_(ui), clase_(clase) {
    if (clase == "certificado") {
      auto* f = new TfrmCertDisp(nullptr);
      frmCertDisp = f;
      form_ = f;
      f->Show();
      F().set("edIcertDisp", numero.c_str()).focus("edObjetoGasto");
      ui.onModal("TFrmBuscTabla").type("EdBusqueda", limite.c_str()).click("&Aceptar");
      F().click("btnAddOtroRubro");
      F().set("edFechaExp", "01/03/2026").set("edObjetoGasto", "Papel").set("edValor", "100").focus("edVigFisc");
      F().set("edInv", "0").focus("edVigFisc");
      F().editCell("sgOtrosRubros", 3, 1, "100");
    } else if (clase == "registro") {
      auto* f = new TfrmRegPptal(nullptr);
      frmRegPptal = f;
      form_ = f;
      f->Show();
      f->edIregPptal->Text = "";
      F().set("edIregPptal", numero.c_str()).focus("edFechaExp");
      F().set("edICD", limite.c_str()).focus("edIregPptal");
      F().set("edFechaExp", "20/02/2026").set("edItercero", "900").pick("rgTipo", 2);
      f->edFunc->Text = "";
      F().set("edValor", "100").focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
    } else {
      auto* f = new TfrmOrdenPago(nullptr);
      frmOrdenPago = f;
      form_ = f;
      f->Show();
      F().set("edIRP", limite.c_str()).focus("edFechaExp");
      F().set("edIordenPago", numero.c_str()).focus("edFechaExp");
      f->edFechaExp->Text = "15/02/2026";
      F().set("edItercero", "900").set("edValor", "100");
      f->SGAsiento->Cells[3][1] = "100";
      f->SGAsiento->Cells[3][2] = "80";
      f->SGAsiento->Cells[3][3] = "20";
    }
  }
  ~Formulario() {
    form_->Hide();
    delete form_;
  }
  std::string Grabar() {
    ui_.takeMessages();
    F().click("&Grabar");
    return ui_.lastMessage().str();
  }

 private:
  tv::forms::Script F() { return ui_.now(form_); }
  tv::forms::HeadlessDriver& ui_;
  std::string clase_;
  TForm* form_ = nullptr;
};

// Límites de 100 para cada ronda: un rubro con 100 disponibles, un certificado al que le
// quedan 100 sin comprometer, un registro de 100 sin pagar.
class CadenaPuestos : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("DELETE FROM asientosProg");
    Sql("DELETE FROM asientosProgCfg");
    Sql("INSERT INTO asientosProgCfg (iAstoProg, nAstoProg, descDocu) VALUES (7, 'Pago servicios', '_OP')");
    Sql("INSERT OR IGNORE INTO PL (numecuen, nombcuen) VALUES ('51', 'Gastos'), ('5105', 'Personal'), "
        "('510505', 'Sueldos'), ('111005', 'Bancos'), ('236540', 'Retenciones')");
    Sql("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza) VALUES (7, '510505', 'D'), "
        "(7, '111005', 'C'), (7, '236540', 'C')");
    Sql("INSERT INTO TC (CedulaNIT, nombre) VALUES ('900', 'Proveedor Uno')");
  }
  // Siembra el límite de la ronda y devuelve su identificación.
  std::string Limite(const std::string& clase, int ronda) {
    std::string n = std::to_string(ronda);
    if (clase == "certificado") {
      std::string rubro = "2.9." + n;
      Rubro("E", rubro);
      Movimiento("AP" + n, "APR", "2026-01-02", {{"1.2.05", "I", 100, 0}, {rubro, "E", 0, 100}});
      return rubro;
    }
    std::string icd = std::to_string(100 + ronda);
    Certificado(100 + ronda, "2026-02-01", clase == "registro" ? 300 : 100, "", {{"2.1.1.01", 300}});
    if (clase == "registro") {
      Registro(500 + ronda, 100 + ronda, "2026-02-10", 200);  // quedan los últimos 100
      return icd;
    }
    Registro(100 + ronda, 100 + ronda, "2026-02-10", 100);
    return icd;
  }
  // Lo que la ronda dejó guardado contra su límite.
  double Usado(const std::string& clase, const std::string& limite) {
    if (clase == "certificado") return Numero("SELECT sum(valor) FROM certDispRubros WHERE rubroPptal=" + Q(limite));
    if (clase == "registro") return Numero("SELECT sum(valor) FROM mvtRegPptal WHERE ICD=" + limite);
    return Numero("SELECT sum(valor) FROM mvtOrdenPago WHERE IRP=" + limite);
  }

  void Rondas(const std::string& clase, const std::string& exito, const std::string& rechazo) {
    int ronda = 0;
    for (const char* turno : {"juntos", "despues"}) {
      for (int vez = 0; vez < 3; ++vez) {
        ++ronda;
        std::string limite = Limite(clase, ronda);
        std::string cita = dir + "/cita-" + clase + "-" + std::to_string(ronda);
        fs::create_directories(cita);
        std::vector<pid_t> pids;
        for (int puesto = 1; puesto <= 2; ++puesto)
          pids.push_back(Puesto({"TV_CADENA_DIR=" + dir, "TV_CADENA_LIBROS=" + libros, "TV_CADENA_CITA=" + cita,
                                 "TV_CADENA_PUESTO=" + std::to_string(puesto), "TV_CADENA_CLASE=" + clase,
                                 "TV_CADENA_LIMITE=" + limite, "TV_CADENA_TURNO=" + std::string(turno),
                                 "TV_CADENA_NUMERO=" + std::to_string(ronda * 10 + puesto)}));
        for (pid_t pid : pids) {
          ASSERT_GT(pid, 0);
          int estado = 0;
          waitpid(pid, &estado, 0);
          EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << clase << " ronda " << ronda;
        }
        std::string m1 = LeerTexto(cita + "/mensaje-1"), m2 = LeerTexto(cita + "/mensaje-2");
        SCOPED_TRACE(clase + " " + turno + " ronda " + std::to_string(ronda) + ": " + m1 + " / " + m2);
        EXPECT_TRUE((m1 == exito && m2.rfind(rechazo, 0) == 0) || (m2 == exito && m1.rfind(rechazo, 0) == 0));
        EXPECT_DOUBLE_EQ(Usado(clase, limite), clase == "registro" ? 300 : 100);
      }
    }
  }
};

}  // namespace

// Un puesto: abre la instalación de su padre, llena su formulario y graba cuando el otro
// puesto también lo llenó; uno después del otro, el segundo espera a que el primero termine.
// Sin las variables no hace nada.
TEST(PuestoCadena, GrabaContraElLimite) {
  const char* dir = std::getenv("TV_CADENA_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string cita = Var("TV_CADENA_CITA");
  int puesto = std::atoi(Var("TV_CADENA_PUESTO"));
  tv::os::ApplyRegionalSettings();
  tv::os::SetProgramDirForTests(dir);
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  PathOrigen = dir;
  PathCont = Var("TV_CADENA_LIBROS");
  NContabilidad = tv::schema::kStarterBooksName;
  anioGlobal = tv::schema::kStarterYear;
  Login = kLoginAdministrador;
  FechasInf = GFechas{"STR", "STR"};
  Permisos = TPermisos();
  Permisos.BGrabar = Permisos.BModificar = true;
  void* mem = ::operator new(sizeof(TDM));
  DM = static_cast<TDM*>(mem);
  new (mem) TDM(nullptr);
  ASSERT_TRUE(DM->TablasAbiertas());
  {
    // Los montos se teclean con el separador de la prueba.
    Formulario f(*ui, Var("TV_CADENA_CLASE"), Var("TV_CADENA_LIMITE"), Var("TV_CADENA_NUMERO"));
    Marcar(cita + "/lleno-" + std::to_string(puesto));
    ASSERT_TRUE(Esperar(cita + "/lleno-" + std::to_string(3 - puesto)));
    if (puesto == 2 && std::string(Var("TV_CADENA_TURNO")) == "despues") ASSERT_TRUE(Esperar(cita + "/mensaje-1"));
    Marcar(cita + "/mensaje-" + std::to_string(puesto), f.Grabar());
  }
  delete DM;
  DM = nullptr;
}

TEST_F(CadenaPuestos, DosCertificadosSobreLosUltimos100DeUnRubro) {
  Rondas("certificado", "Certificado de disponibilidad grabado.", "No hay disponible en el rubro 2.9.");
}

TEST_F(CadenaPuestos, DosRegistrosSobreLosUltimos100DeUnCertificado) {
  Rondas("registro", "Registro presupuestal adicionado.", "Este certificado no tiene dinero para ser comprometido.");
}

TEST_F(CadenaPuestos, DosOrdenesSobreLos100PendientesDeUnRegistro) {
  Rondas("orden", "Orden de pago grabada.",
         "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro presupuestal.");
}
