// El motor de la orden de pago, sin ventana: número, lo pendiente del registro, el dueño del
// asiento y la fila escrita, todo o nada.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "budget/Presupuesto.h"
#include "payments/motor/OrdenPago.h"

namespace presupuesto {
namespace {

using Orden = tv::motor::OrdenPago;

// Registro 20260001 por 1.000 con la orden 4 de 800 (asiento _OP 4).
class MotorOrdenPago : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Registro(20260001, 1, "2026-02-10", 1000);
    OrdenPago(4, 20260001, "2026-02-11", 800);
    Sql("UPDATE mvtOrdenPago SET numeDocu='4', descdocu='_OP', valorCheque=800 WHERE iop=4");
    Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES ('P', '_OP', '4', "
        "'2026-02-11', 800)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '4', '2026-02-11', "
        "800)");
  }
  // Orden nueva 20260005 de `centavos` con su asiento _OP 20260005.
  Orden Nueva(std::int64_t centavos) {
    Orden o;
    o.numero = 20260005;
    o.registro = 20260001;
    o.fechaExped = "2026-02-15";
    o.fechaVenc = "2026-12-31";
    o.tercero = "900";
    o.valor = centavos;
    o.plantilla = 7;
    o.asiento.tipo = "_OP";
    o.asiento.numero = "20260005";
    o.asiento.fecha = "2026-02-15";
    o.asiento.lineas = {{"510505", true, centavos}, {"111005", false, centavos}};
    o.asiento.valor = centavos;
    o.asiento.qitems = 3;
    return o;
  }
};

TEST_F(MotorOrdenPago, CadaReglaDeLaGrabacion) {
  const std::string kExcede =
      "El valor de la orden de pago no puede ser mayor que el valor pendiente de pagar del registro presupuestal.\n";
  const std::string kCuenta =
      "tiene una cuenta por pagar mayor al valor pendiente de pago que tiene el reg. Presupuestal\n";
  struct Caso {
    const char* nombre;
    std::function<void(Orden&)> cambio;  // sobre una nueva de 200,00
    std::string campo;                       // "" = se graba
    std::string texto;
    std::string libre;
  };
  const std::vector<Caso> casos = {
      {"justo lo pendiente", [](Orden&) {}, "", "", ""},
      {"un centavo más", [](Orden& o) { o.valor = o.asiento.valor = 20001; }, "valor", kExcede + kCuenta, ""},
      {"asiento mayor que lo pendiente", [](Orden& o) { o.asiento.valor = 20001; }, "valor", kCuenta, ""},
      {"número tomado", [](Orden& o) { o.numero = 4; }, "orden",
       "La orden de pago 4 ya fue grabada por otro usuario. Se propone el número 5.", "5"},
      {"asiento de otra orden", [](Orden& o) { o.asiento.numero = "4"; }, "numeDocu",
       "El asiento _OP 4 es de la orden de pago 4.", "5"},
      {"la orden 4 sube dentro de lo pendiente",
       [](Orden& o) {
         o.numero = 4;
         o.nueva = false;
         o.valor = o.asiento.valor = 100000;
         o.asiento.numero = o.asiento.numeroGuardado = "4";
       },
       "", "", ""},
      {"la orden 4 sube un centavo de más",
       [](Orden& o) {
         o.numero = 4;
         o.nueva = false;
         o.valor = 100001;
         o.asiento.numero = o.asiento.numeroGuardado = "4";
       },
       "valor", kExcede, ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    TearDown();
    SetUp();
    Orden o = Nueva(20000);
    c.cambio(o);
    if (!o.nueva) o.versionTraida = tv::motor::TraerOrdenPago(libros, o.numero)->versionTraida;
    tv::motor::Resultado r = tv::motor::GrabarOrdenPago(libros, o);
    EXPECT_EQ(r.grabado, c.campo.empty()) << r.Texto();
    if (!c.campo.empty()) {
      ASSERT_EQ(r.errores.size(), 1u);
      EXPECT_EQ(r.errores[0].campo, c.campo);
      EXPECT_EQ(r.errores[0].texto, c.texto);
      EXPECT_EQ(r.numeroLibre, c.libre);
      // Nada cambió.
      EXPECT_EQ(Leer("SELECT group_concat(iop || '/' || valor) FROM mvtOrdenPago"), "4/800");
      EXPECT_EQ(Leer("SELECT group_concat(numedocu) FROM mvtMaestro WHERE descdocu='_OP'"), "4");
      EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"), "1");
    }
  }
}

TEST_F(MotorOrdenPago, LaFilaYSuAsientoExactos) {
  Orden o = Nueva(12345);
  o.valor = 12345;
  o.valorEfectivo = 45;
  ASSERT_TRUE(tv::motor::GrabarOrdenPago(libros, o).grabado);
  EXPECT_EQ(Leer("SELECT printf('%d|%d|%.2f|%s|%s|%s|%s|%d|%.2f|%s', iop, IRP, valor, FechaExped, fechaVenc, numeDocu, "
                 "descdocu, iAstoProg, valorEfectivo, coalesce(valorCheque, '-')) FROM mvtOrdenPago WHERE iop=20260005"),
            "20260005|20260001|123.45|2026-02-15|2026-12-31|20260005|_OP|7|0.45|-");
  EXPECT_EQ(Leer("SELECT count(*) || '|' || printf('%.2f', sum(debito)) FROM MVT WHERE numedocu='20260005'"),
            "2|123.45");
  // Traída de nuevo, es la grabada: números exactos y montos en centavos.
  auto t = tv::motor::TraerOrdenPago(libros, 20260005);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->registro, 20260001);
  EXPECT_EQ(t->valor, 12345);
  EXPECT_EQ(t->valorEfectivo, std::optional<std::int64_t>(45));
  EXPECT_FALSE(t->valorCheque);
  EXPECT_EQ(t->asiento.numero, "20260005");
  EXPECT_EQ(t->plantilla, 7);
  EXPECT_EQ(t->fechaVenc, "2026-12-31");
  EXPECT_FALSE(tv::motor::TraerOrdenPago(libros, 20260006));
  // Corregida sin valor de cheque, conserva el guardado.
  Sql("UPDATE mvtOrdenPago SET valorCheque=100 WHERE iop=20260005");
  o = *tv::motor::TraerOrdenPago(libros, 20260005);
  o.asiento.lineas = {{"510505", true, 12345}, {"111005", false, 12345}};
  o.asiento.valor = 12345;
  o.valorCheque.reset();
  ASSERT_TRUE(tv::motor::GrabarOrdenPago(libros, o).grabado);
  EXPECT_EQ(Leer("SELECT valorCheque FROM mvtOrdenPago WHERE iop=20260005"), "100");
}

// Lo que otro hace con la orden 4 después de que este puesto la trajo: la grabación y el borrado
// de lo traído se rehúsan con la frase de todo documento, nada cambia, y traída de nuevo se graba
// a la primera.
TEST_F(MotorOrdenPago, LaVersionTraida) {
  struct Caso {
    const char* nombre;
    std::function<void()> otro;
    bool rehusa;
  };
  auto grabarOtra = [this] {
    Orden o = *tv::motor::TraerOrdenPago(libros, 4);
    o.asiento.lineas = {{"510505", true, 90000}, {"111005", false, 90000}};
    o.valor = o.asiento.valor = 90000;
    ASSERT_TRUE(tv::motor::GrabarOrdenPago(libros, o).grabado);
  };
  const std::vector<Caso> casos = {
      {"nadie la tocó", [] {}, false},
      {"otro puesto la grabó", grabarOtra, true},
      {"otro programa le cambió el cheque",
       [this] { Sql("UPDATE mvtOrdenPago SET numeroCheque='77' WHERE iop=4"); }, true},
      {"otro puesto la borró",
       [this] {
         auto o = tv::motor::TraerOrdenPago(libros, 4);
         ASSERT_TRUE(tv::motor::BorrarOrdenPago(libros, 4, o->versionTraida).grabado);
       },
       true},
      {"otro puesto la borró y la hizo de nuevo",
       [this] {
         // La versión sigue contando tras borrar: la orden hecha de nuevo no es la traída.
         auto o = tv::motor::TraerOrdenPago(libros, 4);
         ASSERT_TRUE(tv::motor::BorrarOrdenPago(libros, 4, o->versionTraida).grabado);
         Sql("INSERT INTO mvtOrdenPago (iop, IRP, valor, numeDocu, descdocu) VALUES (4, 20260001, 800, '4', '_OP')");
       },
       true},
  };
  for (bool borrar : {false, true}) {
    for (const Caso& c : casos) {
      SCOPED_TRACE(std::string(c.nombre) + (borrar ? " / borrar" : " / grabar"));
      TearDown();
      SetUp();
      Orden traida = *tv::motor::TraerOrdenPago(libros, 4);
      traida.asiento.lineas = {{"510505", true, 50000}, {"111005", false, 50000}};
      traida.valor = traida.asiento.valor = 50000;
      c.otro();
      std::string antes = Leer("SELECT group_concat(iop || '/' || valor || '/' || coalesce(numeroCheque, '')) FROM "
                               "mvtOrdenPago") +
                          Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'");
      tv::motor::Resultado r = borrar ? tv::motor::BorrarOrdenPago(libros, 4, traida.versionTraida)
                                      : tv::motor::GrabarOrdenPago(libros, traida);
      if (!c.rehusa) {
        EXPECT_TRUE(r.grabado) << r.Texto();
        EXPECT_EQ(Leer("SELECT coalesce(group_concat(valor), '-') FROM mvtOrdenPago WHERE iop=4"),
                  borrar ? "-" : "500");
        // El asiento de la orden se fue con ella.
        if (borrar) EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"), "0");
        continue;
      }
      ASSERT_FALSE(r.grabado);
      ASSERT_EQ(r.errores.size(), 1u);
      EXPECT_EQ(r.errores[0].campo, "version");
      EXPECT_EQ(r.errores[0].texto, tv::motor::kDocumentoModificado);
      EXPECT_EQ(Leer("SELECT group_concat(iop || '/' || valor || '/' || coalesce(numeroCheque, '')) FROM "
                     "mvtOrdenPago") +
                    Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'"),
                antes);
      // Traída de nuevo (si sigue), la primera grabación pasa, y la siguiente con la versión que
      // devolvió también.
      auto otraVez = tv::motor::TraerOrdenPago(libros, 4);
      if (!otraVez) continue;
      otraVez->asiento.lineas = traida.asiento.lineas;
      otraVez->valor = otraVez->asiento.valor = 50000;
      tv::motor::Resultado g = tv::motor::GrabarOrdenPago(libros, *otraVez);
      ASSERT_TRUE(g.grabado) << g.Texto();
      EXPECT_EQ(g.version, tv::motor::TraerOrdenPago(libros, 4)->versionTraida);
      otraVez->versionTraida = g.version;
      EXPECT_TRUE(tv::motor::GrabarOrdenPago(libros, *otraVez).grabado);
    }
  }
}

// Borrar una orden se lleva su asiento, nunca uno manual con el mismo número.
TEST_F(MotorOrdenPago, BorrarDejaElAsientoAjeno) {
  Sql("UPDATE mvtMaestro SET tipoAsiento=NULL WHERE descdocu='_OP' AND numedocu='4'");
  auto o = tv::motor::TraerOrdenPago(libros, 4);
  ASSERT_TRUE(tv::motor::BorrarOrdenPago(libros, 4, o->versionTraida).grabado);
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenPago"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE descdocu='_OP'") + Leer("SELECT count(*) FROM mvtMaestro"), "11");
}

}  // namespace
}  // namespace presupuesto
