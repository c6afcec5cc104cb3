// El motor de las órdenes de servicio y de suministro: una orden solo toma un registro grabado,
// nunca reescribe otra, no se graba sobre una versión más nueva y guarda sus renglones con ella.
#include <gtest/gtest.h>

#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/OrdenesMotor.h"

namespace presupuesto {
namespace {

using namespace tv::motor;

class OrdenesMotor : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('900', 'Papelería Sur')");
    Movimiento("AP1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 5000}});
    Certificado(1, "2026-02-01", 1000, "", {{"2.3.2", 1000}});
    Registro(3, 1, "2026-02-02", 1000);
    OrdenServicio(20260004, 3);
  }
  static tv::motor::OrdenServicio Servicio(std::int64_t numero, std::int64_t irp) {
    return {numero, "2026-03-01", "900", "Transporte", irp, 10050};
  }
  static tv::motor::OrdenSuministro Suministro(std::int64_t numero, std::int64_t irp) {
    return {numero, "2026-03-01", "900", "Papel", irp, {{"P01", 3, 1005}, {"T02", 0.5, 301}}};
  }
  static OrdenTraida Traida(std::int64_t numero, long long version, std::int64_t irp) {
    return {false, numero, version, irp};
  }
};

TEST_F(OrdenesMotor, CadaReglaRechazaConSuCampo) {
  struct Caso {
    const char* que;
    Resultado res;
    const char* campo;
    const char* texto;
  } casos[] = {
      {"servicio de un registro sin grabar", GrabarOrdenServicio(Servicio(5, 30), {}), "irp",
       "El registro presupuestal 30 no está grabado: grabe primero el registro al cual pertenece la orden."},
      {"suministro de un registro sin grabar", GrabarOrdenSuministro(Suministro(5, 30), {}), "irp",
       "El registro presupuestal 30 no está grabado: grabe primero el registro al cual pertenece la orden."},
      {"número tomado", GrabarOrdenServicio(Servicio(20260004, 3), {}), "numero",
       "La orden de servicio 20260004 ya fue grabada por otro usuario. Se propone el número 20260005."},
      {"renumerar sobre otra", GrabarOrdenServicio(Servicio(20260004, 3), Traida(9, 0, 3)), "numero",
       "La orden de servicio 20260004 ya fue grabada por otro usuario. Se propone el número 20260005."},
      {"tercero", GrabarOrdenServicio({6, "2026-03-01", "111", "x", 3, 100}, {}), "tercero",
       "Cédula o NIT inexistente."},
      {"valor", GrabarOrdenServicio({6, "2026-03-01", "900", "x", 3, 0}, {}), "valor", "El valor debe ser mayor que 0."},
      {"sin renglones", GrabarOrdenSuministro({6, "2026-03-01", "900", "x", 3, {}}, {}), "renglones",
       "Digite al menos un renglón con cantidad y valor unitario."},
      {"versión vieja", GrabarOrdenServicio(Servicio(20260004, 3), Traida(20260004, -5, 3)), "version",
       kDocumentoModificado},
  };
  for (const Caso& c : casos) {
    ASSERT_EQ(c.res.errores.size(), 1u) << c.que << ": " << c.res.Texto();
    EXPECT_EQ(c.res.errores[0].campo, c.campo) << c.que;
    EXPECT_EQ(c.res.errores[0].texto, c.texto) << c.que;
  }
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenServicio"), "1");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSumiMaestro"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSuministro"), "0");
}

// Grabada, la orden toma su registro; una orden antigua que ya colgaba de un registro borrado se
// edita sin que se le pida otro.
TEST_F(OrdenesMotor, GrabaConSuRegistroYSuVersion) {
  Resultado res = GrabarOrdenSuministro(Suministro(20260001, 3), {});
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(res.version, VersionOrden("SU", 20260001));
  EXPECT_EQ(Leer("SELECT iOrdenSuministro || '|' || qItems || '|' || valorTotal || '|' || irp FROM mvtOrdenSumiMaestro"),
            "20260001|2|31.66|3");
  EXPECT_EQ(Leer("SELECT group_concat(iArticulo || '=' || cantidad || 'x' || valorUnit, ';') FROM mvtOrdenSuministro"),
            "P01=3x10.05;T02=0.5x3.01");
  // Renumerada con la versión que dejó su propia grabación: se mueve con sus renglones.
  tv::motor::OrdenSuministro otra = Suministro(20260002, 3);
  otra.renglones.pop_back();
  res = GrabarOrdenSuministro(otra, Traida(20260001, res.version, 3));
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(iOrdenSuministro || ':' || iArticulo) FROM mvtOrdenSuministro"), "20260002:P01");
  EXPECT_EQ(Leer("SELECT group_concat(iOrdenSuministro) FROM mvtOrdenSumiMaestro"), "20260002");

  Sql("DELETE FROM mvtRegPptal WHERE irp=3");
  res = GrabarOrdenServicio(Servicio(20260004, 3), Traida(20260004, VersionOrden("OS", 20260004), 3));
  EXPECT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT valor || '' FROM mvtOrdenServicio WHERE iOrdenServicio=20260004"), "100.5");
}

}  // namespace
}  // namespace presupuesto
