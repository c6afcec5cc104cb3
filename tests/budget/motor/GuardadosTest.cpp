// Lo que los exploradores hacen con documentos guardados, sin ventana: cada borrado y cada
// corrimiento revisa la versión traída, sale completo o no sale, y respeta los límites.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "budget/Presupuesto.h"
#include "budget/motor/Guardados.h"

namespace presupuesto {
namespace {

using namespace tv::motor;

// Rubro 2.3.2 con 1.000 apropiados y certificados 600 en el certificado 20260001 (con PAC), que
// tiene el registro 7 con una orden de servicio, una de suministro y una orden de pago.
class Guardados : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Movimiento("AP1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 1000}});
    Movimiento("AD1", "ADD", "2026-01-03", {{"2.3.2", "E", 0, 50}});
    Certificado(20260001, "2026-02-01", 600, "", {{"2.3.2", 600}});
    Sql("INSERT INTO pac (icd, m1) VALUES (20260001, 600)");
    Certificado(20260004, "2026-02-01", 0, "");
    Registro(7, 20260001, "2026-02-02", 500);
    Registro(9, 20260001, "2026-02-02", 10);
    OrdenServicio(3, 7);
    OrdenServicio(5, 0);
    OrdenSuministro(3, 7);
    Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) VALUES (3, 'P01', 1, 1)");
    OrdenPago(1, 7, "2026-03-01", 100);
  }
  static long long V(const char* clase, const std::string& clave) { return VersionGuardada(clase, clave); }
  std::string Todo() {
    return Leer("SELECT (SELECT group_concat(icd) FROM mvtCertDisp) || '|' || (SELECT group_concat(icd) FROM pac) || "
                "'|' || (SELECT group_concat(icd) FROM certDispRubros) || '|' || (SELECT group_concat(irp || ':' || "
                "icd) FROM mvtRegPptal) || '|' || (SELECT group_concat(iOrdenServicio || ':' || coalesce(irp, '')) "
                "FROM mvtOrdenServicio) || '|' || (SELECT group_concat(iOrdenSuministro || ':' || irp) FROM "
                "mvtOrdenSumiMaestro) || '|' || (SELECT group_concat(iOrdenSuministro) FROM mvtOrdenSuministro) || "
                "'|' || (SELECT group_concat(iop || ':' || irp) FROM mvtOrdenPago) || '|' || (SELECT "
                "group_concat(iMvtPptal) FROM MvtPptalMaestro) || '|' || (SELECT count(*) FROM mvtPptal)");
  }
};

TEST_F(Guardados, CadaRehusoDejaTodoComoEstaba) {
  const std::string antes = Todo();
  struct Caso {
    const char* que;
    std::function<Resultado()> hacer;
    const char* campo;
    std::string texto;
  } casos[] = {
      {"certificado con versión vieja", [] { return BorrarCertificado(20260001, V("CD", "20260001") - 1); }, "version",
       kDocumentoModificado},
      {"registro con versión vieja", [] { return BorrarRegistro(7, V("RP", "7") + 1); }, "version",
       kDocumentoModificado},
      {"orden de servicio con versión vieja", [] { return BorrarOrdenServicio(3, -1); }, "version",
       kDocumentoModificado},
      {"orden de suministro con versión vieja", [] { return BorrarOrdenSuministro(3, -1); }, "version",
       kDocumentoModificado},
      {"movimiento con versión vieja", [] { return BorrarMovimiento("AD1", "ADD", -1); }, "version",
       kDocumentoModificado},
      {"apropiación ya certificada",
       [] { return BorrarMovimiento("AP1", "APR", V("MP", ClaveMovimiento("AP1", "APR"))); }, "limite",
       "El rubro 2.3.2 quedaría con disponible -550,00 (definitivo 50,00; certificado 600,00)."},
      {"correr un registro con versión vieja",
       [] { return CorrerNumeracion(Numerado::Registro, 7, +1, V("RP", "7") + 1); }, "version", kDocumentoModificado},
      {"correr un número que ya no está",
       [] { return CorrerNumeracion(Numerado::OrdenServicio, 4, +1, 0); }, "version", kDocumentoModificado},
  };
  for (Caso& c : casos) {
    Resultado r = c.hacer();
    ASSERT_EQ(r.errores.size(), 1u) << c.que << ": " << r.Texto();
    EXPECT_EQ(r.errores[0].campo, c.campo) << c.que;
    std::string texto = r.errores[0].texto;
    if (std::string(c.campo) == "limite") {
      // Las cifras salen con los separadores de quien corre la prueba.
      EXPECT_NE(texto.find("El rubro 2.3.2 quedaría con disponible -550"), std::string::npos) << texto;
    } else {
      EXPECT_EQ(texto, c.texto) << c.que;
    }
    EXPECT_EQ(Todo(), antes) << c.que;
  }
  // Bajar sin hueco: cada documento con su frase.
  Registro(8, 20260001, "2026-02-02", 1);
  OrdenServicio(4, 0);
  OrdenServicio(1, 0);
  OrdenSuministro(2, 0);
  Certificado(20260003, "2026-02-01", 0, "");
  Certificado(1, "2026-02-01", 0, "");
  struct Bajar {
    Numerado d;
    std::int64_t n;
    const char* clase;
    const char* texto;
  } bajar[] = {
      {Numerado::Certificado, 20260004, "CD", "El anterior CD debe tener un número no consecutivo."},
      {Numerado::Registro, 9, "RP", "El anterior Reg. Pptal. debe tener un número no consecutivo."},
      {Numerado::OrdenServicio, 5, "OS", "La orden anterior debe tener un número no consecutivo."},
      {Numerado::OrdenSuministro, 3, "SU", "La orden anterior debe tener un número no consecutivo."},
      {Numerado::OrdenServicio, 1, "OS", "Inicio de la numeración."},
      {Numerado::Certificado, 1, "CD", "El primer número es 1. Imposible disminuir."},
  };
  for (const Bajar& b : bajar) {
    Resultado r = CorrerNumeracion(b.d, b.n, -1, V(b.clase, std::to_string(b.n)));
    EXPECT_EQ(r.Texto(), b.texto) << b.n;
    EXPECT_TRUE(r.Tiene("numero")) << b.n;
  }
}

TEST_F(Guardados, BorradosCompletosConSuVersion) {
  // El certificado sale con sus rubros y su PAC; sus registros quedan para la auditoría.
  Resultado r = BorrarCertificado(20260001, V("CD", "20260001"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp WHERE icd=20260001") + Leer("SELECT count(*) FROM pac") +
                Leer("SELECT count(*) FROM certDispRubros") + Leer("SELECT count(*) FROM mvtRegPptal"),
            "0002");
  // El registro sale solo: sus órdenes quedan.
  r = BorrarRegistro(7, V("RP", "7"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(irp) FROM mvtRegPptal") + "|" + Leer("SELECT count(*) FROM mvtOrdenPago"),
            "9|1");
  r = BorrarOrdenSuministro(3, V("SU", "3"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSumiMaestro") + Leer("SELECT count(*) FROM mvtOrdenSuministro"), "00");
  r = BorrarOrdenServicio(5, V("OS", "5"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(iOrdenServicio) FROM mvtOrdenServicio"), "3");
  // Sin el certificado, la apropiación ya no respalda nada: sale con sus renglones.
  r = BorrarMovimiento("AP1", "APR", V("MP", ClaveMovimiento("AP1", "APR")));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(iMvtPptal) FROM MvtPptalMaestro") + "|" +
                Leer("SELECT group_concat(DISTINCT iMvtPptal) FROM mvtPptal"),
            "AD1|AD1");
  // La versión leída por la lista antes del borrado ya no sirve para otro documento creado de nuevo.
  OrdenServicio(5, 0);
  EXPECT_TRUE(BorrarOrdenServicio(5, 0).Tiene("version"));
}

TEST_F(Guardados, LaNumeracionCorreConLoQueLlevaSuNumero) {
  Resultado r = CorrerNumeracion(Numerado::Certificado, 20260001, +1, V("CD", "20260001"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(icd) FROM (SELECT icd FROM mvtCertDisp ORDER BY 1)") + "|" +
                Leer("SELECT icd FROM pac") + "|" + Leer("SELECT icd FROM certDispRubros") + "|" +
                Leer("SELECT group_concat(DISTINCT icd) FROM mvtRegPptal"),
            "20260002,20260005|20260002|20260002|20260002");
  r = CorrerNumeracion(Numerado::Certificado, 20260002, -1, V("CD", "20260002"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(icd) FROM (SELECT icd FROM mvtCertDisp ORDER BY 1)"), "20260001,20260004");

  r = CorrerNumeracion(Numerado::Registro, 7, +1, V("RP", "7"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(irp) FROM (SELECT irp FROM mvtRegPptal ORDER BY 1)") + "|" +
                Leer("SELECT irp FROM mvtOrdenPago") + "|" +
                Leer("SELECT irp FROM mvtOrdenServicio WHERE iOrdenServicio=3") + "|" +
                Leer("SELECT irp FROM mvtOrdenSumiMaestro"),
            "8,10|8|8|8");

  r = CorrerNumeracion(Numerado::OrdenSuministro, 3, +1, V("SU", "3"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT iOrdenSuministro FROM mvtOrdenSumiMaestro") + "|" +
                Leer("SELECT iOrdenSuministro FROM mvtOrdenSuministro"),
            "4|4");
  // Con la versión que dejó el corrimiento, la orden vuelve a su número.
  r = CorrerNumeracion(Numerado::OrdenSuministro, 4, -1, V("SU", "4"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT iOrdenSuministro FROM mvtOrdenSumiMaestro"), "3");

  r = CorrerNumeracion(Numerado::OrdenServicio, 3, +1, V("OS", "3"));
  ASSERT_TRUE(r.Grabado()) << r.Texto();
  EXPECT_EQ(Leer("SELECT group_concat(iOrdenServicio) FROM (SELECT iOrdenServicio FROM mvtOrdenServicio ORDER BY 1)"),
            "4,6");
}

// La lista leyó las versiones; otro escribe después: el explorador no borra lo que no vio.
TEST_F(Guardados, LasVersionesDeLaListaSonLasDeAntes) {
  VersionesLeidas v = VersionesDeClase("RP");
  EXPECT_EQ(VersionLeida(v, 7), V("RP", "7"));
  EXPECT_EQ(VersionLeida(v, 12345), 0);
  Sql("UPDATE mvtRegPptal SET valor=400 WHERE irp=7");
  EXPECT_TRUE(BorrarRegistro(7, VersionLeida(v, 7)).Tiene("version"));
  EXPECT_TRUE(BorrarRegistro(7, VersionLeida(VersionesDeClase("RP"), 7)).Grabado());
}

}  // namespace
}  // namespace presupuesto
