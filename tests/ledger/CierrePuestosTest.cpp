// Cierre del año con otros puestos (otros procesos) sobre los mismos libros: lo que otro graba
// mientras se cierra no queda fuera de los saldos iniciales sin aviso, y dos cierres del mismo año
// a la vez terminan los dos (uno espera al otro o se le dice que los libros están ocupados).
#include <filesystem>
#include <memory>
#include <string>

#include "app/Claves.h"
#include "app/Sesion.h"
#include "ledger/AsientosFixture.h"
#include "ledger/FrmCierreAnio.h"
#include "platform/forms/Headless.h"
#include "platform/forms/StdCtrls.h"
#include "shared/dialogs/Aviso.h"
#include "support/Puestos.h"

namespace {

namespace fs = std::filesystem;
using prueba::Esperar;
using prueba::LeerTexto;
using prueba::Marcar;
using prueba::TerminaBien;

const char* const kCreada = "La nueva contabilidad ha sido creada y es la que está usando en este momento.";
const char* const kOcupados = "Otro puesto está grabando en estos libros: espere un momento y vuelva a intentarlo.";

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
    return prueba::ArrancarPuesto("PuestoDeTrabajo.CierraElAnio", {dir, libros, cita},
                                  {"TV_CIERRE_NOMBRE=" + nombre, "TV_CIERRE_AVISO=" + aviso, "TV_CIERRE_HASTA=" + hasta});
  }
  std::string Resultado(const std::string& nombre) { return LeerTexto(cita + "/resultado-" + nombre); }
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
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  std::string nombre = prueba::Variable("TV_CIERRE_NOMBRE");
  std::string aviso = prueba::Variable("TV_CIERRE_AVISO"), hasta = prueba::Variable("TV_CIERRE_HASTA");
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  bool pausado = false;
  if (!aviso.empty())
    ui->onRepaint = [&](TControl*) {
      if (pausado || !FrmAviso || FrmAviso->Label1->Caption != aviso.c_str()) return;
      pausado = true;
      Marcar(p->Archivo("en-" + nombre), aviso);
      Esperar(p->Archivo(hasta));
    };
  // Entrar al año siguiente si otro puesto ya lo creó.
  ui->onModal("TFrmClave").set("EdPassword", "clave").click("&Aceptar");
  // Un cierre que no termina deja la ventana abierta: el puesto sale con "Salir".
  ui->onModal("TFrmCierreAnio").set("edCtaUtilidad", "311001").run([](TForm& f) {
    static_cast<TFrmCierreAnio&>(f).BtnAceptar->UserClick();
    if (f.ModalResult == mrNone) f.ModalResult = mrCancel;
  });
  Marcar(p->Archivo("intentando-" + nombre), "");
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
  Marcar(p->Archivo("resultado-" + nombre), resultado);
  admin::CerrarContabilidad();
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
  Marcar(cita + "/grabado", mensaje);
  ASSERT_TRUE(TerminaBien(cierre));
  EXPECT_EQ(Resultado("A"), kCreada);
  EXPECT_EQ(mensaje.rfind(kOcupados, 0), 0u) << mensaje;
  EXPECT_EQ(Mvt("SELECT count(*) FROM MVT WHERE numedocu='500'"), "0");
  EXPECT_EQ(Saldos("110501"), "1000.00/1000.00");
  EXPECT_EQ(Saldos("111005"), "-400.00/-400.00");
  // Las líneas siguen en el editor: grabadas ahora, quedan en el año cerrado como cualquier
  // cambio después del cierre, y se dice que hay que repetirlo.
  ui->takeMessages();
  Grabar();
  EXPECT_NE(ui->messageTexts().Pos("Asiento Registrado"), 0) << ui->messageTexts().c_str();
  EXPECT_EQ(ui->lastMessage(),
            "El año 2026 ya fue cerrado: repita el cierre para que los saldos iniciales de 2027 lo incluyan.");
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
    ASSERT_TRUE(TerminaBien(b));
    ASSERT_TRUE(TerminaBien(a));
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
