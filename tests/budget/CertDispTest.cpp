#include <string>

#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "budget/CalculosPptal.h"
#include "budget/FrmCertDisp.h"
#include "budget/ConFormulario.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Vcl.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"
#include "support/Separadores.h"

namespace {

using presupuesto::Presupuesto;
using namespace presupuesto::ayuda;

// La línea de un rubro sin disponible, con los montos escritos con "." decimal y "," de miles.
std::string SinDisponible(const char* rubro, const char* pedido, const char* hay, bool aumento = false) {
  return std::string("No hay disponible en el rubro ") + rubro + (aumento ? ": el aumento es " : ": se piden ") +
         prueba::Mostrado(pedido) + " y hay " + prueba::Mostrado(hay) + " disponibles.";
}

// Rubros de egreso 2.1.1.01 y 2.1.2.01 con 1000 apropiados cada uno.
class CertDisp : public presupuesto::ConFormulario<TfrmCertDisp> {
 protected:
  void SetUp() override {
    Presupuesto::SetUp();
    Permisos.BGrabar = Permisos.BModificar = Permisos.BBorrar = true;
    Movimiento("AP1", "APR", "2026-01-02",
               {{"1.2.05", "I", 2000, 0}, {"2.1.1.01", "E", 0, 1000}, {"2.1.2.01", "E", 0, 1000}}, "Inicial");
  }
  TfrmCertDisp* Abrir() { return AbrirFormulario({DM->tblMvtCertDisp, DM->tblPAC, DM->tblPlanPpto}, &frmCertDisp); }
  // Escribe el número y sale del campo.
  void Numero(const char* n) { F().set("edIcertDisp", n).focus("edObjetoGasto"); }
  void Anadir(const char* codigo) {
    ui->onModal("TFrmBuscTabla").type("EdBusqueda", codigo).click("&Aceptar");
    F().click("btnAddOtroRubro");
  }
  // Montos vacíos: el campo se vacía antes de escribir.
  void Encabezado(const char* valor, const char* func, const char* inv) {
    f->edValor->Text = "";
    f->edFunc->Text = "";
    f->edInv->Text = "";
    // Los montos se teclean con el separador decimal de la prueba.
    F().set("edObjetoGasto", "Compra de papel").set("edValor", prueba::Tecleado(valor).c_str()).focus("edVigFisc");
    f->edFunc->Text = "";
    if (*func) F().set("edFunc", prueba::Tecleado(func).c_str()).focus("edVigFisc");
    if (*inv) F().set("edInv", prueba::Tecleado(inv).c_str()).focus("edVigFisc");
  }
  std::string Celda(int c, int r) { return f->sgOtrosRubros->Cells[c][r].str(); }
  std::string Rubros(double icd) {
    return Leer("SELECT group_concat(rubroPptal || '=' || CAST(valor AS REAL), ',') FROM (SELECT * FROM certDispRubros "
                "WHERE icd=" + Nm(icd) + " ORDER BY rubroPptal)");
  }
};

TEST_F(CertDisp, NumeroPropuestoYEstadoInicial) {
  Abrir();
  EXPECT_EQ(f->edIcertDisp->Text, "1");
  EXPECT_FALSE(f->edIcertDisp->Modified);
  EXPECT_EQ(f->Color, static_cast<TColor>(10143652));
  EXPECT_EQ(f->edFechaVenc->Text, "31/12/2026");
  EXPECT_EQ(f->edVigFisc->Text, "2026");
  EXPECT_EQ(f->stgPAC->Cells[11][0], "Dic");
  EXPECT_EQ(Celda(3, 0), "Valor");
  delete f;
  f = nullptr;
  Certificado(3, "2026-02-01", 10, "");
  Certificado(7.5, "2026-02-01", 10, "");
  Abrir();
  EXPECT_EQ(f->edIcertDisp->Text, "8");
}

TEST_F(CertDisp, CargaRubrosPlanYCampoPropio) {
  Certificado(5, "2026-02-01", 700, "", {{"2.1.1.01", 400}, {"2.1.2.01", 300}});
  Sql("UPDATE mvtCertDisp SET objetoGasto='Papel', func=700, inv=0, vigFiscal='2026', fechaVenc='2026-12-31' WHERE icd=5");
  Sql("INSERT INTO pac (icd, m1, m12) VALUES (5, 100, 600)");
  Certificado(6, "2026-02-02", 250, "2.1.2.01");                         // solo su campo propio
  Certificado(9, "2026-02-03", 50, "2.1.2.01", {{"2.1.1.01", 50}});  // campo propio y filas: cuentan las filas
  Abrir();
  Numero("5");
  EXPECT_EQ(f->Color, clBtnFace);
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->Label5->Caption, "El AUMENTO de lo solicitado no puede ser mayor que lo que hay disponible");
  EXPECT_EQ(f->edFechaExp->Text, "01/02/2026");
  EXPECT_EQ(f->edObjetoGasto->Text, "Papel");
  EXPECT_EQ(f->edValor->Text, "700");
  EXPECT_EQ(Celda(0, 1) + "|" + Celda(2, 1) + "|" + Celda(3, 1), "2.1.1.01|550|400");
  EXPECT_EQ(Celda(0, 2) + "|" + Celda(2, 2) + "|" + Celda(3, 2), "2.1.2.01|450|300");
  EXPECT_EQ(f->old[1].valor, 400);
  EXPECT_EQ(f->stgPAC->Cells[0][1] + "/" + f->stgPAC->Cells[11][1], "100/600");
  // El plan de caja se lee como todo monto.
  EXPECT_EQ(f->stgPAC->PaintCell(11, 1)->LastText(), prueba::Mostrado("600.00"));
  EXPECT_EQ(f->Label13->Caption, "*");
  // Volver a salir sin escribir no carga nada.
  f->sgOtrosRubros->Cells[3][1] = "1";
  F().focus("edIcertDisp").focus("edObjetoGasto");
  EXPECT_EQ(Celda(3, 1), "1");

  Numero("6");
  EXPECT_EQ(Celda(0, 1) + "|" + Celda(1, 1) + "|" + Celda(3, 1), "2.1.2.01|" + getNrubro("2.1.2.01", "E").str() + "|250");
  EXPECT_EQ(Celda(0, 2), "");  // nada del certificado anterior
  EXPECT_EQ(f->Label13->Caption, "No está definido en este certificado.");
  Numero("9");
  EXPECT_EQ(Celda(0, 1) + "|" + Celda(3, 1) + "|" + Celda(0, 2), "2.1.1.01|50|");

  // Un número sin grabar empieza uno nuevo: verde, objeto vacío, rejilla vacía.
  Numero("20");
  EXPECT_TRUE(f->nuevo);
  EXPECT_EQ(f->Color, static_cast<TColor>(10143652));
  EXPECT_EQ(f->edObjetoGasto->Text, "");
  EXPECT_EQ(f->edIcertDisp->Text, "20");
  EXPECT_EQ(Celda(0, 1), "");
  EXPECT_EQ(f->countOtrosRubros, 0);
}

TEST_F(CertDisp, AnadirYQuitarRubros) {
  Rubro("E", "2.9", "OTRO");
  Abrir();
  Anadir("2.1.1.01");
  Anadir("2.1.2.01");
  Anadir("2.9");
  EXPECT_EQ(Celda(1, 1), Leer("SELECT nCuenta FROM plppto WHERE iCuenta='2.1.1.01' AND tipoCuenta='E'"));
  EXPECT_EQ(Celda(2, 1), "1000");
  // Se ve como todo monto: dos decimales y los separadores del usuario.
  EXPECT_EQ(f->sgOtrosRubros->PaintCell(2, 1)->LastText(), prueba::Mostrado("1,000.00"));
  Anadir("2.1.1.01");
  EXPECT_EQ(ui->lastMessage(), "Còdigo ya está colocado.");
  EXPECT_EQ(f->countOtrosRubros, 3);
  // Una rejilla llena crece.
  Rubro("E", "2.8", "MAS");
  Rubro("E", "2.7", "MAS");
  Anadir("2.8");
  Anadir("2.7");
  EXPECT_EQ(f->sgOtrosRubros->RowCount, 6);
  EXPECT_EQ(Celda(0, 5), "2.7");
  F().editCell("sgOtrosRubros", 3, 1, "10").editCell("sgOtrosRubros", 3, 3, "30");
  F().cell("sgOtrosRubros", 3, 2).click("btnDeleteOtroRubro");
  EXPECT_EQ(Celda(0, 1) + "=" + Celda(3, 1) + "," + Celda(0, 2) + "=" + Celda(3, 2), "2.1.1.01=10,2.9=30");
  EXPECT_EQ(Celda(0, 5), "");
  EXPECT_EQ(f->countOtrosRubros, 5);
}

TEST_F(CertDisp, MensajesDeValidacion) {
  Abrir();
  for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{f->edFechaExp, f->edFechaVenc, f->edVigFisc, f->edIcertDisp})
    e->Text = "";
  Grabar();
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Caption, "Error");
  EXPECT_EQ(ui->lastMessage(),
            "Digite el valor.\n"
            "Digite el número del certificado de disponibilidad.\n"
            "Digite la fecha de expedición.\n"
            "Digite la fecha de vencimiento.\n"
            "Digite el objeto del gasto.\n"
            "Digite el valor correspondiente al gasto de funcionamiento o de inversión.\n"
            "Digite el valor correspondiente a la vigencia fiscal.\n");
  EXPECT_EQ(f->edFunc->Text, "0");
  EXPECT_EQ(f->edInv->Text, "0");

  struct Caso {
    const char *valor, *func, *inv, *r1, *r2;
    std::string mensaje;
  };
  const Caso casos[] = {
      {"1000", "600", "300", "400", "600", "La suma de inversión mas funcionamiento es diferente del valor solicitado.\n"},
      // Inversión vacía vale 0: funcionamiento debe cubrir todo el valor.
      {"1000", "600", "", "400", "599.99",
       "El valor del CDP no coincide con la suma de separado para cada rubro.\n"
       "La suma de inversión mas funcionamiento es diferente del valor solicitado.\n"},
      {"1000", "1000", "0", "400", "600", ""},
      {"0.3", "0.1", "0.2", "0.1", "0.2", ""},
      {"1001", "1001", "0", "1001", "",
       SinDisponible("2.1.1.01", "1,001.00", "1,000.00")},
      // Una línea por rubro, cada una con sus cifras.
      {"2000.01", "2000.01", "0", "1000.01", "1000",
       SinDisponible("2.1.1.01", "1,000.01", "1,000.00")},
      {"2002", "2002", "0", "1001", "1001",
       SinDisponible("2.1.1.01", "1,001.00", "1,000.00") + "\n" + SinDisponible("2.1.2.01", "1,001.00", "1,000.00")},
  };
  Anadir("2.1.1.01");
  Anadir("2.1.2.01");
  for (const Caso& c : casos) {
    F().set("edFechaExp", "01/03/2026").set("edFechaVenc", "31/12/2026").set("edVigFisc", "2026");
    f->edIcertDisp->Text = "50";
    Encabezado(c.valor, c.func, c.inv);
    F().editCell("sgOtrosRubros", 3, 1, prueba::Tecleado(c.r1).c_str())
        .editCell("sgOtrosRubros", 3, 2, prueba::Tecleado(c.r2).c_str());
    Grabar();
    if (!c.mensaje.empty()) {
      EXPECT_EQ(ui->lastMessage(), c.mensaje) << c.valor;
      EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "0");
    } else {
      EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.") << c.valor;
      Sql("DELETE FROM mvtCertDisp");
      Sql("DELETE FROM certDispRubros");
      Sql("DELETE FROM pac");
      DM->tblMvtCertDisp->Refresh();
    }
  }
}

// Un valor escrito en una fila sin rubro se nombra por su fila; nunca "…en el rubro " vacío.
TEST_F(CertDisp, ValorEnFilaSinRubro) {
  Abrir();
  Anadir("2.1.1.01");
  F().set("edFechaExp", "01/03/2026").set("edFechaVenc", "31/12/2026").set("edVigFisc", "2026");
  Encabezado("105", "105", "0");
  F().editCell("sgOtrosRubros", 3, 1, "100").editCell("sgOtrosRubros", 3, 3, "5");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "La fila 3 tiene valor y no tiene rubro.\n");
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "0");
}

// Número entero y positivo, valor mayor que 0 y fecha del año abierto; una fecha de otro año
// tampoco queda como periodo recordado de los informes.
TEST_F(CertDisp, NumeroEnteroValorPositivoYFechaDelAnio) {
  Abrir();
  Anadir("2.1.1.01");
  const char* entero = "El número del certificado de disponibilidad debe ser un entero mayor que 0.\n";
  struct Caso {
    const char *numero, *valor, *fecha, *mensaje;
  } casos[] = {
      {"50", "100", "15/12/2025", "La fecha de expedición debe estar en el año 2026.\n"},
      {"-5", "100", "01/03/2026", entero},
      {"0", "100", "01/03/2026", entero},
      {"1,5", "100", "01/03/2026", entero},
      {"1.5", "100", "01/03/2026", entero},
      {"1234567890123456", "100", "01/03/2026",
       "El número del certificado de disponibilidad no puede tener más de 15 cifras.\n"},
      {"50", "-5", "01/03/2026", "El valor debe ser mayor que 0.\n"},
  };
  for (const auto& c : casos) {
    F().set("edFechaExp", c.fecha);
    Encabezado(c.valor, c.valor, "0");
    f->edIcertDisp->Text = c.numero;
    F().editCell("sgOtrosRubros", 3, 1, prueba::Tecleado(c.valor).c_str());
    Grabar();
    ASSERT_EQ(ui->messages().size(), 1u) << c.numero;
    EXPECT_EQ(ui->messages()[0].Caption, "Error");
    EXPECT_NE(ui->lastMessage().Pos(c.mensaje), 0) << c.mensaje << " / " << ui->lastMessage().c_str();
    EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp"), "0");
    EXPECT_NE(FechasInf.GFechaInicial, "15/12/2025");
  }
}

// Los montos nunca quedan cortados por la máscara de otro: ni al cargar, ni al copiarse a
// funcionamiento, ni con centavos; lo grabado es lo que se ve.
TEST_F(CertDisp, MontosSeVenEnterosYSeGrabaLoQueSeVe) {
  Movimiento("AD1", "APR", "2026-01-03", {{"1.2.05", "I", 40000000, 0}, {"2.1.1.01", "E", 0, 40000000}}, "Más");
  Certificado(1, "2026-02-01", 14500000, "", {{"2.1.1.01", 14500000}});
  Sql("UPDATE mvtCertDisp SET func=14500000, inv=0 WHERE icd=1");
  Abrir();
  // Un monto corto tecleado deja la máscara de tres cifras en los tres campos.
  for (const char* c : {"edValor", "edFunc", "edInv"}) F().set(c, "300").focus("edVigFisc");
  Numero("1");
  EXPECT_EQ(f->edValor->Text, "14500000");
  EXPECT_EQ(f->edFunc->Text, "14500000");
  EXPECT_EQ(AnsiString(f->edValor->EditText), prueba::Mostrado("14,500,000"));
  // Uno nuevo: el valor pasa entero a funcionamiento aunque éste tenga una máscara corta.
  Numero("2");
  F().set("edFunc", "300").focus("edVigFisc");
  f->edFunc->Text = "";
  f->edValor->Text = "";
  F().set("edValor", "30000000").focus("edVigFisc");
  EXPECT_EQ(f->edFunc->Text, "30000000");
  // Con centavos: se ven y se graban con ellos.
  f->edFunc->Text = "";
  f->edInv->Text = "";
  f->edValor->Text = "";
  Anadir("2.1.1.01");
  F().editCell("sgOtrosRubros", 3, 1, prueba::Tecleado("1250000.50").c_str());
  F().set("edFechaExp", "01/03/2026").set("edFechaVenc", "31/12/2026").set("edObjetoGasto", "Obra")
      .set("edValor", prueba::Tecleado("1250000.50").c_str()).focus("edVigFisc");
  EXPECT_EQ(f->edValor->Text, prueba::Tecleado("1250000.50"));
  EXPECT_EQ(f->edFunc->Text, prueba::Tecleado("1250000.50"));
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT valor || '|' || func || '|' || inv FROM mvtCertDisp WHERE icd=2"), "1250000.5|1250000.5|0");
}

// Llenado como nuevo con el número de uno guardado escrito al final y Enter: se carga el
// guardado, como al salir del campo, y nada se reescribe.
TEST_F(CertDisp, EnterConElNumeroDeUnoGuardadoLoCargaSinReescribirlo) {
  Certificado(20260001, "2026-02-01", 100, "", {{"2.1.1.01", 100}});
  Abrir();
  Anadir("2.1.2.01");
  F().set("edFechaExp", "01/03/2026");
  Encabezado("300", "300", "0");
  F().editCell("sgOtrosRubros", 3, 1, "300");
  ui->takeMessages();
  F().focus("edIcertDisp").set("edIcertDisp", "20260001").keys("Enter");
  EXPECT_TRUE(ui->messages().empty()) << ui->messageTexts().c_str();
  EXPECT_FALSE(f->nuevo);
  EXPECT_EQ(f->edValor->Text, "100");
  EXPECT_EQ(Leer("SELECT valor FROM mvtCertDisp WHERE icd=20260001"), "100");
  EXPECT_EQ(Rubros(20260001), "2.1.1.01=100.0");
}

TEST_F(CertDisp, ElAumentoSeComparaConLoDisponible) {
  // El certificado separa 500 y al rubro le quedan 200.
  Certificado(4, "2026-02-01", 500, "", {{"2.1.1.01", 500}});
  Sql("UPDATE mvtCertDisp SET objetoGasto='x', func=500, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Certificado(5, "2026-02-01", 300, "", {{"2.1.1.01", 300}});
  Abrir();
  Numero("4");
  EXPECT_EQ(Celda(2, 1), "200");
  F().editCell("sgOtrosRubros", 3, 1, prueba::Tecleado("700.01").c_str());
  Encabezado("700.01", "700.01", "0");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), SinDisponible("2.1.1.01", "200.01", "200.00", true));
  F().editCell("sgOtrosRubros", 3, 1, "700");
  Encabezado("700", "700", "0");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Rubros(4), "2.1.1.01=700.0");
  EXPECT_NEAR(getDisponibilidadRubro("2.1.1.01", "E", nullptr), 0, 1e-9);
}

TEST_F(CertDisp, GrabaNuevoYModificaSinMezclarFilas) {
  Abrir();
  Anadir("2.1.1.01");
  Anadir("2.1.2.01");
  F().set("edFechaExp", "01/03/2026");
  Encabezado("900", "900", "0");
  F().editCell("sgOtrosRubros", 3, 1, "400").editCell("sgOtrosRubros", 3, 2, "500");
  F().editCell("stgPAC", 2, 1, "900");
  Grabar();
  ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(ui->messages()[0].Caption, "Tallivar");
  EXPECT_EQ(Leer("SELECT icd || '|' || FechaExped || '|' || objetoGasto || '|' || valor || '|' || vigFiscal FROM "
                 "mvtCertDisp"),
            "1|2026-03-01|Compra de papel|900|2026");
  EXPECT_EQ(Leer("SELECT m3 FROM pac WHERE icd=1"), "900");
  EXPECT_EQ(Rubros(1), "2.1.1.01=400.0,2.1.2.01=500.0");
  EXPECT_EQ(objetoGasto, "Compra de papel");
  EXPECT_EQ(f->edIcertDisp->Text, "2");
  EXPECT_EQ(f->edValor->Text + f->edObjetoGasto->Text + f->stgPAC->Cells[2][1], "");
  EXPECT_EQ(Celda(3, 1), "400");  // la rejilla se conserva

  // Un número propuesto que ya existe no se agrega encima.
  Certificado(2, "2026-02-01", 1, "");
  DM->tblMvtCertDisp->Refresh();
  Encabezado("900", "900", "0");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "El certificado de disponibilidad 2 ya existe. Se propone el número 3.");
  EXPECT_EQ(f->edIcertDisp->Text, "3");
  EXPECT_EQ(Leer("SELECT valor FROM mvtCertDisp WHERE icd=2"), "1");

  // Modificar el 1 con la tabla movida a otra fila (como lo haría el explorador).
  Numero("1");
  DM->tblMvtCertDisp->Last();
  F().cell("sgOtrosRubros", 3, 1).click("btnDeleteOtroRubro");
  Encabezado("500", "500", "");
  Grabar();
  ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || valor) FROM mvtCertDisp"), "1=500,2=1");
  EXPECT_EQ(Rubros(1), "2.1.2.01=500.0");
  EXPECT_EQ(Leer("SELECT count(*) FROM pac"), "1");
}

// Grabar en un año ya cerrado se permite, y tras el aviso de grabado se pide repetir el cierre.
TEST_F(CertDisp, EnUnAnioCerradoGrabaYPideRepetirElCierre) {
  Sql("INSERT INTO MVT (descdocu, numedocu, numecuen, debito, credito, fecha) VALUES "
      "('CCA', '1', '590501', 0, 0, '2026-12-31')");
  Abrir();
  Anadir("2.1.1.01");
  F().set("edFechaExp", "01/03/2026");
  Encabezado("400", "400", "0");
  F().editCell("sgOtrosRubros", 3, 1, "400");
  ui->takeMessages();
  Grabar();
  ASSERT_EQ(ui->messages().size(), 2u) << ui->messageTexts().c_str();
  EXPECT_EQ(ui->messages()[0].Text, "Certificado de disponibilidad grabado.");
  EXPECT_EQ(ui->messages()[1].Text,
            "El año 2026 ya fue cerrado: repita el cierre para que los saldos iniciales de 2027 lo incluyan.");
  EXPECT_EQ(Leer("SELECT valor FROM mvtCertDisp WHERE icd=1"), "400");
}

// Otro puesto graba el certificado propuesto antes del "Grabar": se avisa, se propone el
// siguiente y nada se escribe; con el número nuevo se graba.
TEST_F(CertDisp, NumeroTomadoPorOtroPuestoProponeElSiguiente) {
  Abrir();
  ASSERT_EQ(f->edIcertDisp->Text, "1");
  Anadir("2.1.1.01");
  F().set("edFechaExp", "01/03/2026");
  Encabezado("300", "300", "0");
  F().editCell("sgOtrosRubros", 3, 1, "300");
  {
    tv::db::Connection otro(tv::db::FolderOf(libros.c_str()));
    otro.Exec("INSERT INTO mvtCertDisp (icd, FechaExped, valor) VALUES (1, '2026-02-01', 100)");
    otro.Exec("INSERT INTO pac (icd, m2) VALUES (1, 100)");
    otro.Exec("INSERT INTO certDispRubros (icd, rubroPptal, valor) VALUES (1, '2.1.2.01', 100)");
  }
  Grabar();
  EXPECT_EQ(ui->lastMessage(),
            "El certificado de disponibilidad 1 ya fue grabado por otro usuario. Se propone el número 2.");
  EXPECT_EQ(f->edIcertDisp->Text, "2");
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || valor) FROM mvtCertDisp"), "1=100");
  EXPECT_EQ(Rubros(1), "2.1.2.01=100.0");
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || m2) FROM pac"), "1=100");
  Grabar();
  ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT group_concat(icd || '=' || valor) FROM (SELECT * FROM mvtCertDisp ORDER BY icd)"),
            "1=100,2=300");
  EXPECT_EQ(Rubros(2), "2.1.1.01=300.0");
}

TEST_F(CertDisp, CampoPropioSeConvierteYUnRubroQueFallaDeshaceTodo) {
  Certificado(3, "2026-02-01", 250, "2.1.2.01");
  Sql("UPDATE mvtCertDisp SET objetoGasto='x', func=250, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Abrir();
  Numero("3");
  F().set("edObjetoGasto", "Convertido");
  Grabar();
  ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT coalesce(rubroPptal, 'nulo') FROM mvtCertDisp WHERE icd=3"), "nulo");
  EXPECT_EQ(Rubros(3), "2.1.2.01=250.0");
  EXPECT_EQ(getDisponibilidadRubro("2.1.2.01", "E", nullptr), 750);  // separado una sola vez
  Numero("3");
  EXPECT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");  // sin "Còdigo ya está colocado."
  EXPECT_EQ(Celda(0, 1) + Celda(0, 2), "2.1.2.01");

  // Un renglón que no se puede insertar deja todo como estaba.
  Sql("CREATE TRIGGER falla BEFORE INSERT ON certDispRubros WHEN NEW.rubroPptal='2.1.1.01' "
      "BEGIN SELECT RAISE(ABORT, 'rubro rechazado'); END");
  Numero("30");
  Anadir("2.1.2.01");
  Anadir("2.1.1.01");
  Encabezado("300", "300", "0");
  F().editCell("sgOtrosRubros", 3, 1, "100").editCell("sgOtrosRubros", 3, 2, "200");
  Grabar();
  EXPECT_NE(ui->lastMessage().Pos("rubro rechazado"), 0);
  EXPECT_EQ(Leer("SELECT count(*) FROM mvtCertDisp WHERE icd=30"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM pac WHERE icd=30"), "0");
  EXPECT_EQ(Leer("SELECT count(*) FROM certDispRubros WHERE icd=30"), "0");
  EXPECT_EQ(f->edIcertDisp->Text, "30");
}

}  // namespace

namespace {

class RptCertDisp : public CertDisp {};

TEST_F(RptCertDisp, ImprimeElCertificadoDelNumeroConSuPlan) {
  Movimiento("AP2", "APR", "2026-01-03", {{"1.2.05", "I", 500, 0}, {"2.3.2", "E", 0, 500}});
  Certificado(3, "2026-02-01", 1234.5, "", {{"2.1.1.01", 1000}, {"2.3.2", 234.5}});
  Sql("UPDATE mvtCertDisp SET objetoGasto='Tinta', fechaVenc='2026-12-31', vigFiscal='2026' WHERE icd=3");
  Sql("INSERT INTO pac (icd, m1, m2) VALUES (3, 0, 1234.5)");
  Certificado(4, "2026-02-01", 10, "2.3.2");
  Sql("UPDATE ConfigContab SET acuerdo=NULL");
  Abrir();
  DM->tblMvtCertDisp->First();
  f->edIcertDisp->Text = "9";
  F().click("&Imprimir");
  EXPECT_EQ(ui->lastMessage(), "El certificado de disponibilidad 9 no está grabado.");
  f->edIcertDisp->Text = "3";
  F().click("&Imprimir");
  auto* r = tv::report::HeadlessUi().Last();
  ASSERT_NE(r, nullptr);
  std::string t = tv::report::DumpText(r->report);
  std::string nombre = getNrubro("2.1.1.01", "E").str();
  for (std::string s : {"2.1.1.01 " + nombre + " $" + prueba::Mostrado("1,000.00"),
                        "2.1.1.01 Disponibilidad a la fecha de impresión:  $" + prueba::Mostrado("0.00"),
                        "2.3.2 Disponibilidad a la fecha de impresión:  $" + prueba::Mostrado("255.50"), prueba::Mostrado("1,234.50"),
                        std::string("en el acuerdo  y demás acuerdos modificatorios del mismo."),
                        std::string("Tinta")})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  // Enero 0 sale 0.00; marzo vacío no sale.
  EXPECT_NE(t.find(prueba::Mostrado("0.00")), std::string::npos);
  // Un certificado sin PAC imprime el plan en blanco, no el de otro.
  f->edIcertDisp->Text = "4";
  F().click("&Imprimir");
  t = tv::report::DumpText(tv::report::HeadlessUi().Last()->report);
  EXPECT_EQ(t.find(prueba::Mostrado("1,234.50")), std::string::npos) << t;
  EXPECT_NE(t.find("2.3.2"), std::string::npos) << t;
}

}  // namespace

namespace {

// Un certificado que otro grabó después de traerlo no se graba encima; traído de nuevo, la
// primera grabación pasa.
TEST_F(CertDisp, GrabadoPorOtroDespuesDeTraerloSeRechaza) {
  Certificado(3, "2026-02-01", 250, "", {{"2.1.2.01", 250}});
  Sql("UPDATE mvtCertDisp SET objetoGasto='x', func=250, inv=0, vigFiscal='2026', fechaVenc='2026-12-31'");
  Abrir();
  Numero("3");
  Sql("UPDATE mvtCertDisp SET objetoGasto='otro puesto' WHERE icd=3");
  F().set("edObjetoGasto", "Mío");
  Grabar();
  EXPECT_EQ(ui->lastMessage(), "Otro usuario grabó este documento después de traerlo. Tráigalo de nuevo para "
                               "modificarlo.");
  EXPECT_EQ(Leer("SELECT objetoGasto FROM mvtCertDisp WHERE icd=3"), "otro puesto");
  f->edIcertDisp->Modified = true;
  Numero("3");
  F().set("edObjetoGasto", "Mío");
  Grabar();
  ASSERT_EQ(ui->lastMessage(), "Certificado de disponibilidad grabado.");
  EXPECT_EQ(Leer("SELECT objetoGasto FROM mvtCertDisp WHERE icd=3"), "Mío");
}

// Un monto con centavos se ve agrupado cuando se sale del campo y sin agrupar al volver a él.
TEST_F(CertDisp, MontoConCentavosSeVeAgrupadoFueraDelCampo) {
  Abrir();
  F().set("edValor", prueba::Tecleado("12345678901.25").c_str()).focus("edVigFisc");
  EXPECT_EQ(f->edValor->DisplayText().str(), prueba::Mostrado("12,345,678,901.25"));
  EXPECT_EQ(f->edValor->Text.get().str(), prueba::Tecleado("12345678901.25"));
  F().focus("edValor");
  EXPECT_EQ(f->edValor->DisplayText().str(), prueba::Tecleado("12345678901.25"));
}

}  // namespace
