// Dos puestos (dos procesos sobre la misma contabilidad) graban contra el mismo límite de la
// cadena presupuestal, a la vez o uno después del otro, cada uno con el formulario lleno con
// las cifras que leyó antes: uno graba, el otro recibe el rechazo, y el límite nunca se pasa.
#include <memory>
#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "budget/FrmCertDisp.h"
#include "budget/FrmRegPptal.h"
#include "budget/Presupuesto.h"
#include "payments/FrmOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "support/Puestos.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

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
    PlantillaDePago();
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
        // Cada puesto graba su propio número: ronda * 10 + puesto.
        EXPECT_TRUE(prueba::DosPuestos("PuestoCadena.GrabaContraElLimite", {dir, libros, cita},
                                       {"TV_CADENA_CLASE=" + clase, "TV_CADENA_LIMITE=" + limite,
                                        "TV_CADENA_TURNO=" + std::string(turno),
                                        "TV_CADENA_RONDA=" + std::to_string(ronda)}))
            << clase << " ronda " << ronda;
        std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
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
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  Permisos.BGrabar = Permisos.BModificar = true;
  {
    // Los montos se teclean con el separador de la prueba.
    std::string numero = std::to_string(std::stoi(prueba::Variable("TV_CADENA_RONDA")) * 10 + p->numero);
    Formulario f(*ui, prueba::Variable("TV_CADENA_CLASE"), prueba::Variable("TV_CADENA_LIMITE"), numero);
    ASSERT_TRUE(p->Encuentro("lleno"));
    if (p->numero == 2 && prueba::Variable("TV_CADENA_TURNO") == "despues")
      ASSERT_TRUE(prueba::Esperar(p->Archivo("mensaje-1")));
    prueba::Marcar(p->Mio("mensaje"), f.Grabar());
  }
  admin::CerrarContabilidad();
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
