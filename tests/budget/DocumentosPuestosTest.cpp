// Dos puestos (dos procesos) graban un documento nuevo (certificado, registro, orden de
// servicio, de suministro o de pago) con el mismo número, a la vez o uno después del otro: uno queda
// grabado, el otro se rechaza con el mensaje que nombra el número y propone el siguiente;
// nunca uno reescribe al otro ni sale un "Key violation.".
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "app/Permisos.h"
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
#include "support/Puestos.h"

namespace {

class DosPuestosDocumento : public presupuesto::Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('800', 'Proveedor Uno')");
    Movimiento("AP1", "APR", "2026-01-02", {{"1.2.05", "I", 2000000, 0}, {"2.1.1.01", "E", 0, 2000000}}, "Inicial");
    Certificado(1, "2026-02-15", 1000000, "", {{"2.1.1.01", 1000000}});
    // Registro 2 con su plantilla de orden de pago: gasto al débito y banco al crédito.
    Registro(2, 1, "2026-02-10", 500000);
    // El registro de las órdenes de suministro, grabado como toda orden lo pide.
    Certificado(3, "2026-02-15", 500000, "", {{"2.1.1.01", 500000}});
    Registro(9, 3, "2026-02-10", 500000);
    PlantillaDePago(false);
  }
  // Corre los dos puestos sobre el número y devuelve los mensajes de cada uno.
  std::pair<std::string, std::string> Correr(const std::string& tipo, const std::string& numero, bool despues) {
    std::string cita = dir + "/cita-" + tipo + numero;
    EXPECT_TRUE(prueba::DosPuestos("PuestoDeDocumento.GrabaSuDocumento", {dir, libros, cita},
                                   {"TV_PUESTO_NUMERO=" + numero, "TV_PUESTO_TIPO=" + tipo,
                                    std::string("TV_PUESTO_DESPUES=") + (despues ? "1" : "0")}))
        << tipo << " " << numero;
    return {prueba::LeerTexto(cita + "/mensaje-1"), prueba::LeerTexto(cita + "/mensaje-2")};
  }
};

}  // namespace

// Un puesto: abre la instalación de su padre, llena el documento nuevo con su número y lo graba
// cuando el otro también la llenó (o, con TV_PUESTO_DESPUES, el segundo cuando el primero ya
// grabó). Sin las variables no hace nada.
TEST(PuestoDeDocumento, GrabaSuDocumento) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  int puesto = p->numero;
  std::string numero = prueba::Variable("TV_PUESTO_NUMERO");
  std::string tipo = prueba::Variable("TV_PUESTO_TIPO");
  bool despues = prueba::Variable("TV_PUESTO_DESPUES") == "1";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  Permisos.BGrabar = Permisos.BModificar = true;
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
  ASSERT_TRUE(p->Encuentro("lleno"));
  if (despues && puesto == 2) {
    ASSERT_TRUE(prueba::Esperar(p->Archivo("grabado-1")));
  }
  ui->takeMessages();
  ui->now(forma.get()).click("&Grabar");
  // Lo que vio el usuario: cuántas cajas y el texto de la última.
  std::string mensaje = grabada() ? "grabada" : std::to_string(ui->messages().size()) + ":" + ui->lastMessage().str();
  prueba::Marcar(p->Mio("mensaje"), mensaje);
  prueba::Marcar(p->Mio("grabado"));
  forma->Hide();
  forma.reset();
  admin::CerrarContabilidad();
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
