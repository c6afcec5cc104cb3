#include <memory>

#include "support/Instalacion.h"
#include "app/Sesion.h"
#include "app/Validaciones.h"
#include "platform/forms/Mask.h"
#include "platform/core/SysUtils.h"
#include "shared/general/Utiles.h"

using admin::Instalacion;

TEST(IncNumeDocu, Casos) {
  struct Caso { const char* entrada; const char* salida; };
  for (Caso c : {Caso{"CE0099", "CE0100"}, Caso{"A9", "A10"}, Caso{"0001", "0002"},
                 Caso{"999", "1000"}, Caso{"CE", ""}, Caso{"", ""}, Caso{"X-5", ""},
                 Caso{"X+5", ""}, Caso{"CE 12", ""}, Caso{"ñ5", ""}, Caso{"12A", ""},
                 Caso{"CP99999999999999999999", "CP100000000000000000000"},
                 Caso{"ab000", "ab001"}})
    EXPECT_EQ(IncNumeDocu(c.entrada), c.salida) << c.entrada;
}

TEST(NumeroSQL, EnterosExactosSinExponente) {
  EXPECT_EQ(NumeroSQL(1234567), "1234567");
  EXPECT_EQ(NumeroSQL(100000000), "100000000");
  EXPECT_EQ(NumeroSQL(0), "0");
  EXPECT_EQ(NumeroSQL(-0.0), "0");
  EXPECT_EQ(NumeroSQL(12.5), "12.5");
  EXPECT_EQ(NumeroSQL(-3), "-3");
  EXPECT_EQ(NumeroSQL(1e15), "1000000000000000");
}

TEST(TextoSQL, DoblaComillas) { EXPECT_EQ(TextoSQL("O'Neil"), "'O''Neil'"); }

class Validaciones : public Instalacion {};

// Los miles de la máscara son los del usuario: "1,000,000" no aparece con miles ".".
TEST_F(Validaciones, MascaraPorDigitosEnterosConLosMilesDelUsuario) {
  struct Caso { const char* texto; const char* mascara; };
  TMaskEdit ed(nullptr);
  const std::string miles(1, getSystemSeparatorDigits());
  for (Caso c : {Caso{"", "999,999,999,999;0; "}, Caso{"5", "999;0; "}, Caso{"123", "999;0; "},
                 Caso{"1234", "9,999;0; "}, Caso{"1234567.25", "9,999,999;0; "},
                 Caso{"12345678901", "99,999,999,999;0; "},
                 Caso{"123456789012", "999,999,999,999;0; "}}) {
    ed.EditMask = "";
    ed.Text = c.texto;
    ajustarMaskEdit(&ed);
    EXPECT_EQ(AnsiString(ed.EditMask), StringReplace(c.mascara, ",", miles.c_str())) << c.texto;
  }
  // Los separadores no quedan en el texto leído; se muestran los del usuario.
  ed.EditMask = "";
  ed.Text = "1234567";
  ajustarMaskEdit(&ed);
  EXPECT_EQ(AnsiString(ed.Text), "1234567");
  EXPECT_EQ(AnsiString(ed.EditText), "1" + miles + "234" + miles + "567");
}

TEST_F(Validaciones, ValidarInformesFechaInicialMalaNoRevisaLaFinal) {
  EXPECT_FALSE(ValidarInformes("32/01/2026", "xx", "", "", "", false, false, false));
  ASSERT_EQ(ui->messages().size(), 1u);
  AnsiString texto = ui->messages()[0].Text;
  EXPECT_EQ(texto.Pos("Debe Corregir \n"), 1);
  EXPECT_GT(texto.Pos("32/01/2026"), 0);
  EXPECT_EQ(texto.Pos("xx"), 0);
  EXPECT_EQ(AnsiString(FechasInf.GFechaInicial), "STR");
}

TEST_F(Validaciones, ValidarInformesJuntaErroresYRecuerdaPeriodo) {
  EXPECT_FALSE(ValidarInformes("01/01/2026", "31/03/2026", kCuentaVacia, "", "", true, true, true));
  ASSERT_EQ(ui->messages().size(), 1u);
  EXPECT_EQ(ui->messages()[0].Text,
            "Debe Corregir \nFalta Colocar Cuenta \nFalta Colocar Cuenta \nFalta Colocar Tercero \n");
  // Con fechas válidas el periodo se recuerda aunque falle otra regla.
  EXPECT_EQ(AnsiString(FechasInf.GFechaInicial), "01/01/2026");
  EXPECT_EQ(AnsiString(FechasInf.GFechaFinal), "31/03/2026");

  ui->takeMessages();
  EXPECT_TRUE(ValidarInformes("01/02/2026", "28/02/2026", "110505", "", "800", true, false, true));
  EXPECT_TRUE(ui->messages().empty());
  EXPECT_EQ(AnsiString(FechasInf.GFechaFinal), "28/02/2026");
}

TEST_F(Validaciones, ValidarFechasNoMuestraNada) {
  AnsiString msg = "previo\n";
  EXPECT_FALSE(validarFechas("01/01/2026", "", msg));
  EXPECT_TRUE(ui->messages().empty());
  EXPECT_EQ(msg.Pos("previo\n"), 1);
  EXPECT_GT(msg.Length(), 7);
  EXPECT_EQ(AnsiString(FechasInf.GFechaInicial), "STR");
  EXPECT_TRUE(validarFechas("01/01/2026", "31/12/2026", msg));
  EXPECT_EQ(AnsiString(FechasInf.GFechaFinal), "31/12/2026");
  EXPECT_FALSE(validarFechas("01/02/2026", "31/02/2026"));
  EXPECT_EQ(AnsiString(FechasInf.GFechaInicial), "01/01/2026");
  EXPECT_TRUE(ui->messages().empty());
}

TEST_F(Validaciones, EsAuxiliar) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('990505', 'Padre')");
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('99050501', 'Hija')");
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('990510', 'Sola')");
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('99X510', 'Parecida')");
  EXPECT_FALSE(EsAuxiliar("990505"));
  EXPECT_TRUE(EsAuxiliar("99050501"));
  EXPECT_TRUE(EsAuxiliar("990510"));
  EXPECT_FALSE(EsAuxiliar("9905"));   // cuatro caracteres: nunca
  EXPECT_TRUE(EsAuxiliar("98765432"));  // inexistente pero larga
  // Un comodín del LIKE no cuenta códigos que no empiezan por él.
  EXPECT_TRUE(EsAuxiliar("99_510"));
  EXPECT_TRUE(EsAuxiliar("99'05"));  // una comilla no rompe la consulta
}

TEST_F(Validaciones, NombresDeCuentaRubroYTercero) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, nombcuen) VALUES ('990505', 'Caja O''Neil')");
  EXPECT_EQ(getNcuenta("990505"), "Caja O'Neil");
  EXPECT_EQ(getNcuenta("000000"), "Cuenta inexistente.");
  EXPECT_EQ(getNcuenta("x' or '1'='1"), "Cuenta inexistente.");

  Ejecutar(libros, "INSERT INTO PlPpto (tipoCuenta, iCuenta, nCuenta) VALUES ('E', 'R99', 'Gasto R')");
  Ejecutar(libros, "INSERT INTO PlPpto (tipoCuenta, iCuenta, nCuenta) VALUES ('I', 'R99', 'Ingreso R')");
  EXPECT_EQ(getNrubro("R99", "E"), "Gasto R");
  EXPECT_EQ(getNrubro("R99", "I"), "Ingreso R");
  EXPECT_EQ(getNrubro("R99", "X"), "");

  Ejecutar(libros, "INSERT INTO TC (CedulaNIT, nombre) VALUES ('800', 'Proveedor')");
  DM->TblTerceros->Refresh();
  Tercero t("800");
  EXPECT_EQ(t.itercero, "800");
  EXPECT_EQ(t.nombre, "");
  EXPECT_EQ(t.getNtercero(), "Proveedor");
  EXPECT_EQ(DM->TblTerceros->FieldByName("CedulaNIT")->AsString(), "800");
  EXPECT_EQ(Tercero("900").getNtercero(), "");
}

TEST_F(Validaciones, ReglaDeTerceroDeLaCuenta) {
  Ejecutar(libros, "INSERT INTO PL (numecuen, exigterc) VALUES ('990001', 'S')");
  Ejecutar(libros, "INSERT INTO PL (numecuen, exigterc) VALUES ('990002', 'N')");
  Ejecutar(libros, "INSERT INTO PL (numecuen, exigterc) VALUES ('990003', NULL)");
  DM->TblPlan->Refresh();
  struct Caso { const char* cuenta; int regla; };
  for (Caso c : {Caso{"990001", 1}, Caso{"990002", 2}, Caso{"990003", 0}}) {
    ASSERT_TRUE(DM->TblPlan->Locate("numecuen", Variant(AnsiString(c.cuenta))));
    EXPECT_EQ(getInfCuentaTerc(), c.regla) << c.cuenta;
  }
}

TEST_F(Validaciones, Consecutivo) {
  auto q = std::make_unique<TQuery>(nullptr);
  q->DatabaseName = "Contabilidad";
  q->SQL->Add("select icd from mvtCertDisp");
  q->Open();
  EXPECT_EQ(getConsecutivoFromStrings(q.get(), "icd"), 1);
  q->Close();
  Ejecutar(libros, "INSERT INTO mvtCertDisp (icd) VALUES (7.9)");
  Ejecutar(libros, "INSERT INTO mvtCertDisp (icd) VALUES (3)");
  q->Open();
  EXPECT_EQ(getConsecutivoFromStrings(q.get(), "icd"), 8);
  EXPECT_TRUE(q->Eof);
  q->Close();
  // Los números con letras se saltan en lugar de cortar el recorrido.
  auto t = std::make_unique<TQuery>(nullptr);
  t->DatabaseName = "Contabilidad";
  t->SQL->Add("select 'CE0099' as n union all select '12' union all select '' union all select null");
  t->Open();
  EXPECT_EQ(getConsecutivoFromStrings(t.get(), "n"), 13);
  Ejecutar(libros, "INSERT INTO mvtCertDisp (icd) VALUES (2147483647)");
  q->Open();
  EXPECT_THROW(getConsecutivoFromStrings(q.get(), "icd"), EConvertError);
}
