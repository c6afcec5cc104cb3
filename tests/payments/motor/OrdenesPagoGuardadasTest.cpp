// Lo que los exploradores hacen con órdenes de pago guardadas, sin ventana: borrar un registro con
// sus órdenes y correr la numeración de las órdenes, con la versión traída y sin tocar asientos
// ajenos.
#include <gtest/gtest.h>

#include <string>

#include "app/schema/Versiones.h"
#include "budget/Presupuesto.h"
#include "payments/motor/OrdenPago.h"

namespace presupuesto {
namespace {

using namespace tv::motor;

// Registro 20260001 con las órdenes 4 (asiento _OP 4, suyo) y 6 (nombra el asiento manual _OP 6),
// y un comprobante que paga la 4 y la 6.
class OrdenesGuardadas : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Registro(20260001, 1, "2026-02-10", 1000);
    Registro(3, 1, "2026-02-10", 1000);
    for (const char* n : {"4", "6"}) {
      OrdenPago(std::stod(n), 20260001, "2026-02-11", 100);
      Sql(std::string("UPDATE mvtOrdenPago SET numeDocu='") + n + "', descdocu='_OP' WHERE iop=" + n);
      Sql(std::string("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor) VALUES (") +
          (std::string(n) == "4" ? "'P'" : "NULL") + ", '_OP', '" + n + "', '2026-02-11', 100)");
      Sql(std::string("INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito) VALUES ('510505', '_OP', '") + n +
          "', '2026-02-11', 100)");
    }
    OrdenPago(9, 3, "2026-02-11", 100);
    Comprobante("CE1", "2026-02-12", 200, {4, 6});
  }
  static long long V(const char* clase, std::int64_t n) {
    return tv::schema::VersionDoc(clase, tv::schema::ClaveDoc(n));
  }
  std::string Ordenes() {
    return Leer("SELECT group_concat(iop || ':' || coalesce(numeDocu, '')) FROM (SELECT * FROM mvtOrdenPago ORDER BY "
                "iop)");
  }
  std::string Asientos() {
    return Leer("SELECT group_concat(numedocu) FROM (SELECT DISTINCT numedocu FROM mvtMaestro WHERE descdocu='_OP' "
                "ORDER BY 1)");
  }
};

TEST_F(OrdenesGuardadas, BorrarRegistroConSusOrdenesSoloConLoQueLaListaVio) {
  std::map<std::int64_t, long long> leidas = VersionesOrdenesPago("Contabilidad");
  long long registro = V("RP", 20260001);
  struct Caso {
    const char* que;
    long long versionRegistro;
    std::map<std::int64_t, long long> pagos;
  } rehusos[] = {
      {"registro cambiado", registro + 1, leidas},
      {"una orden cambiada", registro, {{4, leidas[4]}, {6, leidas[6] - 1}}},
  };
  const std::string antes = Ordenes() + "|" + Asientos();
  for (const Caso& c : rehusos) {
    Resultado r = BorrarRegistroYPagos("Contabilidad", 20260001, c.versionRegistro, c.pagos);
    EXPECT_TRUE(r.Tiene("version")) << c.que << ": " << r.Texto();
    EXPECT_EQ(Ordenes() + "|" + Asientos(), antes) << c.que;
  }
  // Una orden que otro agregó al registro después de leer la lista también lo impide.
  OrdenPago(7, 20260001, "2026-02-12", 1);
  EXPECT_TRUE(BorrarRegistroYPagos("Contabilidad", 20260001, registro, leidas).Tiene("version"));
  Sql("DELETE FROM mvtOrdenPago WHERE iop=7");

  Resultado r = BorrarRegistroYPagos("Contabilidad", 20260001, registro, VersionesOrdenesPago("Contabilidad"));
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(irp) FROM mvtRegPptal"), "3");
  EXPECT_EQ(Ordenes(), "9:");
  // El asiento de la 4 se fue con ella; el manual _OP 6 no era de la orden y queda.
  EXPECT_EQ(Asientos(), "6");
  EXPECT_EQ(Leer("SELECT count(*) FROM MVT WHERE numedocu='6'"), "1");
}

TEST_F(OrdenesGuardadas, CorrerOrdenesConSusAsientosYComprobantes) {
  Resultado r = CorrerOrdenesPago("Contabilidad", 6, +1, V("OP", 6) + 1);
  EXPECT_TRUE(r.Tiene("version")) << r.Texto();
  r = CorrerOrdenesPago("Contabilidad", 5, +1, 0);  // no hay orden 5
  EXPECT_TRUE(r.Tiene("version")) << r.Texto();

  r = CorrerOrdenesPago("Contabilidad", 6, +1, V("OP", 6));
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Ordenes(), "4:4,7:7,10:");
  EXPECT_EQ(Asientos(), "4,7");
  EXPECT_EQ(Leer("SELECT op1 || ',' || op2 FROM mvtMaestro WHERE numedocu='CE1'"), "4,7");

  r = CorrerOrdenesPago("Contabilidad", 7, -1, V("OP", 7));
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Ordenes(), "4:4,6:6,9:");
  EXPECT_EQ(Leer("SELECT op1 || ',' || op2 FROM mvtMaestro WHERE numedocu='CE1'"), "4,6");
  // Bajar exige libre el número de abajo.
  OrdenPago(5, 3, "2026-02-11", 1);
  r = CorrerOrdenesPago("Contabilidad", 6, -1, V("OP", 6));
  EXPECT_EQ(r.Texto(), "La anterior órden de pago debe tener un número no consecutivo.");
  Sql("UPDATE mvtOrdenPago SET iop=1 WHERE iop=4");
  r = CorrerOrdenesPago("Contabilidad", 1, -1, V("OP", 1));
  EXPECT_EQ(r.Texto(), "Inicio de la numeración.");
}

}  // namespace
}  // namespace presupuesto
