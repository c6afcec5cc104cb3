// Un documento del diario tiene un dueño: el editor de asientos, la orden de pago que nombra su
// `_OP n` o el comprobante programado de su `CE n`. Cada motor escribe y borra solo lo suyo, lo
// revisa dentro de su transacción, y rehúsa un número ajeno proponiendo el siguiente libre.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "budget/Presupuesto.h"
#include "budget/motor/LimitesLibros.h"
#include "ledger/motor/DocumentoManual.h"
#include "ledger/motor/DuenoDiario.h"
#include "payments/motor/AsientoOrdenPago.h"
#include "payments/motor/ComprobanteProgramado.h"
#include "payments/motor/Reintegros.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "support/Puestos.h"

namespace presupuesto {
namespace {

using namespace tv::motor;

const std::string kManual = kAsientoManual;

// Libros con un documento de cada dueño: _OP 1 manual, _OP 5 de la orden 5, CE 7 programado,
// CE 8 manual.
class Duenos : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('_OP', '1', '2026-02-15', 50)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '1', '2026-02-15', "
        "50)");
    Sql("INSERT INTO mvtOrdenPago (iop, numeDocu, descdocu, valor) VALUES (5, '5', '_OP', 80)");
    Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES ('P', '_OP', '5', "
        "'2026-02-15', 80)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '5', '2026-02-15', "
        "80)");
    Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES ('P', 'CE', '7', "
        "'2026-02-15', 70)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('110505', 'CE', '7', '2026-02-15', 70)");
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('CE', '8', '2026-02-15', 60)");
    Sql("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('110505', 'CE', '8', '2026-02-15', 60)");
  }
  // Líneas y valor del encabezado de un documento, y su marca.
  std::string Doc(const std::string& tipo, const std::string& numero) {
    std::string w = " WHERE descdocu=" + Q(tipo) + " AND numedocu=" + Q(numero);
    return Leer("SELECT count(*) FROM MVT" + w) + "/" + Leer("SELECT coalesce(tipoAsiento, '-') FROM mvtMaestro" + w);
  }
  tv::motor::AsientoOrdenPago Orden(std::int64_t orden, const std::string& numero, const std::string& guardado = "") {
    tv::motor::AsientoOrdenPago a;
    a.tipo = "_OP";
    a.numero = numero;
    a.numeroGuardado = guardado;
    a.orden = orden;
    a.fecha = "2026-03-01";
    a.tercero = "800";
    a.detalle = "pago";
    a.lineas = {{"510505", true, 12345}, {"111005", false, 12345}};
    a.valor = 12345;
    a.qitems = 3;
    return a;
  }
  tv::motor::ComprobanteProgramado Comprobante(const std::string& numero) {
    tv::motor::ComprobanteProgramado c;
    c.tipo = "CE";
    c.numero = numero;
    c.fecha = "2026-03-01";
    c.cheque = "77";
    c.ordenes = {20260001, 0, 0, 0, 0};
    c.lineas = {{"510505", "", true, 500}, {"111005", "", false, 500}};
    c.valor = 500;
    c.qitems = 3;
    return c;
  }
};

TEST_F(Duenos, CadaMotorEscribeSoloLoSuyo) {
  struct Caso {
    const char* nombre;
    std::function<tv::motor::Resultado()> grabar;
    const char* mensaje;  // "" = se graba
    const char* libre;
    const char* tipo;
    const char* numero;
    const char* queda;  // el documento pedido después
  };
  const std::vector<Caso> casos = {
      {"orden nueva sobre un asiento manual", [&] { return EscribirAsientoOrdenPago(libros, Orden(9, "1")); },
       kManual.c_str(), "2", "_OP", "1", "1/-"},
      {"orden nueva sobre el asiento de otra orden", [&] { return EscribirAsientoOrdenPago(libros, Orden(9, "5")); },
       "El asiento _OP 5 es de la orden de pago 5.", "6", "_OP", "5", "1/P"},
      {"orden nueva en un número libre", [&] { return EscribirAsientoOrdenPago(libros, Orden(9, "20")); }, "", "",
       "_OP", "20", "2/P"},
      {"la orden reescribe su asiento", [&] { return EscribirAsientoOrdenPago(libros, Orden(5, "5", "5")); }, "", "",
       "_OP", "5", "2/P"},
      {"comprobante sobre un asiento manual", [&] { return GrabarComprobanteProgramado(libros, Comprobante("8")); },
       kManual.c_str(), "9", "CE", "8", "1/-"},
      {"comprobante sobre el asiento de una orden",
       [&] {
         auto c = Comprobante("5");
         c.tipo = "_OP";
         return GrabarComprobanteProgramado(libros, c);
       },
       "El asiento _OP 5 es de la orden de pago 5.", "6", "_OP", "5", "1/P"},
      {"comprobante reemplaza el suyo", [&] { return GrabarComprobanteProgramado(libros, Comprobante("7")); }, "", "",
       "CE", "7", "2/P"},
      {"borrar un comprobante manual", [&] { return BorrarComprobanteProgramado(libros, "CE", "8"); },
       kManual.c_str(), "", "CE", "8", "1/-"},
      {"borrar el comprobante suyo", [&] { return BorrarComprobanteProgramado(libros, "CE", "7"); }, "", "", "CE",
       "7", "0/"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    TearDown();
    SetUp();
    tv::motor::Resultado r = c.grabar();
    EXPECT_EQ(r.grabado, std::string(c.mensaje).empty()) << r.Texto();
    EXPECT_EQ(r.Texto(), c.mensaje);
    EXPECT_EQ(r.numeroLibre, c.libre);
    EXPECT_EQ(Doc(c.tipo, c.numero), c.queda);
    // Los demás dueños siguen intactos.
    if (std::string(c.tipo) != "_OP" || std::string(c.numero) != "1") {
      EXPECT_EQ(Doc("_OP", "1"), "1/-");
    }
    if (std::string(c.numero) != "8") {
      EXPECT_EQ(Doc("CE", "8"), "1/-");
    }
  }
}

TEST_F(Duenos, LaOrdenRenumeradaSeLlevaSoloSuAsiento) {
  tv::motor::Resultado r = EscribirAsientoOrdenPago(libros, Orden(5, "30", "5"));
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Doc("_OP", "5"), "0/");
  EXPECT_EQ(Doc("_OP", "30"), "2/P");
  EXPECT_EQ(Leer("SELECT printf('%.2f', sum(debito)) || '|' || min(cedulanit) FROM MVT WHERE numedocu='30'"),
            "123.45|800");
  // Lo que dice guardado pero ya es de otro dueño no se borra.
  r = EscribirAsientoOrdenPago(libros, Orden(9, "40", "1"));
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Doc("_OP", "1"), "1/-");
}

TEST_F(Duenos, ComprobanteConSusOrdenesYChequeExactos) {
  ASSERT_TRUE(GrabarComprobanteProgramado(libros, Comprobante("7")).grabado);
  EXPECT_EQ(Leer("SELECT op1 || '|' || coalesce(op2, '-') || '|' || qitems FROM mvtMaestro WHERE numedocu='7'"),
            "20260001|-|3");
  EXPECT_EQ(Leer("SELECT group_concat(descComp || numeComp) FROM MVT WHERE numedocu='7'"), "CH77,CH77");
}

// Borrar o corregir un reintegro se decide en la transacción que lo escribe: el rubro que tenía
// no puede quedar con disponible negativo.
TEST_F(Duenos, ReintegroSoloSiSuDineroSigueDisponible) {
  InstalarLimitesLibros();
  Rubro("E", "G", "Gasto");
  Rubro("E", "H", "Otro");
  Movimiento("1", "APR", "2026-01-02", {{"G", "E", 0, 100}});
  Certificado(1, "2026-02-01", 100, "G");
  tv::motor::Reintegro r{"G", 3000, "2026-03-15", "Devolución", "admin"};
  ASSERT_TRUE(GrabarReintegro(libros, r).grabado);
  std::int64_t fila = std::stoll(Leer("SELECT max(rowid) FROM reintegros"));
  Certificado(2, "2026-03-20", 25, "G");  // usados 25 de los 30: disponible de G, 5
  const std::string kModificar =
      "No puede modificar el reintegro porque ya hizo uso de ese dinero en alguna otra transacción";
  const std::string kBorrar =
      "No puede borrar porque ya hizo uso de ese reintegro y utilizó ese dinero en alguna otra transacción";
  struct Caso {
    const char* nombre;
    const char* rubro;
    std::int64_t valor;  // -1 = borrar
    const char* mensaje;
    const char* queda;
  };
  const Caso casos[] = {
      {"bajar hasta lo usado", "G", 2500, "", "G|25"},
      {"pasar a otro rubro lo ya usado", "H", 2500, kModificar.c_str(), "G|25"},
      {"bajar más de lo que queda", "G", 2499, kModificar.c_str(), "G|25"},
      {"borrar lo usado", "G", -1, kBorrar.c_str(), "G|25"},
      {"subir", "G", 4000, "", "G|40"},
      {"pasar a otro rubro lo libre", "H", 4000, kModificar.c_str(), "G|40"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    tv::motor::Reintegro nuevo = r;
    nuevo.rubro = c.rubro;
    nuevo.valor = c.valor;
    long long v = tv::motor::VersionesReintegros(libros)[fila];
    Resultado res = c.valor < 0 ? BorrarReintegro(libros, fila, v) : ModificarReintegro(libros, fila, nuevo, v);
    EXPECT_EQ(res.grabado, std::string(c.mensaje).empty());
    EXPECT_EQ(res.Texto(), c.mensaje);
    EXPECT_EQ(Leer("SELECT rubro || '|' || valor FROM reintegros"), c.queda);
  }
  // Sin certificados que lo usen, se borra.
  Sql("DELETE FROM mvtCertDisp WHERE icd=2");
  EXPECT_TRUE(BorrarReintegro(libros, fila, tv::motor::VersionesReintegros(libros)[fila]).grabado);
  EXPECT_EQ(Leer("SELECT count(*) FROM reintegros"), "0");
}

// Lo que otro hace después de que este puesto trajo los reintegros: borrar o corregir lo traído
// se rehúsa con la frase de todo documento y nada cambia; traídos de nuevo, pasa a la primera.
TEST_F(Duenos, ReintegroTraidoConSuVersion) {
  Rubro("E", "G", "Gasto");
  Movimiento("1", "APR", "2026-01-02", {{"G", "E", 0, 100}});
  tv::motor::Reintegro r{"G", 3000, "2026-03-15", "Devolución", "admin"};
  struct Caso {
    const char* nombre;
    std::function<void(std::int64_t)> otro;
  };
  const Caso casos[] = {
      {"otro puesto lo corrigió",
       [&](std::int64_t fila) {
         tv::motor::Reintegro c = r;
         c.valor = 2000;
         ASSERT_TRUE(ModificarReintegro(libros, fila, c, tv::motor::VersionesReintegros(libros)[fila]).grabado);
       }},
      {"otro puesto agregó uno", [&](std::int64_t) { ASSERT_TRUE(GrabarReintegro(libros, r).grabado); }},
      {"otro programa le cambió la fecha",
       [&](std::int64_t fila) { Sql("UPDATE reintegros SET fecha='2026-03-16' WHERE rowid=" + std::to_string(fila)); }},
  };
  for (bool borrar : {false, true}) {
    for (const Caso& c : casos) {
      SCOPED_TRACE(std::string(c.nombre) + (borrar ? " / borrar" : " / corregir"));
      Sql("DELETE FROM reintegros");
      ASSERT_TRUE(GrabarReintegro(libros, r).grabado);
      std::int64_t fila = std::stoll(Leer("SELECT max(rowid) FROM reintegros"));
      long long traida = tv::motor::VersionesReintegros(libros)[fila];
      c.otro(fila);
      std::string antes = Leer("SELECT group_concat(valor || '/' || fecha) FROM reintegros");
      tv::motor::Reintegro cambio = r;
      cambio.valor = 4000;
      auto hacer = [&](long long v) {
        return borrar ? BorrarReintegro(libros, fila, v) : ModificarReintegro(libros, fila, cambio, v);
      };
      Resultado res = hacer(traida);
      ASSERT_FALSE(res.grabado);
      EXPECT_EQ(res.Texto(), tv::motor::kDocumentoModificado);
      EXPECT_EQ(Leer("SELECT group_concat(valor || '/' || fecha) FROM reintegros"), antes);
      res = hacer(tv::motor::VersionesReintegros(libros)[fila]);
      EXPECT_TRUE(res.grabado) << res.Texto();
      EXPECT_EQ(Leer("SELECT coalesce(max(valor), '-') FROM reintegros WHERE rowid=" + std::to_string(fila)),
                borrar ? "-" : "40");
    }
  }
}

}  // namespace
}  // namespace presupuesto
