// Dos puestos (dos procesos) graban a la vez, o uno tras otro, el mismo documento del diario:
// uno a mano y el otro como asiento de una orden de pago o como comprobante programado. Uno
// solo queda grabado, al otro se le dice, y el documento guardado es entero del que ganó.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/LimitesLibros.h"
#include "ledger/motor/DocumentoManual.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/motor/AsientoOrdenPago.h"
#include "payments/motor/ComprobanteProgramado.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "support/Puestos.h"

namespace presupuesto {
namespace {

class DuenoPuestos : public Presupuesto {};

TEST_F(DuenoPuestos, ManualContraOrdenOComprobanteNuncaSePierdeElQueSeDijoGrabado) {
  int ronda = 0;
  for (const char* otro : {"orden", "comprobante"}) {
    for (const char* turno : {"juntos", "despues"}) {
      for (int vez = 0; vez < 4; ++vez) {
        ++ronda;
        std::string tipo = std::string(otro) == "orden" ? "_OP" : "CE";
        std::string numero = std::to_string(100 + ronda);
        // El que graba a mano es a veces el primero y a veces el segundo.
        std::string manual = vez % 2 == 0 ? "1" : "2";
        std::string cita = dir + "/cita-dueno-" + std::to_string(ronda);
        EXPECT_TRUE(prueba::DosPuestos("PuestoDueno.GrabaSuDocumento", {dir, libros, cita},
                                       {"TV_DUENO_TIPO=" + tipo, "TV_DUENO_NUMERO=" + numero,
                                        "TV_DUENO_OTRO=" + std::string(otro), "TV_DUENO_TURNO=" + std::string(turno),
                                        "TV_DUENO_MANUAL=" + manual}));
        std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
        SCOPED_TRACE(std::string(otro) + " " + turno + " ronda " + std::to_string(ronda) + ": [" + m1 + "] / [" + m2 +
                     "]");
        ASSERT_TRUE((m1 == "grabado") != (m2 == "grabado"));
        std::string mensajeManual = manual == "1" ? m1 : m2, mensajeOtro = manual == "1" ? m2 : m1;
        bool ganoManual = mensajeManual == "grabado";
        if (ganoManual)
          EXPECT_EQ(mensajeOtro, tv::motor::kAsientoManual);
        else
          EXPECT_EQ(mensajeManual,
                    "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.");
        std::string w = " WHERE descdocu=" + Q(tipo) + " AND numedocu=" + Q(numero);
        // Dos líneas, todas del que ganó, con el encabezado de su dueño.
        EXPECT_EQ(Leer("SELECT count(*) || '|' || group_concat(DISTINCT detalle) FROM MVT" + w),
                  std::string("2|") + (ganoManual ? "manual" : otro));
        EXPECT_EQ(Leer("SELECT coalesce(tipoAsiento, '-') FROM mvtMaestro" + w), ganoManual ? "-" : "P");
      }
    }
  }
}

}  // namespace

// Un puesto: graba el documento a mano (con la versión leída antes de la cita) o como el otro
// dueño, y deja lo que se le dijo. Sin las variables no hace nada.
TEST(PuestoDueno, GrabaSuDocumento) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  tv::motor::InstalarLimitesLibros();
  std::string tipo = prueba::Variable("TV_DUENO_TIPO"), numero = prueba::Variable("TV_DUENO_NUMERO");
  std::string otro = prueba::Variable("TV_DUENO_OTRO");
  bool aMano = prueba::Variable("TV_DUENO_MANUAL") == std::to_string(p->numero);
  // Traído antes de que el otro escriba.
  long long version = tv::motor::VersionDiario(*tv::db::ConnectionFor(p->libros.c_str()), tipo, numero);
  ASSERT_TRUE(p->Encuentro("listo"));
  if (p->numero == 2 && prueba::Variable("TV_DUENO_TURNO") == "despues") {
    ASSERT_TRUE(prueba::Esperar(p->Archivo("mensaje-1")));
  }
  tv::motor::Resultado r;
  if (aMano) {
    tv::motor::DocumentoManual d;
    d.tipo = tipo;
    d.numero = d.numeroTraido = numero;
    d.fecha = "2026-03-15";
    d.versionTraida = version;
    tv::motor::LineaDiario deb, cre;
    deb.cuenta = "510505";
    cre.cuenta = "111005";
    deb.detalle = cre.detalle = "manual";
    deb.debito = cre.credito = 10000;
    d.lineas = {deb, cre};
    r = tv::motor::GrabarDocumentoManual(p->libros, d);
  } else if (otro == "orden") {
    tv::motor::AsientoOrdenPago a;
    a.tipo = tipo;
    a.numero = numero;
    a.orden = std::stoll(numero);
    a.fecha = "2026-03-15";
    a.detalle = "orden";
    a.lineas = {{"510505", true, 20000}, {"111005", false, 20000}};
    a.valor = 20000;
    a.qitems = 3;
    // El asiento y la fila de la orden en una sola transacción, como la ventana.
    tv::db::Transaction tx(p->libros.c_str());
    r = tv::motor::EscribirAsientoOrdenPago(p->libros, a);
    if (r.grabado) {
      tv::db::ConnectionFor(p->libros.c_str())
          ->Exec("INSERT INTO mvtOrdenPago (iop, numeDocu, descdocu, valor) VALUES (" + numero + ", '" + numero +
                 "', '" + tipo + "', 200)");
      tx.Commit();
    }
  } else {
    tv::motor::ComprobanteProgramado c;
    c.tipo = tipo;
    c.numero = numero;
    c.fecha = "2026-03-15";
    c.detalle = "comprobante";
    c.lineas = {{"510505", "", true, 30000}, {"111005", "", false, 30000}};
    c.valor = 30000;
    c.qitems = 3;
    r = tv::motor::GrabarComprobanteProgramado(p->libros, c);
  }
  prueba::Marcar(p->Mio("mensaje"), r.grabado ? "grabado" : r.Texto());
  admin::CerrarContabilidad();
}

}  // namespace presupuesto
