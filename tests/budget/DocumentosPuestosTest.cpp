// Dos puestos (dos procesos) graban un documento nuevo (certificado, registro, orden de
// servicio, de suministro o de pago) con el mismo número, a la vez o uno después del otro: uno queda
// grabado, el otro se rechaza con el mensaje que nombra el número y propone el siguiente;
// nunca uno reescribe al otro ni sale un "Key violation.".
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/FrmOrdenSuministro.h"
#include "budget/FrmRegPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Headless.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Process.h"
#include "platform/os/Regional.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Espera a que exista el archivo de otro puesto (señal de que llegó a ese paso).
bool Esperar(const std::string& archivo) {
  for (int i = 0; i < 6000 && !fs::exists(archivo); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::exists(archivo);
}

// Llega a un paso y espera al otro puesto en el mismo paso.
bool Encuentro(const std::string& cita, const std::string& paso, int puesto) {
  std::ofstream(cita + "/" + paso + "-" + std::to_string(puesto)) << "listo";
  return Esperar(cita + "/" + paso + "-" + std::to_string(3 - puesto));
}

pid_t Puesto(const std::vector<std::string>& variables) {
  std::vector<char*> envp;
  std::vector<std::string> propias = variables;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (auto& v : propias) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filtro = "--gtest_filter=PuestoDeDocumento.GrabaSuDocumento",
              breve = "--gtest_brief=1";
  char* argv[] = {self.data(), filtro.data(), breve.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

std::string LeerArchivo(const std::string& archivo) {
  std::ifstream f(archivo);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

class DosPuestosDocumento : public presupuesto::Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Proveedor Uno')");
    Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 2000000, 0}, {"2.1.1.01", "E", 0, 2000000}}, "Inicial");
    Certificado(1, "2026-02-15", 1000000, "", {{"2.1.1.01", 1000000}});
    // Registro 2 con su plantilla de orden de pago: gasto al débito y banco al crédito.
    Registro(2, 1, "2026-02-10", 500000);
    Sql("DELETE FROM asientosProg");
    Sql("DELETE FROM asientosProgCfg");
    Sql("INSERT INTO asientosProgCfg (iAstoProg, nAstoProg, descDocu) VALUES (7, 'Pago servicios', '_OP')");
    Sql("INSERT OR IGNORE INTO PL (numecuen, nombcuen) VALUES ('51', 'Gastos'), ('5105', 'Personal'), "
        "('510505', 'Sueldos'), ('111005', 'Bancos')");
    Sql("INSERT INTO asientosProg (iAstoProg, numeCuen, naturaleza) VALUES (7, '510505', 'D'), (7, '111005', 'C')");
  }
  // Corre los dos puestos sobre el número y devuelve los mensajes de cada uno.
  std::pair<std::string, std::string> Correr(const std::string& tipo, const std::string& numero, bool despues) {
    std::string cita = dir + "/cita-" + tipo + numero;
    fs::create_directories(cita);
    std::vector<pid_t> pids;
    for (int puesto = 1; puesto <= 2; ++puesto)
      pids.push_back(Puesto({"TV_PUESTO_DIR=" + dir, "TV_PUESTO_LIBROS=" + libros, "TV_PUESTO_CITA=" + cita,
                             "TV_PUESTO=" + std::to_string(puesto), "TV_PUESTO_NUMERO=" + numero,
                             "TV_PUESTO_TIPO=" + tipo, std::string("TV_PUESTO_DESPUES=") + (despues ? "1" : "0")}));
    for (pid_t pid : pids) {
      EXPECT_GT(pid, 0);
      int estado = 0;
      waitpid(pid, &estado, 0);
      EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "puesto " << pid;
    }
    return {LeerArchivo(cita + "/mensaje-1"), LeerArchivo(cita + "/mensaje-2")};
  }
};

}  // namespace

// Un puesto: abre la instalación de su padre, llena el documento nuevo con su número y lo graba
// cuando el otro también la llenó (o, con TV_PUESTO_DESPUES, el segundo cuando el primero ya
// grabó). Sin las variables no hace nada.
TEST(PuestoDeDocumento, GrabaSuDocumento) {
  const char* dir = std::getenv("TV_PUESTO_DIR");
  if (!dir) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string cita = std::getenv("TV_PUESTO_CITA");
  int puesto = std::atoi(std::getenv("TV_PUESTO"));
  std::string numero = std::getenv("TV_PUESTO_NUMERO");
  std::string tipo = std::getenv("TV_PUESTO_TIPO");
  bool despues = std::string(std::getenv("TV_PUESTO_DESPUES")) == "1";
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
  std::string detalle = "puesto " + std::to_string(puesto);
  std::unique_ptr<TForm> forma;
  std::function<bool()> grabada;
  std::string valor = std::to_string(puesto * 100);
  if (tipo == "certificado") {
    auto* f = new TfrmCertDisp(nullptr);
    frmCertDisp = f;
    forma.reset(f);
    f->Show();
    auto s = [&] { return ui->now(f); };
    s().set("edIcertDisp", numero.c_str()).focus("edObjetoGasto");
    ui->onModal("TFrmBuscTabla").type("EdBusqueda", "2.1.1.01").click("&Aceptar");
    s().click("btnAddOtroRubro");
    for (TMaskEdit* e : {f->edValor, f->edFunc, f->edInv}) e->Text = "";
    s().set("edFechaExp", "01/03/2026").set("edFechaVenc", "31/12/2026").set("edObjetoGasto", detalle.c_str())
        .set("edValor", valor.c_str()).focus("edVigFisc").set("edInv", "0").focus("edVigFisc")
        .editCell("sgOtrosRubros", 3, 1, valor.c_str());
    grabada = [&ui] { return ui->lastMessage() == "Certificado de disponibilidad grabado."; };
  } else if (tipo == "registro") {
    auto* f = new TfrmRegPptal(nullptr);
    frmRegPptal = f;
    forma.reset(f);
    f->Show();
    auto s = [&] { return ui->now(f); };
    s().set("edICD", "1").focus("edIregPptal");
    f->edIregPptal->Text = "";
    s().set("edIregPptal", numero.c_str()).focus("edFechaExp");
    s().set("edFechaExp", "20/02/2026").set("edItercero", "800").pick("rgTipo", 2);
    for (TMaskEdit* e : {f->edValor, f->edFunc, f->edInv}) e->Text = "";
    s().set("edValor", valor.c_str()).focus("edVigFisc").set("edInv", "0").focus("edVigFisc");
    grabada = [&ui] { return ui->lastMessage() == "Registro presupuestal adicionado."; };
  } else if (tipo == "pago") {
    // El número es el que el formulario propone: el mismo en los dos puestos.
    auto* f = new TfrmOrdenPago(nullptr);
    frmOrdenPago = f;
    forma.reset(f);
    f->Show();
    ASSERT_EQ(f->edIordenPago->Text, numero.c_str());
    ui->now(f).set("edIRP", "2").focus("edFechaExp");
    f->edFechaExp->Text = "15/02/2026";
    ui->now(f).set("edItercero", "800").set("edValor", valor.c_str()).set("edObjetoGasto", detalle.c_str());
    f->SGAsiento->Cells[3][1] = valor.c_str();
    f->SGAsiento->Cells[3][2] = valor.c_str();
    grabada = [&ui] { return ui->lastMessage() == "Orden de pago grabada."; };
  } else if (tipo == "servicio") {
    auto* f = new TfrmOrdenServicios(nullptr);
    forma.reset(f);
    f->Show();
    ui->now(f).focus("edIordenServicio").set("edIordenServicio", numero.c_str()).focus("edFecha")
        .set("edFecha", "01/04/2026").set("edItercero", "800").set("edValor", valor.c_str())
        .set("Memo1", detalle.c_str());
    grabada = [f] { return f->grabado; };
  } else {
    auto* f = new TfrmOrdenSuministro(nullptr);
    forma.reset(f);
    f->regPptal = 9;
    f->Show();
    ui->now(f).focus("edIordenSuministro").set("edIordenSuministro", numero.c_str()).focus("edFecha")
        .set("edFecha", "01/04/2026").set("edItercero", "800").set("edDetalle", detalle.c_str());
    f->tblTemp->Append();
    f->tblTemp->FieldByName("iArticulo")->AsString = "P01";
    f->tblTemp->FieldByName("cantidad")->AsFloat = puesto;
    f->tblTemp->FieldByName("valorUnit")->AsFloat = 10;
    f->tblTemp->Post();
    grabada = [f] { return f->grabado; };
  }
  ASSERT_TRUE(Encuentro(cita, "lleno", puesto));
  if (despues && puesto == 2) {
    ASSERT_TRUE(Esperar(cita + "/grabado-1"));
  }
  ui->takeMessages();
  ui->now(forma.get()).click("&Grabar");
  // Lo que vio el usuario: cuántas cajas y el texto de la última.
  std::string mensaje = grabada() ? "grabada" : std::to_string(ui->messages().size()) + ":" + ui->lastMessage().str();
  std::ofstream(cita + "/mensaje-" + std::to_string(puesto)) << mensaje;
  std::ofstream(cita + "/grabado-" + std::to_string(puesto)) << "listo";
  forma->Hide();
  forma.reset();
  delete DM;
  DM = nullptr;
}

TEST_F(DosPuestosDocumento, ElMismoNumeroNuevoSeGrabaUnaSolaVez) {
  // ganador: de qué puesto es lo guardado; nombre y grabado: cómo lo nombra el rechazo.
  struct Caso {
    const char *tipo, *tabla, *campo, *ganador, *nombre, *grabado;
  } casos[] = {
      {"certificado", "mvtCertDisp", "icd", "CAST(valor / 100 AS INT)", "El certificado de disponibilidad ",
       "grabado"},
      {"registro", "mvtRegPptal", "irp", "CAST(valor / 100 AS INT)", "El registro presupuestal ", "grabado"},
      {"pago", "mvtOrdenPago", "iop", "CAST(valor / 100 AS INT)", "La orden de pago ", "grabada"},
      {"servicio", "mvtOrdenServicio", "iOrdenServicio", "substr(descServicio, 8)", "La orden de servicio ",
       "grabada"},
      {"suministro", "mvtOrdenSumiMaestro", "iOrdenSuministro", "substr(detalle, 8)", "La orden de suministro ",
       "grabada"},
  };
  int vuelta = 0;
  for (const auto& c : casos) {
    for (bool despues : {false, false, false, true, true}) {
      ++vuelta;
      // La orden de pago lleva el número que el formulario propone.
      std::string numero = std::string(c.tipo) == "pago" ? Leer("SELECT coalesce(max(iop), 0) + 1 FROM mvtOrdenPago")
                                                          : std::to_string(20260000 + vuelta * 10);
      auto [m1, m2] = Correr(c.tipo, numero, despues);
      std::string donde = std::string(" FROM ") + c.tabla + " WHERE " + c.campo + "=" + numero;
      ASSERT_EQ(Leer("SELECT count(*)" + donde), "1") << c.tipo << " " << numero;
      std::string ganador = Leer(std::string("SELECT ") + c.ganador + donde);
      std::string rechazo = std::string("1:") + c.nombre + numero + " ya fue " + c.grabado +
                            " por otro usuario. Se propone el número " + std::to_string(std::stoll(numero) + 1) + ".";
      if (despues) {
        EXPECT_EQ(ganador, "1") << c.tipo << " " << numero;
      }
      if (std::string(c.tipo) == "pago") {
        // Un solo documento contable, con los renglones del ganador.
        std::string doc = " WHERE descdocu='_OP' AND numedocu='" + numero + "'";
        EXPECT_EQ(Leer("SELECT count(*) FROM mvtMaestro" + doc), "1") << numero;
        EXPECT_EQ(Leer("SELECT count(*) || '/' || CAST(sum(debito) / 100 AS INT) FROM MVT" + doc), "2/" + ganador)
            << numero;
      }
      EXPECT_EQ(ganador == "1" ? m1 : m2, "grabada") << c.tipo << " " << numero;
      EXPECT_EQ(ganador == "1" ? m2 : m1, rechazo) << c.tipo << " " << numero;
    }
  }
  // Los renglones guardados de cada orden de suministro son los de su ganador.
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro AS r JOIN mvtOrdenSumiMaestro AS m "
                 "ON m.iOrdenSuministro=r.iOrdenSuministro WHERE r.cantidad <> CAST(substr(m.detalle, 8) AS REAL)"),
            "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro"), "5");
}
