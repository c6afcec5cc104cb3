// El motor del certificado de disponibilidad: cada regla con el error de su campo, los caminos
// que antes dejaban los libros fuera de sus límites (bajar bajo sus registros, filas negativas)
// y la versión traída.
#include <gtest/gtest.h>

#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/CertificadoMotor.h"
#include "support/Separadores.h"

namespace presupuesto {
namespace {

using Cert = tv::motor::Certificado;
using tv::motor::CertificadoTraido;
using tv::motor::GrabarCertificado;
using tv::motor::Resultado;

class CertificadoMotor : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "2.3.3");
    Movimiento("AP1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 1000}, {"2.3.3", "E", 0, 1000}});
  }
  static Cert Nuevo(std::int64_t icd, std::vector<tv::motor::RubroCertificadoMonto> rubros) {
    Cert c;
    c.icd = icd;
    c.fechaExped = "2026-02-01";
    c.fechaVenc = "2026-12-31";
    c.objetoGasto = "Papel";
    for (const auto& r : rubros) c.valor += r.valor;
    c.func = c.valor;
    c.vigFiscal = "2026";
    c.rubros = rubros;
    c.pac[1] = c.valor;
    return c;
  }
  static CertificadoTraido Traido(long long version) { return {false, version}; }
};

TEST_F(CertificadoMotor, CaminosYLimites) {
  ASSERT_TRUE(GrabarCertificado(Nuevo(20260001, {{"2.3.2", 50000}}), {}).Grabado());
  Registro(1, 20260001, "2026-02-02", 400);
  auto v = [](std::int64_t icd) { return tv::motor::VersionCertificado(icd); };
  struct Caso {
    const char* que;
    Cert c;
    CertificadoTraido t;
    const char* campo;
    std::string texto;  // "" = basta con el campo
  };
  Cert sinSuma = Nuevo(5, {{"2.3.2", 100}});
  sinSuma.valor = 200;
  sinSuma.func = 200;
  Cert sinPartes = Nuevo(6, {{"2.3.2", 100}});
  sinPartes.func = 50;
  Caso casos[] = {
      {"número tomado", Nuevo(20260001, {{"2.3.2", 100}}), {}, "numero",
       "El certificado de disponibilidad 20260001 ya fue grabado por otro usuario. Se propone el número 20260002."},
      {"rubros que no suman", sinSuma, {}, "rubros",
       "El valor del CDP no coincide con la suma de separado para cada rubro."},
      {"partes que no suman", sinPartes, {}, "valor",
       "La suma de inversión mas funcionamiento es diferente del valor solicitado."},
      {"más que el disponible", Nuevo(7, {{"2.3.3", 100001}}), {}, "rubros",
       "No hay disponible en el rubro 2.3.3: se piden " + prueba::Mostrado("1,000.01") + " y hay " +
           prueba::Mostrado("1,000.00") + " disponibles."},
      // Lo que ya tenía no cuenta dos veces: 500 + 501 no caben en 1.000.
      {"subir de más", Nuevo(20260001, {{"2.3.2", 100100}}), Traido(v(20260001)), "rubros",
       "No hay disponible en el rubro 2.3.2: el aumento es " + prueba::Mostrado("501.00") + " y hay " +
           prueba::Mostrado("500.00") + " disponibles."},
      {"bajar por debajo de sus registros", Nuevo(20260001, {{"2.3.2", 10000}}), Traido(v(20260001)), "limite", ""},
      {"fila negativa", Nuevo(8, {{"2.3.2", -50000}, {"2.3.3", 60000}}), {}, "limite", ""},
      {"versión vieja", Nuevo(20260001, {{"2.3.2", 45000}}), Traido(v(20260001) - 1), "version",
       tv::motor::kDocumentoModificado},
  };
  for (const Caso& c : casos) {
    Resultado res = GrabarCertificado(c.c, c.t);
    ASSERT_EQ(res.errores.size(), 1u) << c.que << ": " << res.Texto();
    EXPECT_EQ(res.errores[0].campo, c.campo) << c.que << ": " << res.Texto();
    if (!c.texto.empty()) EXPECT_EQ(res.Texto(), c.texto) << c.que;
    EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || valor) FROM mvtCertDisp"), "20260001=500") << c.que;
    EXPECT_EQ(Leer("SELECT group_concat(icd || ':' || rubroPptal || '=' || valor) FROM certDispRubros"),
              "20260001:2.3.2=500")
        << c.que;
  }
}

// Grabado y modificado: certificado, plan y rubros juntos; la versión que deja su propia
// grabación sirve para la siguiente.
TEST_F(CertificadoMotor, GrabaJuntoYSigueConSuVersion) {
  Resultado res = GrabarCertificado(Nuevo(20260001, {{"2.3.2", 30001}, {"2.3.3", 20000}}), {});
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT icd || '|' || valor || '|' || m2 || '|' || coalesce(m1, 'nulo') FROM mvtCertDisp JOIN pac "
                 "USING (icd)"),
            "20260001|500.01|500.01|0");
  res = GrabarCertificado(Nuevo(20260001, {{"2.3.3", 90000}}), Traido(res.version));
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  res = GrabarCertificado(Nuevo(20260001, {{"2.3.3", 80000}}), Traido(res.version));
  ASSERT_TRUE(res.Grabado()) << res.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(rubroPptal || '=' || valor) FROM certDispRubros"), "2.3.3=800");
  EXPECT_EQ(Leer("SELECT count(*) FROM pac"), "1");
}

}  // namespace
}  // namespace presupuesto
