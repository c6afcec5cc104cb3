// El motor del registro presupuestal: cada regla con el error de su campo, sin ventana; lo
// grabado queda exacto (números de ocho cifras, centavos) y nada queda de una grabación rechazada.
#include <gtest/gtest.h>

#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/RegistroMotor.h"

namespace presupuesto {
namespace {

using tv::motor::GrabarRegistro;
using tv::motor::RegistroPptal;
using tv::motor::RegistroTraido;
using tv::motor::TipoOrden;

constexpr std::int64_t kCdp = 20260001;

class RegistroMotor : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('900', 'Papelería Sur')");
    Movimiento("AP1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 5000}});
    Certificado(kCdp, "2026-02-01", 1000, "", {{"2.3.2", 1000}});
    OrdenServicio(7, 0);
    OrdenSuministro(8, 0);
  }
  static RegistroPptal Nuevo(std::int64_t irp, std::int64_t centavos) {
    RegistroPptal r;
    r.irp = irp;
    r.icd = kCdp;
    r.fechaExped = "2026-02-05";
    r.fechaVenc = "2026-12-31";
    r.tercero = "900";
    r.valor = r.func = centavos;
    r.vigFiscal = "2026";
    return r;
  }
  static RegistroTraido Traido(long long version, TipoOrden tipo = TipoOrden::Descrito, std::int64_t orden = 0) {
    RegistroTraido t;
    t.nuevo = false;
    t.version = version;
    t.tipoOrden = tipo;
    t.orden = orden;
    return t;
  }
  std::string Fila(std::int64_t irp) {
    return Leer("SELECT ICD || '|' || valor || '|' || func || '|' || inv || '|' || itercero FROM mvtRegPptal WHERE irp=" +
                std::to_string(irp));
  }
};

TEST_F(RegistroMotor, CadaReglaRechazaConSuCampoYNoEscribeNada) {
  Registro(20260100, kCdp, "2026-02-02", 700);
  struct Caso {
    const char* que;
    RegistroPptal r;
    const char* campo;
    const char* texto;
  };
  auto con = [](RegistroPptal r, auto cambio) {
    cambio(r);
    return r;
  };
  RegistroPptal base = Nuevo(20260101, 20000);
  Caso casos[] = {
      {"numero tomado", Nuevo(20260100, 100), "numero",
       "El registro presupuestal 20260100 ya fue grabado por otro usuario. Se propone el número 20260101."},
      {"pasa el certificado", Nuevo(20260101, 30001), "valor", "Este certificado no tiene dinero para ser comprometido."},
      {"certificado inexistente", con(base, [](RegistroPptal& r) { r.icd = 99; }), "icd",
       "Certificado de disponibilidad inexistente."},
      {"tercero inexistente", con(base, [](RegistroPptal& r) { r.tercero = "111"; }), "tercero", "Tercero inexistente."},
      {"partes que no suman", con(base, [](RegistroPptal& r) { r.inv = 1; }), "valor",
       "El valor del gasto no corresponde a la suma de la inversión  mas funcionamiento."},
      {"valor cero", con(base, [](RegistroPptal& r) { r.valor = r.func = 0; }), "valor", "El valor debe ser mayor que 0."},
      {"orden de servicio inexistente",
       con(base, [](RegistroPptal& r) { r.tipoOrden = TipoOrden::Servicio, r.orden = 70; }), "orden",
       "Orden de servicio inexistente"},
      {"orden de suministro inexistente",
       con(base, [](RegistroPptal& r) { r.tipoOrden = TipoOrden::Suministro, r.orden = 7; }), "orden",
       "Orden de suministro inexistente"},
  };
  for (const Caso& c : casos) {
    tv::motor::Resultado res = GrabarRegistro(c.r, RegistroTraido{});
    ASSERT_EQ(res.errores.size(), 1u) << c.que << ": " << res.Texto();
    EXPECT_EQ(res.errores[0].campo, c.campo) << c.que;
    EXPECT_EQ(res.errores[0].texto, c.texto) << c.que;
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtRegPptal"), "1") << c.que;
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenServicio WHERE irp IS NOT NULL"), "0") << c.que;
  }
  EXPECT_EQ(GrabarRegistro(Nuevo(20260100, 1), RegistroTraido{}).siguiente, 20260101);
}

// Los números de ocho cifras y los centavos llegan exactos a los libros, con la orden enlazada.
TEST_F(RegistroMotor, GrabaExactoYEnlazaLaOrden) {
  RegistroPptal r = Nuevo(20260001, 30001);
  r.func = 10001;
  r.inv = 20000;
  r.tipoOrden = TipoOrden::Servicio;
  r.orden = 7;
  tv::motor::Resultado res = GrabarRegistro(r, RegistroTraido{});
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Fila(20260001), "20260001|300.01|100.01|200|900");
  EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenServicio WHERE iOrdenServicio=7"), "20260001");

  // Pasa a la orden de suministro: la de servicio lo suelta.
  long long v = tv::motor::LeerVersionRegistro(20260001).version;
  r.tipoOrden = TipoOrden::Suministro;
  r.orden = 8;
  res = GrabarRegistro(r, Traido(v, TipoOrden::Servicio, 7));
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT coalesce(irp, 'nulo') FROM mvtOrdenServicio WHERE iOrdenServicio=7"), "nulo");
  EXPECT_EQ(Leer("SELECT irp FROM mvtOrdenSumiMaestro WHERE iOrdenSuministro=8"), "20260001");
}

// Un registro traído se graba solo sobre la versión que se trajo; traído de nuevo, la primera
// grabación pasa. Un registro ya modificado se mide solo por lo que aumenta.
TEST_F(RegistroMotor, VersionTraidaYLoQueAumenta) {
  RegistroPptal r = Nuevo(5, 90000);
  ASSERT_TRUE(GrabarRegistro(r, RegistroTraido{}).Grabado());
  long long v = tv::motor::LeerVersionRegistro(5).version;
  Sql("UPDATE mvtRegPptal SET objetoGasto='otro puesto' WHERE irp=5");
  r.valor = r.func = 100000;
  tv::motor::Resultado res = GrabarRegistro(r, Traido(v));
  ASSERT_EQ(res.errores.size(), 1u);
  EXPECT_EQ(res.errores[0].campo, "version");
  EXPECT_EQ(res.Texto(), tv::motor::kDocumentoModificado);
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=5"), "900");
  res = GrabarRegistro(r, Traido(tv::motor::LeerVersionRegistro(5).version));
  EXPECT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=5"), "1000");
  r.valor = r.func = 100001;
  EXPECT_EQ(GrabarRegistro(r, Traido(tv::motor::LeerVersionRegistro(5).version)).Texto(),
            "Este certificado no tiene dinero para ser comprometido.");
}

// Bajar un registro por debajo de sus órdenes de pago lo rechaza la revisión de los libros al
// confirmar, con la frase que nombra el registro.
TEST_F(RegistroMotor, BajarPorDebajoDeSusOrdenesDePagoSeRechazaAlConfirmar) {
  RegistroPptal r = Nuevo(6, 60000);
  ASSERT_TRUE(GrabarRegistro(r, RegistroTraido{}).Grabado());
  OrdenPago(1, 6, "2026-02-10", 500);
  r.valor = r.func = 10000;
  tv::motor::Resultado res = GrabarRegistro(r, Traido(tv::motor::LeerVersionRegistro(6).version));
  ASSERT_EQ(res.errores.size(), 1u) << res.Texto();
  EXPECT_EQ(res.errores[0].campo, "limite");
  EXPECT_NE(res.Texto().find("registro"), std::string::npos) << res.Texto();
  EXPECT_EQ(Leer("SELECT valor FROM mvtRegPptal WHERE irp=6"), "600");
}

}  // namespace
}  // namespace presupuesto
