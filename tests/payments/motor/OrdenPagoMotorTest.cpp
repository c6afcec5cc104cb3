// El motor de la orden de pago, sin ventana: número, lo pendiente del registro, el dueño del
// asiento y la fila escrita, todo o nada.
#include <gtest/gtest.h>

#include <functional>
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
  // Corregida sin valor de cheque, conserva el guardado.
  Sql("UPDATE mvtOrdenPago SET valorCheque=100 WHERE iop=20260005");
  o.nueva = false;
  o.asiento.numeroGuardado = "20260005";
  ASSERT_TRUE(tv::motor::GrabarOrdenPago(libros, o).grabado);
  EXPECT_EQ(Leer("SELECT valorCheque FROM mvtOrdenPago WHERE iop=20260005"), "100");
}

}  // namespace
}  // namespace presupuesto
