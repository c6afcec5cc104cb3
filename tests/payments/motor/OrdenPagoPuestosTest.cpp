// Dos puestos (dos procesos) traen la misma orden de pago y la graban con valores distintos, a la
// vez o uno tras otro: una sola grabación pasa, a la otra se le dice que otro la grabó después de
// traerla, y la orden guardada y su asiento son enteros de la que pasó.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/LimitesLibros.h"
#include "ledger/motor/Resultado.h"
#include "payments/motor/OrdenPago.h"
#include "platform/forms/Headless.h"
#include "support/Puestos.h"

namespace presupuesto {
namespace {

// Registro 1 por 1.000 con la orden 4 de 100 y su asiento _OP 4.
class OrdenPagoPuestos : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Registro(1, 1, "2026-02-10", 1000);
    OrdenPago(4, 1, "2026-02-11", 100);
    Sql("UPDATE mvtOrdenPago SET numeDocu='4', descdocu='_OP', fechaVenc='2026-12-31', itercero='900' WHERE iop=4");
    Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES ('P', '_OP', '4', "
        "'2026-02-11', 100)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '4', '2026-02-11', 100)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, credito) VALUES ('111005', '_OP', '4', '2026-02-11', "
        "100)");
  }
};

TEST_F(OrdenPagoPuestos, LaMismaOrdenTraidaPorDosSeGrabaUnaVez) {
  int ronda = 0;
  for (const char* turno : {"juntos", "despues"}) {
    for (int vez = 0; vez < 5; ++vez) {
      ++ronda;
      std::string cita = dir + "/cita-orden-" + std::to_string(ronda);
      ASSERT_TRUE(prueba::DosPuestos("PuestoOrdenPago.GrabaLaOrdenTraida", {dir, libros, cita},
                                     {"TV_ORDEN_TURNO=" + std::string(turno)}));
      std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
      SCOPED_TRACE(std::string(turno) + " ronda " + std::to_string(ronda) + ": [" + m1 + "] / [" + m2 + "]");
      ASSERT_TRUE((m1 == "grabado") != (m2 == "grabado"));
      EXPECT_EQ(m1 == "grabado" ? m2 : m1, tv::motor::kDocumentoModificado);
      // El puesto n graba n00,00: la orden y cada línea de su asiento son del que pasó.
      std::string valor = m1 == "grabado" ? "100" : "200";
      EXPECT_EQ(Leer("SELECT valor FROM mvtOrdenPago WHERE iop=4"), valor);
      EXPECT_EQ(Leer("SELECT count(*) || '|' || sum(coalesce(debito, 0)) || '|' || sum(coalesce(credito, 0)) FROM MVT "
                     "WHERE descdocu='_OP' AND numedocu='4'"),
                "2|" + valor + "|" + valor);
      EXPECT_EQ(Leer("SELECT valor FROM mvtMaestro WHERE descdocu='_OP' AND numedocu='4'"), valor);
    }
  }
}

}  // namespace

// Un puesto: trae la orden 4, espera al otro y la graba por n00,00 (n su número de puesto); en
// "despues" el segundo graba cuando el primero terminó. Deja lo que se le dijo.
TEST(PuestoOrdenPago, GrabaLaOrdenTraida) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  tv::motor::InstalarLimitesLibros();
  auto o = tv::motor::TraerOrdenPago(p->libros, 4);
  ASSERT_TRUE(o);
  ASSERT_TRUE(p->Encuentro("traida"));
  if (p->numero == 2 && prueba::Variable("TV_ORDEN_TURNO") == "despues") {
    ASSERT_TRUE(prueba::Esperar(p->Archivo("mensaje-1")));
  }
  std::int64_t centavos = 10000 * p->numero;
  o->valor = o->asiento.valor = centavos;
  o->asiento.fecha = "2026-02-11";
  o->asiento.lineas = {{"510505", true, centavos}, {"111005", false, centavos}};
  o->asiento.qitems = 3;
  tv::motor::Resultado r = tv::motor::GrabarOrdenPago(p->libros, *o);
  prueba::Marcar(p->Mio("mensaje"), r.grabado ? "grabado" : r.Texto());
  admin::CerrarContabilidad();
}

}  // namespace presupuesto
