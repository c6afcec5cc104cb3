// Dos puestos (dos procesos) traen el mismo documento del presupuesto y lo graban, a la vez o el
// segundo después del primero: uno queda grabado y el otro se rechaza por la versión, nunca
// graba encima de lo que el otro grabó después de traerlo.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Validaciones.h"
#include "budget/Presupuesto.h"
#include "budget/motor/CertificadoMotor.h"
#include "budget/motor/OrdenesMotor.h"
#include "budget/motor/RegistroMotor.h"
#include "platform/forms/Headless.h"
#include "support/Puestos.h"

namespace presupuesto {
namespace {

using namespace tv::motor;

class VersionDosPuestos : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Sql("INSERT INTO TC (cedulaNit, nombre) VALUES ('900', 'Papelería Sur')");
    Movimiento("AP1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 100000}});
    Certificado(1, "2026-02-01", 50000, "", {{"2.3.2", 50000}});
    Registro(2, 1, "2026-02-02", 1000);
    Sql("UPDATE mvtRegPptal SET itercero='900', func=valor, inv=0");
    OrdenServicio(3, 2);
  }
};

// Lo que cada puesto graba sobre lo que trajo: su número en el objeto, para saber de quién quedó.
Resultado Grabar(const std::string& tipo, int puesto, long long version) {
  std::string marca = "puesto " + std::to_string(puesto);
  if (tipo == "registro") {
    RegistroPptal r{2, 1, "2026-02-02", "2026-12-31", "900", 100000, 100000, 0, "2026", marca, "", TipoOrden::Descrito, 0};
    return GrabarRegistro(r, {false, version, TipoOrden::Descrito, 0});
  }
  if (tipo == "certificado") {
    Certificado c;
    c.icd = 1;
    c.fechaExped = "2026-02-01";
    c.fechaVenc = "2026-12-31";
    c.objetoGasto = marca;
    c.valor = c.func = 5000000;
    c.rubros = {{"2.3.2", 5000000}};
    return GrabarCertificado(c, {false, version});
  }
  return GrabarOrdenServicio({3, "2026-03-01", "900", marca, 2, 10000}, {false, 3, version, 2});
}

long long Version(const std::string& tipo) {
  if (tipo == "registro") return LeerVersionRegistro(2).version;
  if (tipo == "certificado") return VersionCertificado(1);
  return VersionOrden("OS", 3);
}

}  // namespace

// Un puesto: trae el documento, espera a que el otro también lo traiga y lo graba (con
// TV_VER_DESPUES el 2 graba cuando el 1 ya grabó). Sin las variables no hace nada.
TEST(PuestoVersion, TraeYGraba) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  std::string tipo = prueba::Variable("TV_VER_TIPO");
  long long version = Version(tipo);
  ASSERT_TRUE(p->Encuentro("traido"));
  if (p->numero == 2 && prueba::Variable("TV_VER_DESPUES") == "1")
    ASSERT_TRUE(prueba::Esperar(p->Archivo("mensaje-1")));
  Resultado res = Grabar(tipo, p->numero, version);
  prueba::Marcar(p->Mio("mensaje"), res.Grabado() ? "grabado" : res.Texto());
  admin::CerrarContabilidad();
}

namespace {

TEST_F(VersionDosPuestos, UnoGrabaYElOtroSeRechaza) {
  struct Caso {
    const char *tipo, *marca;
  } casos[] = {{"registro", "SELECT objetoGasto FROM mvtRegPptal WHERE irp=2"},
               {"certificado", "SELECT objetoGasto FROM mvtCertDisp WHERE icd=1"},
               {"servicio", "SELECT descServicio FROM mvtOrdenServicio WHERE iOrdenServicio=3"}};
  int vuelta = 0;
  for (const Caso& c : casos) {
    for (bool despues : {false, false, true, true}) {
      std::string cita = dir + "/cita-version-" + std::to_string(++vuelta);
      ASSERT_TRUE(prueba::DosPuestos("PuestoVersion.TraeYGraba", {dir, libros, cita},
                                     {std::string("TV_VER_TIPO=") + c.tipo,
                                      std::string("TV_VER_DESPUES=") + (despues ? "1" : "0")}))
          << c.tipo;
      std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
      std::string quedo = Leer(c.marca);
      bool gano1 = m1 == "grabado";
      EXPECT_NE(m1 == "grabado", m2 == "grabado") << c.tipo << " " << m1 << " / " << m2;
      EXPECT_EQ(gano1 ? m2 : m1, kDocumentoModificado) << c.tipo;
      EXPECT_EQ(quedo, gano1 ? "puesto 1" : "puesto 2") << c.tipo;
      if (despues) EXPECT_TRUE(gano1) << c.tipo;
    }
  }
}

}  // namespace
}  // namespace presupuesto
