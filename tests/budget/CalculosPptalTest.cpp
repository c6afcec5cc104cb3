#include <cmath>

#include "app/DataModule.h"
#include "app/schema/Versiones.h"
#include "budget/CalculosPptal.h"
#include "budget/Presupuesto.h"
#include "platform/db/DBTables.h"
#include "shared/general/SqlUtil.h"
#include "support/SoloLectura.h"

using presupuesto::Presupuesto;

namespace {

class Numeracion : public Presupuesto {};

TEST_F(Numeracion, TablasVaciasProponenUno) {
  EXPECT_EQ(std::floor(getLastCertDisp() + 1), 1);
  EXPECT_EQ(getLastRegPptal() + 1, 1);
  EXPECT_EQ(getLastOrdenPago() + 1, 1);
}

TEST_F(Numeracion, NumerosMasAltosYPendientes) {
  Certificado(3, "2026-01-10", 100, "A");
  Certificado(7.5, "2026-01-11", 500, "A");
  Certificado(1000000, "2026-01-12", 900, "A");
  Registro(2.4, 7.5, "2026-01-20", 200);
  Registro(1000000, 1000000, "2026-01-21", 650);
  Registro(9.6, 7.5, "2026-01-22", 100);
  OrdenPago(4, 1000000, "2026-02-01", 50);
  OrdenPago(6.6, 2.4, "2026-02-02", 20);

  EXPECT_EQ(getLastCertDisp(), 1000000);
  EXPECT_EQ(getLastRegPptal(), 1000000);
  EXPECT_EQ(getLastOrdenPago(), 7);  // 6.6 redondeado
  struct Caso {
    double numero;
    double pendienteCert, pendienteReg;
  };
  for (Caso c : {Caso{7.5, 500 - 300, 0}, Caso{3, 100, 0}, Caso{1000000, 900 - 650, 650 - 50},
                 Caso{2.4, 0, 200 - 20}, Caso{9.6, 0, 100}, Caso{42, 0, 0}}) {
    EXPECT_DOUBLE_EQ(getCompromisoPendiente(c.numero, false), c.pendienteCert) << c.numero;
    EXPECT_DOUBLE_EQ(getPagoPendienteRP(c.numero, false), c.pendienteReg) << c.numero;
  }
  Sql("DELETE FROM mvtCertDisp WHERE icd=3");
  Registro(11, 3, "2026-01-23", 30);
  EXPECT_DOUBLE_EQ(getCompromisoPendiente(3, false), -30);  // certificado inexistente

  // Ubicado: el valor sale de la fila actual del módulo de datos.
  DM->tblMvtCertDisp->Refresh();
  ASSERT_TRUE(DM->tblMvtCertDisp->Locate("icd", Variant(7.5)));
  EXPECT_DOUBLE_EQ(getCompromisoPendiente(7.5, true), 200);
  DM->tblMvtRegPptal->Refresh();
  ASSERT_TRUE(DM->tblMvtRegPptal->Locate("irp", Variant(1000000.0)));
  EXPECT_DOUBLE_EQ(getPagoPendienteRP(1000000, true), 600);
}

TEST_F(Numeracion, OrdenDeUnRegistro) {
  OrdenServicio(5, 10, "2026-03-04");
  OrdenSuministro(6, 10, "2026-03-05");
  OrdenSuministro(7, 11, "2026-03-06");
  OrdenServicio(8, 12);
  OrdenServicio(9, 12);
  OrdenSuministro(10, 13);
  OrdenSuministro(11, 13);
  struct Caso {
    double irp;
    double orden;
    int tipo;
    const char* fecha;
    const char* mensaje;
  };
  for (Caso c : {Caso{10, 5, 0, "04/03/2026", ""}, Caso{11, 7, 1, "06/03/2026", ""}, Caso{14, 0, 2, "sin", ""},
                 Caso{12, -1, 0, "sin", "Existen varias órdenes de servicio asociadas a este registro presupuestal"},
                 Caso{13, -2, 1, "sin", "Existen varias órdenes de suministro asociadas a este registro presupuestal"}}) {
    AnsiString fecha = "sin";
    int tipo = -9;
    EXPECT_EQ(getOrden(c.irp, fecha, tipo), c.orden) << c.irp;
    EXPECT_EQ(tipo, c.tipo) << c.irp;
    EXPECT_EQ(fecha, c.fecha) << c.irp;
    // El cálculo no habla con el usuario: el aviso queda para quien lo llama.
    EXPECT_EQ(ui->messageTexts(), "") << c.irp;
    EXPECT_EQ(MensajeVariasOrdenes(c.orden), c.mensaje) << c.irp;
  }
}

TEST_F(Numeracion, ComprobanteContraSusOrdenes) {
  OrdenPago(1, 1, "2026-02-01", 100);
  OrdenPago(2, 1, "2026-02-01", 30);
  OrdenPago(3, 1, "2026-02-01", 1);
  Comprobante("10", "2026-03-01", 100, {1, 2});     // 130 = 1.3 veces: pasa
  Comprobante("11", "2026-03-01", 100, {1, 2, 3});  // 131: no
  Comprobante("12", "2026-03-01", 140, {1, 2});     // menor que el comprobante: no
  Comprobante("13", "2026-03-01", 0, {});           // sin órdenes: pasa
  Comprobante("14", "2026-03-01", 100, {1, 1, 0, 0, 77});  // la misma orden una vez; 77 no existe
  Comprobante("10", "2026-03-01", 999, {3}, "XX");  // otro tipo con el mismo número
  // La orden 3 tiene por documento propio CP 12: no cuenta para ese comprobante.
  Sql("UPDATE mvtOrdenPago SET descdocu='CP', numeDocu='12' WHERE iop=3");
  struct Caso {
    const char* cp;
    bool ok;
  };
  for (Caso c : {Caso{"10", true}, Caso{"11", false}, Caso{"12", false}, Caso{"13", true}, Caso{"14", true},
                 Caso{"99", true}, Caso{"1' or '1'='1", true}})
    EXPECT_EQ(validaCP_OP(c.cp), c.ok) << c.cp;
}

TEST_F(Numeracion, BorrarOrdenes) {
  OrdenServicio(5, 10);
  OrdenServicio(6, 10);
  OrdenSuministro(1000000, 10);
  Sql("INSERT INTO mvtOrdenSuministro (iOrdenSuministro, iArticulo) VALUES (1000000, 'a'), (1000000, 'b'), (2, 'c')");
  borrarOrdenServicio(5);
  EXPECT_EQ(Leer("SELECT group_concat(CAST(iOrdenServicio AS INTEGER)) FROM mvtOrdenServicio"), "6");
  DM->tblMvtOrdenSumiMaestro->Refresh();
  ASSERT_TRUE(DM->tblMvtOrdenSumiMaestro->Locate("iOrdenSuministro", Variant(1000000.0)));
  borrarOrdenSuministro(1000000);
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtOrdenSumiMaestro"), "0");
  EXPECT_EQ(Leer("SELECT group_concat(iArticulo) FROM mvtOrdenSuministro"), "c");
}

TEST(PrimeraPalabra, BlancosYTabuladoresAntes) {
  EXPECT_TRUE(EsSentenciaDeAccion(" insert into x values (1)"));
  EXPECT_TRUE(EsSentenciaDeAccion("\t\t delete  from asientoPptal"));
  EXPECT_TRUE(EsSentenciaDeAccion(" \tupdate mvtpptal set ingreso=0"));
  EXPECT_FALSE(EsSentenciaDeAccion(" \t select icuenta from asientoPptal"));
}

// Rubros A y B de egreso, C sin nada, 1.1 de ingreso; certificados de un rubro por el campo
// propio y de varios por sus filas, registros y órdenes repartidos por participación.
class Saldos : public Presupuesto {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Rubro("E", "A");
    Rubro("E", "B");
    Rubro("E", "C");
    Rubro("I", "1.9");
    Movimiento("1", "APR", "2026-01-02", {{"A", "E", 0, 1000}, {"B", "E", 0, 500}, {"1.9", "I", 5000, 0}});
    Certificado(1, "2026-02-10", 300, "A");
    Certificado(2, "2026-02-28", 200, "", {{"A", 200}});
    Certificado(3, "2026-03-01", 400, "", {{"A", 300}, {"B", 100}});
    Certificado(4, "2026-03-02", 80, "A", {{"B", 80}});  // solo cuentan sus filas
    Reintegro("A", 50);
    Registro(10, 1, "2026-02-20", 300);
    Registro(11, 3, "2026-03-31", 400);
    Registro(12, 4, "2026-04-01", 80);
    OrdenPago(1, 10, "2026-03-05", 120);
    OrdenPago(2, 11, "2026-04-10", 200);
    OrdenPago(3, 11, "2026-04-11", 200);
    // Orden 2 repetida y 99 inexistente: cada orden una vez, 99 sin peso.
    Comprobante("1", "2026-04-15", 400, {2, 3, 2, 99});
    Comprobante("2", "2026-03-06", 120, {1});
    LineaDiario("1.9", "2026-05-01", 0, 1200);
    LineaDiario("1.9", "2026-05-02", 200, 0);
  }
};

TEST_F(Saldos, DisponibleYPagado) {
  struct Caso {
    const char* rubro;
    const char* tipo;
    double disponible, pagado;
  };
  for (Caso c : {Caso{"A", "E", 1000 - 300 - 200 - 300 + 50, 120 + 150 + 150}, Caso{"B", "E", 500 - 100 - 80, 50 + 50},
                 Caso{"C", "E", 0, 0}, Caso{"1.9", "I", 4000, -1}, Caso{"1.9", "x", 4000, -1}}) {
    double pagado = -1;
    EXPECT_DOUBLE_EQ(getDisponibilidadRubro(c.rubro, c.tipo, &pagado), c.disponible) << c.rubro;
    EXPECT_DOUBLE_EQ(pagado, c.pagado) << c.rubro;
  }
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("A", "E", nullptr), 250);
}

// En libros de solo lectura el disponible se calcula sin escribir, con los nulos como cero.
TEST_F(Saldos, DisponibleEnLibrosDeSoloLectura) {
  Sql("INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
      "VALUES ('2', 'ADI', 'A', 'E', null, 40), ('2', 'ADI', '1.9', 'I', 60, null)");
  prueba::LibrosDeSoloLectura solo(libros);
  if (!solo.Posible()) GTEST_SKIP() << "aquí no se puede montar";
  ASSERT_TRUE(DM->SoloLectura());
  ui->takeMessages();
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("A", "E", nullptr), 250 + 40);
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("1.9", "I", nullptr), 4000 + 60);
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
}

TEST_F(Saldos, CifrasPorVentana) {
  const char* anio[2] = {"01/01/2026", "31/12/2026"};
  EXPECT_DOUBLE_EQ(getSeparadoRubro("A", anio[0], anio[1]), 800);  // dos sumas iguales de 300 no se juntan
  EXPECT_DOUBLE_EQ(getSeparadoRubro("B", anio[0], anio[1]), 180);
  EXPECT_DOUBLE_EQ(getSeparadoRubro("A", "01/01/2026", "28/02/2026"), 500);  // el último día cuenta
  EXPECT_DOUBLE_EQ(getSeparadoRubro("A", "01/01/2026", "27/02/2026"), 300);
  EXPECT_DOUBLE_EQ(getApropiadoRubro("A", "E", anio[0], anio[1]), 800);
  EXPECT_DOUBLE_EQ(getApropiadoRubro("A", "I", anio[0], anio[1]), 0);
  EXPECT_DOUBLE_EQ(getPresupuestadoRubro("A", "E", anio[0], anio[1]), 1000);
  EXPECT_DOUBLE_EQ(getPresupuestadoRubro("1.9", "I", anio[0], anio[1]), 5000);
  EXPECT_DOUBLE_EQ(getPresupuestadoRubro("A", "E", "03/01/2026", anio[1]), 0);

  // Registro de 400 sobre A 300 y B 100: 300 y 100, no 400 cada uno.
  EXPECT_DOUBLE_EQ(getComprometidoRubro("A", anio[0], anio[1]), 600);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("B", anio[0], anio[1]), 180);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("A", "01/01/2026", "31/03/2026"), 600);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("A", "01/01/2026", "30/03/2026"), 300);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("A", "E", anio[0], anio[1]), 600);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("1.9", "I", anio[0], anio[1]), 1000);
  EXPECT_DOUBLE_EQ(getComprometidoRubro("1.9", "I", "02/05/2026", anio[1]), -200);

  TDateTime abril1 = EncodeDate(2026, 4, 1), abril30 = EncodeDate(2026, 4, 30);
  EXPECT_DOUBLE_EQ(getSumaOPRubro("A"), 420);
  EXPECT_DOUBLE_EQ(getSumaOPRubro("A", abril1, abril30), 300);
  EXPECT_DOUBLE_EQ(getSumaOPRubro("B", abril1, EncodeDate(2026, 4, 10)), 50);
  // El comprobante de 400 sobre dos órdenes de A y B cuenta una vez, repartido.
  EXPECT_DOUBLE_EQ(getSumaCPRubro("A", abril1, abril30), 300);
  EXPECT_DOUBLE_EQ(getSumaCPRubro("B", abril1, abril30), 100);
  EXPECT_DOUBLE_EQ(getSumaCPRubro("A", EncodeDate(2026, 3, 1), EncodeDate(2026, 3, 6)), 120);
  EXPECT_DOUBLE_EQ(getSumaCPRubro("A", EncodeDate(2026, 3, 7), EncodeDate(2026, 4, 14)), 0);
  EXPECT_DOUBLE_EQ(getSumaReintegrosRubro("A"), 50);
  EXPECT_DOUBLE_EQ(getSumaReintegrosRubro("C"), 0);
}

TEST_F(Saldos, RubrosDeCadaCertificado) {
  Certificado(5, "2026-03-03", 10, "");
  Certificado(6, "2026-03-03", 0, "", {{"A", 0}, {"B", 0}});
  auto texto = [](double icd) {
    std::string s;
    for (const auto& r : RubrosDeCertificado(icd))
      s += r.rubro.str() + "=" + std::to_string(r.valor).substr(0, 5) + "/" + std::to_string(r.participacion).substr(0, 4) + " ";
    return s;
  };
  EXPECT_EQ(texto(1), "A=300.0/1.00 ");
  EXPECT_EQ(texto(3), "A=300.0/0.75 B=100.0/0.25 ");
  EXPECT_EQ(texto(4), "B=80.00/1.00 ");
  EXPECT_EQ(texto(5), "");
  EXPECT_EQ(texto(6), "A=0.000/0.50 B=0.000/0.50 ");
  EXPECT_EQ(texto(77), "");
}

// Un monto nulo cuenta como 0 y la lectura no lo escribe.
TEST_F(Saldos, NulosDelMovimientoCuentanComoCeroSinEscribir) {
  Sql("INSERT INTO mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
      "VALUES ('2', 'ADD', 'A', 'E', NULL, 10), ('2', 'ADD', '1.1', 'I', 10, NULL)");
  long long version = tv::schema::VersionDoc("MP", "2|ADD");
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("A", "E", nullptr), 260);
  getDisponibilidadRubro("1.1", "I", nullptr);
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtPptal WHERE ingreso IS NULL OR egreso IS NULL"), "2");
  EXPECT_EQ(tv::schema::VersionDoc("MP", "2|ADD"), version);
}

TEST_F(Saldos, CodigosConComillas) {
  Rubro("E", "2'1");
  Movimiento("9", "APR", "2026-01-02", {{"2'1", "E", 0, 70}});
  Certificado(20, "2026-01-05", 20, "", {{"2'1", 20}});
  EXPECT_DOUBLE_EQ(getDisponibilidadRubro("2'1", "E", nullptr), 50);
  EXPECT_DOUBLE_EQ(getSeparadoRubro("2'1", "01/01/2026", "31/12/2026"), 20);
}

}  // namespace
