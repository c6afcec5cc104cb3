// Los límites de los libros se revisan al confirmar, sobre lo guardado, sea cual sea el camino
// de la escritura: una sentencia en una transacción, una sentencia suelta o un cursor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "budget/Presupuesto.h"
#include "budget/motor/LimitesLibros.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "support/Puestos.h"

namespace presupuesto {
namespace {

// Una cifra escrita con la configuración del programa ("1.000,00") en la del entorno de prueba.
std::string Cifra(std::string s) {
  const char* d = std::getenv("TALLIVAR_TEST_DECIMAL");
  if (!d || std::string(d) != ".") return s;
  // Solo los importes (con dos decimales); los códigos de rubro y el punto final quedan.
  std::string r;
  std::regex importe(R"(\d[\d.]*,\d\d)");
  auto ini = std::sregex_iterator(s.begin(), s.end(), importe);
  size_t desde = 0;
  for (auto it = ini; it != std::sregex_iterator(); ++it) {
    r += s.substr(desde, it->position() - desde);
    std::string m = it->str();
    for (char& c : m) c = c == '.' ? ',' : c == ',' ? '.' : c;
    r += m;
    desde = it->position() + it->length();
  }
  return r + s.substr(desde);
}

class LimitesLibros : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    tv::motor::InstalarLimitesLibros();
    // 2.3.2 viene en los libros de ejemplo.
    Rubro("E", "2.3.3");
    Movimiento("1", "APR", "2026-01-02", {{"2.3.2", "E", 0, 1000}, {"2.3.3", "E", 0, 300}});
  }

  // La escritura en una transacción como la de un motor; "" cuando se confirmó, si no el mensaje.
  std::string Grabar(const std::vector<std::string>& sentencias) {
    try {
      tv::db::Transaction tx(libros.c_str());
      auto conn = tv::db::ConnectionFor(libros.c_str());
      for (const auto& s : sentencias) conn->Exec(s);
      tx.Commit();
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.ErrorCode(), DBIERR_RULEVIOL) << e.Message.str();
      return e.Message.str();
    }
    return "";
  }
  double Num(const std::string& sql) { return Numero(sql); }
};

struct Caso {
  const char* nombre;
  std::vector<std::string> semilla;  // libros como estaban (sin revisar)
  std::vector<std::string> escritura;
  const char* mensaje;  // "" = se graba; si no, la frase esperada (cifras con "," decimal)
};

TEST_F(LimitesLibros, CadaCaminoCadaLimite) {
  const std::vector<Caso> casos = {
      {"certificado dentro del disponible",
       {},
       {"INSERT INTO mvtCertDisp (icd, valor) VALUES (7, 900)",
        "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (7, '2.3.2', 900)"},
       ""},
      {"filas de -500 y +600 que suman 100",
       {},
       {"INSERT INTO mvtCertDisp (icd, valor) VALUES (7, 100)",
        "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (7, '2.3.2', -500)",
        "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (7, '2.3.3', 600)"},
       "El certificado 7 tendría el rubro 2.3.2 con valor negativo (-500,00)."
       "\nEl rubro 2.3.3 quedaría con disponible -300,00 (definitivo 300,00; certificado 600,00)."},
      {"filas que no suman el valor",
       {},
       {"INSERT INTO mvtCertDisp (icd, valor) VALUES (7, 500)",
        "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (7, '2.3.2', 400)"},
       "Los rubros del certificado 7 sumarían 400,00 y su valor es 500,00."},
      {"certificado de 500 con registro de 400 rebajado a 100",
       {"INSERT INTO mvtCertDisp (icd, valor) VALUES (7, 500)",
        "INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (7, '2.3.2', 500)",
        "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (20, 7, 400)"},
       {"UPDATE mvtCertDisp SET valor=100 WHERE icd=7", "UPDATE certDispRubros SET valor=100 WHERE icd=7"},
       "El certificado 7 quedaría con registros por 400,00 sobre un valor de 100,00."},
      {"registro de 600 con 500 en órdenes de pago rebajado a 100",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 600, '2.3.2')",
        "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (20, 7, 600)",
        "INSERT INTO mvtOrdenPago (iop, IRP, valor) VALUES (30, 20, 500)"},
       {"UPDATE mvtRegPptal SET valor=100 WHERE irp=20"},
       "El registro presupuestal 20 quedaría con órdenes de pago por 500,00 sobre un valor de 100,00."},
      {"órdenes de servicio y suministro sobre el registro",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 600, '2.3.2')",
        "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (20, 7, 600)",
        "INSERT INTO mvtOrdenServicio (iOrdenServicio, irp, valor) VALUES (1, 20, 400)"},
       {"INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, irp, valorTotal) VALUES (2, 20, 250)"},
       "El registro presupuestal 20 quedaría con órdenes por 650,00 sobre un valor de 600,00."},
      {"reducción de un rubro del todo certificado",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 1000, '2.3.2')"},
       {"INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "VALUES ('2', 'RED', '2.3.2', 'E', 200, 0)"},
       "El rubro 2.3.2 quedaría con disponible -200,00 (definitivo 800,00; certificado 1.000,00)."},
      {"traslado que saca de dos rubros: el segundo no alcanza",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (8, 200, '2.3.3')"},
       {"INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "VALUES ('3', 'TRA', '2.3.2', 'E', 0, -100)",
        "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "VALUES ('3', 'TRA', '2.3.3', 'E', 0, -300)",
        "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "VALUES ('3', 'TRA', '2.3.4', 'E', 0, 400)"},
       "El rubro 2.3.3 quedaría con disponible -200,00 (definitivo 0,00; certificado 200,00)."},
      {"borrar la apropiación de un rubro certificado",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 300, '2.3.2')"},
       {"DELETE FROM mvtPptal WHERE iMvtPptal='1' AND icuenta='2.3.2'"},
       "El rubro 2.3.2 quedaría con disponible -300,00 (definitivo 0,00; certificado 300,00)."},
      {"borrar un reintegro que sostenía lo certificado",
       {"INSERT INTO reintegros (rubro, valor) VALUES ('2.3.3', 100)",
        "INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 400, '2.3.3')"},
       {"DELETE FROM reintegros WHERE rubro='2.3.3'"},
       "El rubro 2.3.3 quedaría con disponible -100,00 (definitivo 300,00; certificado 400,00)."},
      {"libros viejos ya pasados: bajar el exceso se graba",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 1200, '2.3.2')"},
       {"UPDATE mvtCertDisp SET valor=1100 WHERE icd=7"},
       ""},
      {"libros viejos ya pasados: subir el exceso no",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 1200, '2.3.2')"},
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (9, 1, '2.3.2')"},
       "El rubro 2.3.2 quedaría con disponible -201,00 (definitivo 1.000,00; certificado 1.201,00)."},
      {"número de certificado grande y exacto",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (20260001, 100, '2.3.2')"},
       {"INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (20260001, 20260001, 150)"},
       "El certificado 20260001 quedaría con registros por 150,00 sobre un valor de 100,00."},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    Sql("DELETE FROM mvtCertDisp");
    Sql("DELETE FROM certDispRubros");
    Sql("DELETE FROM mvtRegPptal");
    Sql("DELETE FROM mvtOrdenPago");
    Sql("DELETE FROM mvtOrdenServicio");
    Sql("DELETE FROM mvtOrdenSumiMaestro");
    Sql("DELETE FROM reintegros");
    Sql("DELETE FROM mvtPptal WHERE iMvtPptal<>'1'");
    for (const auto& s : c.semilla) Sql(s);
    double certificadoAntes = Num("SELECT sum(valor) FROM mvtCertDisp");
    double pptalAntes = Num("SELECT count(*) FROM mvtPptal");
    std::string msg = Grabar(c.escritura);
    EXPECT_EQ(msg, Cifra(c.mensaje));
    if (*c.mensaje) {
      // Rehusada: nada de la escritura quedó.
      EXPECT_EQ(Num("SELECT sum(valor) FROM mvtCertDisp"), certificadoAntes);
      EXPECT_EQ(Num("SELECT count(*) FROM mvtPptal"), pptalAntes);
    }
  }
}

TEST_F(LimitesLibros, SentenciaSueltaYCursorTambienSeRevisan) {
  Sql("INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7, 900, '2.3.2')");
  auto conn = tv::db::ConnectionFor(libros.c_str());
  // Sin transacción: la sentencia toma una propia y la revisión la deshace.
  try {
    conn->Exec("INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (8, 200, '2.3.2')");
    ADD_FAILURE() << "se grabó sin revisar";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.Message.str(),
              Cifra("El rubro 2.3.2 quedaría con disponible -100,00 (definitivo 1.000,00; certificado 1.100,00)."));
  }
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "1");

  // Un cursor que borra la apropiación fuera de toda transacción.
  auto t = std::make_unique<TTable>(nullptr);
  t->DatabaseName = libros.c_str();
  t->TableName = "mvtPptal";
  t->Open();
  ASSERT_TRUE(t->Locate("icuenta", "2.3.2", {}));
  EXPECT_THROW(t->Delete(), EDBEngineError);
  t->Close();
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal WHERE icuenta='2.3.2'"), "1");

  // Lo que cabe se sigue grabando sin transacción.
  conn->Exec("INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (9, 100, '2.3.2')");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "2");
}

// Dos puestos escriben por caminos que ninguna ventana revisa; cada escritura cabe sola, juntas
// no. La revisión al confirmar deja pasar una y rehúsa la otra con su frase.
struct Pareja {
  const char* nombre;
  std::vector<std::string> semilla;  // con {R} = rubro y {N} = ronda
  std::string puesto1, puesto2;
  const char* frase;                 // comienzo de la frase del rehusado
};

std::string Poner(std::string s, const std::string& rubro, int ronda) {
  for (auto [marca, valor] : {std::pair<std::string, std::string>{"{R}", "'" + rubro + "'"},
                              {"{N}", std::to_string(ronda)}})
    for (size_t i = s.find(marca); i != std::string::npos; i = s.find(marca))
      s.replace(i, marca.size(), valor);
  return s;
}

const std::vector<Pareja>& Parejas() {
  static const std::vector<Pareja> p = {
      {"reducción y certificado",
       {},
       "INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) VALUES ('R{N}', 'RED', "
       "{R}, 'E', 600, 0)",
       "INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (9{N}, 600, {R})", "El rubro "},
      {"dos certificados del mismo rubro",
       {},
       "INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (8{N}, 600, {R})",
       "INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (9{N}, 600, {R})", "El rubro "},
      {"dos registros del mismo certificado",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7{N}, 1000, {R})"},
       "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (8{N}, 7{N}, 600)",
       "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (9{N}, 7{N}, 600)", "El certificado 7"},
      {"dos órdenes de pago del mismo registro",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7{N}, 1000, {R})",
        "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (6{N}, 7{N}, 1000)"},
       "INSERT INTO mvtOrdenPago (iop, IRP, valor) VALUES (8{N}, 6{N}, 600)",
       "INSERT INTO mvtOrdenPago (iop, IRP, valor) VALUES (9{N}, 6{N}, 600)", "El registro presupuestal 6"},
      {"orden de servicio y de suministro del mismo registro",
       {"INSERT INTO mvtCertDisp (icd, valor, rubroPptal) VALUES (7{N}, 1000, {R})",
        "INSERT INTO mvtRegPptal (irp, ICD, valor) VALUES (6{N}, 7{N}, 1000)"},
       "INSERT INTO mvtOrdenServicio (iOrdenServicio, irp, valor) VALUES (8{N}, 6{N}, 600)",
       "INSERT INTO mvtOrdenSumiMaestro (iOrdenSuministro, irp, valorTotal) VALUES (9{N}, 6{N}, 600)",
       "El registro presupuestal 6"},
  };
  return p;
}

class LimitesPuestos : public LimitesLibros {};

TEST_F(LimitesPuestos, DosEscriturasQueJuntasPasanElLimiteNuncaQuedanAmbas) {
  int ronda = 0;
  for (size_t caso = 0; caso < Parejas().size(); ++caso) {
    const Pareja& par = Parejas()[caso];
    for (const char* turno : {"juntos", "despues"}) {
      for (int vez = 0; vez < 2; ++vez) {
        ++ronda;
        std::string rubro = "2.8." + std::to_string(ronda);
        Rubro("E", rubro);
        Movimiento("AP" + std::to_string(ronda), "APR", "2026-01-02", {{rubro, "E", 0, 1000}});
        for (const auto& s : par.semilla) Sql(Poner(s, rubro, ronda));
        std::string cita = dir + "/cita-limites-" + std::to_string(ronda);
        EXPECT_TRUE(prueba::DosPuestos("PuestoLimites.EscribeSinVentana", {dir, libros, cita},
                                       {"TV_LIM_RUBRO=" + rubro, "TV_LIM_TURNO=" + std::string(turno),
                                        "TV_LIM_RONDA=" + std::to_string(ronda),
                                        "TV_LIM_CASO=" + std::to_string(caso)}));
        std::string m1 = prueba::LeerTexto(cita + "/mensaje-1"), m2 = prueba::LeerTexto(cita + "/mensaje-2");
        SCOPED_TRACE(std::string(par.nombre) + ", " + turno + ", ronda " + std::to_string(ronda) + ": [" + m1 +
                     "] / [" + m2 + "]");
        EXPECT_TRUE((m1 == "grabado") != (m2 == "grabado"));
        std::string frase = par.frase;
        EXPECT_TRUE(m1.rfind(frase, 0) == 0 || m2.rfind(frase, 0) == 0);
        double definitivo = Num("SELECT sum(egreso-ingreso) FROM mvtPptal WHERE icuenta=" + Q(rubro));
        double certificado = Num("SELECT sum(valor) FROM mvtCertDisp WHERE rubroPptal=" + Q(rubro));
        EXPECT_GE(definitivo - certificado, 0);
      }
    }
  }
}

}  // namespace

// Un puesto: escribe su parte de la pareja en su propia transacción.
TEST(PuestoLimites, EscribeSinVentana) {
  auto p = prueba::EstePuesto();
  if (!p) GTEST_SKIP() << "solo como puesto de otra prueba";
  auto ui = std::make_unique<tv::forms::HeadlessDriver>();
  ASSERT_TRUE(p->AbrirLibros());
  tv::motor::InstalarLimitesLibros();
  std::string rubro = prueba::Variable("TV_LIM_RUBRO");
  int ronda = std::stoi(prueba::Variable("TV_LIM_RONDA"));
  const Pareja& par = Parejas()[std::stoul(prueba::Variable("TV_LIM_CASO"))];
  ASSERT_TRUE(p->Encuentro("listo"));
  if (p->numero == 2 && prueba::Variable("TV_LIM_TURNO") == "despues")
    ASSERT_TRUE(prueba::Esperar(p->Archivo("mensaje-1")));
  std::string mensaje = "grabado";
  try {
    tv::db::Transaction tx(p->libros.c_str());
    auto conn = tv::db::ConnectionFor(p->libros.c_str());
    conn->Exec(Poner(p->numero == 1 ? par.puesto1 : par.puesto2, rubro, ronda));
    tx.Commit();
  } catch (const EDBEngineError& e) {
    mensaje = e.Message.str();
  }
  prueba::Marcar(p->Mio("mensaje"), mensaje);
  admin::CerrarContabilidad();
}

}  // namespace presupuesto
