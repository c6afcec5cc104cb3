// El motor del documento manual del diario, sin ventana: cuadre, número ocupado, permiso,
// versión traída y lo que escribe en líneas y encabezado.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ledger/motor/DocumentoManual.h"
#include "ledger/motor/DuenoDiario.h"
#include "platform/db/Engine.h"
#include "support/Instalacion.h"

namespace {

using tv::motor::DocumentoManual;
using tv::motor::LineaDiario;

class MotorDiario : public admin::Instalacion {
 protected:
  void SetUp() override {
    admin::Instalacion::SetUp();
    // CE 100 guardado a mano; CE 101 ocupado solo por su encabezado; CE 200 de una plantilla.
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, detalle) VALUES ('CE', '100', '2026-03-02', 7, "
        "'guardado')");
    Sql("INSERT INTO MVT (numecuen, debito, credito, descdocu, numedocu, fecha) VALUES ('110501', 7, 0, 'CE', '100', "
        "'2026-03-02'), ('111005', 0, 7, 'CE', '100', '2026-03-02')");
    Sql("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor) VALUES ('CE', '101', '2026-03-02', 0)");
    Sql("INSERT INTO mvtMaestro (tipoAsiento, descdocu, numedocu, fecha, valor, detalle) VALUES ('P', 'CE', '200', "
        "'2026-03-02', 5, 'plantilla')");
  }
  void Sql(const std::string& s) { Ejecutar(libros, s); }
  std::string Leer(const std::string& s) { return Valor(libros, s); }
  long long Version(const std::string& tipo, const std::string& numero) {
    return tv::motor::VersionDiario(*tv::db::ConnectionFor(libros.c_str()), tipo, numero);
  }
  // Documento traído ahora, con dos líneas de `centavos` cada una.
  DocumentoManual Traido(const std::string& numero, std::int64_t centavos) {
    DocumentoManual d;
    d.tipo = "CE";
    d.numeroTraido = d.numero = numero;
    d.fecha = "2026-03-15";
    d.usuario = "admin";
    d.versionTraida = Version("CE", numero);
    d.encabezadoTraido = Leer("SELECT count(*) FROM mvtMaestro WHERE descdocu='CE' AND numedocu='" + numero + "'") == "1";
    LineaDiario deb, cre;
    deb.cuenta = "110501";
    deb.debito = centavos;
    cre.cuenta = "111005";
    cre.credito = centavos;
    cre.detalle = "O'Neil";
    d.lineas = {deb, cre};
    return d;
  }
  std::string Documento(const std::string& numero) {
    return Leer("SELECT count(*) || '/' || coalesce(sum(debito), 0) || '/' || coalesce(min(fecha), '') FROM MVT "
                "WHERE descdocu='CE' AND numedocu='" + numero + "'");
  }
};

TEST_F(MotorDiario, CadaReglaDeLaGrabacion) {
  struct Caso {
    const char* nombre;
    std::function<void(DocumentoManual&)> cambio;  // sobre un CE 300 nuevo de 10,00
    const char* campo;                              // nullptr = se graba
    const char* texto;
    const char* libre;
  };
  const std::vector<Caso> casos = {
      {"nuevo cuadrado", [](DocumentoManual&) {}, nullptr, "", ""},
      {"descuadrado por un centavo", [](DocumentoManual& d) { d.lineas[1].credito = 999; }, "lineas",
       "Saldos desiguales ", ""},
      {"sin montos", [](DocumentoManual& d) { d.lineas[0].debito = d.lineas[1].credito = 0; }, "lineas",
       "No hay información para grabar.", ""},
      {"renumerado sobre uno con líneas", [](DocumentoManual& d) { d.numero = "100"; }, "numero",
       "Ya existe un documento con ese tipo y número.", "102"},
      {"renumerado sobre uno de plantilla", [](DocumentoManual& d) { d.numero = "200"; }, "numero",
       "Ya existe un documento con ese tipo y número.", "201"},
      {"versión vieja", [](DocumentoManual& d) { d.versionTraida = 99; }, "",
       "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para modificarlo.", ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Sql("DELETE FROM MVT WHERE numedocu='300'");
    Sql("DELETE FROM mvtMaestro WHERE numedocu='300'");
    DocumentoManual d = Traido("300", 1000);
    c.cambio(d);
    tv::motor::Resultado r = tv::motor::GrabarDocumentoManual(libros, d);
    if (!c.campo) {
      EXPECT_TRUE(r.grabado) << r.Texto();
      EXPECT_EQ(Documento("300"), "2/10/2026-03-15");
      continue;
    }
    EXPECT_FALSE(r.grabado);
    ASSERT_EQ(r.errores.size(), 1u);
    EXPECT_EQ(r.errores[0].campo, c.campo);
    EXPECT_EQ(r.errores[0].texto.rfind(c.texto, 0), 0u) << r.errores[0].texto;
    EXPECT_EQ(r.numeroLibre, c.libre);
    EXPECT_EQ(Documento("300"), "0/0/");
    EXPECT_EQ(Documento("100"), "2/7/2026-03-02");
  }
}

TEST_F(MotorDiario, MontosAlCentavoYEncabezadoQueConservaMarcaYDetalle) {
  DocumentoManual d = Traido("200", 1);
  d.lineas[0].debito = 1234567890123;  // 12.345.678.901,23
  d.lineas[1].credito = 1234567890123;
  d.ordenes = {20260001, 0, 0, 0, 0};
  tv::motor::Resultado r = tv::motor::GrabarDocumentoManual(libros, d);
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Leer("SELECT printf('%.2f', sum(debito)) FROM MVT WHERE numedocu='200'"), "12345678901.23");
  EXPECT_EQ(Leer("SELECT detalle FROM MVT WHERE numedocu='200' AND credito>0"), "O'Neil");
  EXPECT_EQ(Leer("SELECT tipoAsiento || '|' || detalle || '|' || op1 || '|' || QItems || '|' || Descuadre FROM "
                 "mvtMaestro WHERE numedocu='200'"),
            "P|plantilla|20260001|2|0");
}

TEST_F(MotorDiario, RenumerarLlevaLineasYEncabezado) {
  DocumentoManual d = Traido("100", 700);
  d.numero = "150";
  tv::motor::Resultado r = tv::motor::GrabarDocumentoManual(libros, d);
  ASSERT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Documento("100"), "0/0/");
  EXPECT_EQ(Documento("150"), "2/7/2026-03-15");
  EXPECT_EQ(Leer("SELECT numedocu || '|' || detalle FROM mvtMaestro WHERE detalle='guardado'"), "150|guardado");
}

TEST_F(MotorDiario, SinPermisoDeModificarSoloGrabaLoNuevo) {
  DocumentoManual guardado = Traido("100", 800);
  guardado.puedeModificar = false;
  tv::motor::Resultado r = tv::motor::GrabarDocumentoManual(libros, guardado);
  EXPECT_FALSE(r.grabado);
  EXPECT_EQ(r.Texto(), "No tiene permisos para modificar asientos.");
  EXPECT_EQ(Documento("100"), "2/7/2026-03-02");
  // El que solo tiene encabezado tampoco.
  DocumentoManual encabezado = Traido("101", 800);
  encabezado.puedeModificar = false;
  EXPECT_FALSE(tv::motor::GrabarDocumentoManual(libros, encabezado).grabado);
  DocumentoManual nuevo = Traido("400", 800);
  nuevo.puedeModificar = false;
  EXPECT_TRUE(tv::motor::GrabarDocumentoManual(libros, nuevo).grabado);
}

// Otro escribió después de traerlo: se rehúsa una vez con un mensaje; traído de nuevo, la
// primera grabación pasa (nada queda guardado en un cursor).
TEST_F(MotorDiario, TraerDeNuevoYLaPrimeraGrabacionPasa) {
  DocumentoManual d = Traido("100", 900);
  Sql("UPDATE MVT SET detalle='otro puesto' WHERE numedocu='100' AND debito>0");
  tv::motor::Resultado r = tv::motor::GrabarDocumentoManual(libros, d);
  EXPECT_FALSE(r.grabado);
  EXPECT_EQ(r.errores.size(), 1u);
  d.versionTraida = Version("CE", "100");
  r = tv::motor::GrabarDocumentoManual(libros, d);
  EXPECT_TRUE(r.grabado) << r.Texto();
  EXPECT_EQ(Documento("100"), "2/9/2026-03-15");
  // Borrado y vuelto a crear, la versión sigue: lo traído antes del borrado no se graba.
  long long antes = Version("CE", "100");
  Sql("DELETE FROM MVT WHERE numedocu='100'");
  Sql("DELETE FROM mvtMaestro WHERE numedocu='100'");
  EXPECT_GT(Version("CE", "100"), antes);
}

TEST(NumeroDocumento, EnteroExactoDe64Bits) {
  struct Caso {
    const char* texto;
    bool ok;
    std::int64_t n;
  };
  for (const Caso& c : {Caso{"20260001", true, 20260001}, Caso{" 42 ", true, 42},
                        Caso{"9223372036854775807", true, INT64_MAX}, Caso{"9223372036854775808", false, 0},
                        Caso{"12.5", false, 0}, Caso{"-3", false, 0}, Caso{"", false, 0}, Caso{"1e3", false, 0}}) {
    std::int64_t n = 0;
    EXPECT_EQ(tv::motor::NumeroDocumento(c.texto, n), c.ok) << c.texto;
    if (c.ok) EXPECT_EQ(n, c.n) << c.texto;
  }
  EXPECT_EQ(tv::motor::CentavosDe(0.1 + 0.2), 30);
  EXPECT_EQ(tv::motor::CentavosDe(90071992547409.91), 9007199254740991);
}

}  // namespace
