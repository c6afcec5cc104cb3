// El motor del movimiento presupuestal: la versión traída, los traslados que sacan de varios
// rubros (cada uno medido) y las reducciones que dejarían un rubro certificado sin disponible.
#include <gtest/gtest.h>

#include <string>

#include "app/schema/Versiones.h"
#include "budget/Presupuesto.h"
#include "budget/motor/MovimientoMotor.h"

namespace presupuesto {
namespace {

using tv::motor::GrabarMovimiento;
using tv::motor::MovimientoPptal;
using tv::motor::RenglonMovimiento;
using tv::motor::Resultado;

class MovimientoMotor : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "2.3.3");
    Rubro("E", "2.3.4");
    Movimiento("1", "APR", "2026-01-02",
               {{"1.2.05", "I", 3000, 0}, {"2.3.2", "E", 0, 1000}, {"2.3.3", "E", 0, 1000}, {"2.3.4", "E", 0, 1000}});
    Certificado(1, "2026-02-01", 900, "", {{"2.3.3", 900}});
  }
  static MovimientoPptal Mov(const std::string& numero, const std::string& tipo, std::vector<RenglonMovimiento> r) {
    return {numero, tipo, "2026-03-01", "detalle", "admin", 0, std::move(r)};
  }
  static long long Version(const std::string& clave) { return tv::schema::VersionDoc("MP", clave); }
};

TEST_F(MovimientoMotor, CaminosYLimites) {
  struct Caso {
    const char* que;
    MovimientoPptal m;
    long long version;
    const char* campo;
    std::string texto;
  } casos[] = {
      // Del 2.3.2 sale lo que tiene; del 2.3.3 (900 certificados) no caben 200.
      {"traslado de dos rubros", Mov("T1", "TRA", {{"2.3.2", "E", std::nullopt, -50000, "", ""},
                                                  {"2.3.3", "E", std::nullopt, -20000, "", ""},
                                                  {"2.3.4", "E", std::nullopt, 70000, "", ""}}),
       0, "traslado", ""},
      {"reducción de un rubro certificado", Mov("R1", "RED", {{"1.2.05", "I", std::nullopt, 20000, "", ""},
                                                             {"2.3.3", "E", 20000, std::nullopt, "", ""}}),
       0, "limite", ""},
      {"versión vieja", Mov("1", "APR", {{"1.2.05", "I", 300000, 0, "", ""}, {"2.3.2", "E", 0, 300000, "", ""}}),
       Version("1|APR") - 1, "version", tv::motor::kDocumentoModificado},
  };
  std::string antes = Leer("SELECT count(*) || '/' || sum(coalesce(ingreso,0)) FROM mvtPptal");
  for (const Caso& c : casos) {
    Resultado res = GrabarMovimiento(c.m, c.version);
    ASSERT_EQ(res.errores.size(), 1u) << c.que << ": " << res.Texto();
    EXPECT_EQ(res.errores[0].campo, c.campo) << c.que << ": " << res.Texto();
    if (!c.texto.empty()) EXPECT_EQ(res.Texto(), c.texto) << c.que;
    EXPECT_EQ(Leer("SELECT count(*) || '/' || sum(coalesce(ingreso,0)) FROM mvtPptal"), antes) << c.que;
  }
  EXPECT_NE(GrabarMovimiento(casos[0].m, 0).Texto().find("(2.3.3)"), std::string::npos);
}

// Grabado: renglones con sus nulos, encabezado con su contador, y la versión que deja sirve para
// la grabación siguiente; un traslado que cabe pasa.
TEST_F(MovimientoMotor, GrabaElDocumentoCompleto) {
  MovimientoPptal m = Mov("T2", "TRA", {{"2.3.2", "E", std::nullopt, -30000, "", ""},
                                        {"2.3.4", "E", std::nullopt, 30000, "", ""}});
  Resultado res = GrabarMovimiento(m, Version("T2|TRA"));
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(icuenta || ':' || coalesce(ingreso, 'nulo') || '/' || egreso, ';') FROM mvtPptal "
                 "WHERE iMvtPptal='T2'"),
            "2.3.2:nulo/-300;2.3.4:nulo/300");
  m.contadorEncabezado = 1;
  m.renglones[0].egreso = -40000;
  m.renglones[1].egreso = 40000;
  res = GrabarMovimiento(m, res.version);
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT version || '|' || count(*) FROM MvtPptalMaestro WHERE iMvtPptal='T2'"), "2|1");
  EXPECT_EQ(Leer("SELECT sum(egreso) FROM mvtPptal WHERE iMvtPptal='T2' AND icuenta='2.3.4'"), "400");
}

}  // namespace
}  // namespace presupuesto
