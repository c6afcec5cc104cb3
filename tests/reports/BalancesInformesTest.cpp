// El paso de cada informe tras el motor: balance general con y sin cierre simulado,
// cortes del balance de prueba, resultados, caja diario por cuentas y por comprobante,
// mayor y balance, y las exportaciones.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "BalancesFixture.h"
#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "support/Separadores.h"

namespace balances_test {
namespace {

using Codigos_t = std::vector<std::string>;

std::vector<int> Anchos(TDBGrid* g) {
  std::vector<int> r;
  for (int i = 0; i < g->Columns->Count(); ++i) r.push_back(g->Columns->Items[i]->Width);
  return r;
}

TEST_F(Balances, BalanceGeneralSinCierreAgregaPatrimonioYMuestraLaEcuacion) {
  Ejecutar(libros, "DELETE FROM PL WHERE numecuen='3'");
  TFrmBalances* f = Ventana(1);
  f->RBTodo->Checked = true;
  Procesar(f);
  auto filas = Filas();
  ASSERT_FALSE(filas.empty());
  for (const Fila& r : filas) EXPECT_LT(r.cuenta, "4") << r.cuenta;
  EXPECT_EQ(filas.back().cuenta, "3");
  EXPECT_EQ(filas.back().nuevoSaldo, 0);
  EXPECT_EQ(Valor(libros, "SELECT NombCuen FROM baltempestados WHERE Numecuen='3'"), "PATRIMONIO");
  // Las cifras vienen de las sumas de clase, aunque falte la fila de la clase 3.
  EXPECT_EQ(f->LblActivo->Caption, prueba::Mostrado("1,310.00"));
  EXPECT_EQ(f->LblPasivoPatrimonio->Caption, prueba::Mostrado("10.00"));
  EXPECT_EQ(f->LblPat->Caption, prueba::Mostrado("1,000.00"));
  EXPECT_TRUE(f->BG->Visible);
  EXPECT_EQ(Anchos(f->DBGrid1), (std::vector<int>{80, 220, 0, 0, 0, 0, 0, 0, 0, 90}));
  EXPECT_TRUE(f->btnImprimir->Enabled);
}

TEST_F(Balances, CierreSimuladoConUtilidadPerdidaYSinCuenta) {
  struct Caso {
    const char* nombre;
    double gastoExtra;  // más gasto en enero: pérdida
    const char* utilidad;
    const char* perdida;
    const char* cuenta;   // fila de resultado esperada ("" ninguna)
    const char* mensaje;
  };
  for (Caso c : {Caso{"utilidad", 0, "360505", "361005", "360505", ""},
                 Caso{"perdida", 700, "360505", "361005", "361005", ""},
                 Caso{"sin cuenta", 0, "", "", "", "La cuenta de utilidad no está configurada."},
                 Caso{"sin cuenta de pérdida", 700, "", "", "", "La cuenta de pérdida no está configurada."}}) {
    SCOPED_TRACE(c.nombre);
    Ejecutar(libros, std::string("UPDATE ConfigContab SET Utilidad='") + c.utilidad + "', Perdida='" + c.perdida + "'");
    Ejecutar(libros, "DELETE FROM MVT WHERE descdocu='EXT'");
    if (c.gastoExtra > 0) {
      Linea("2026-01-28", "EXT", "1", "510505", c.gastoExtra, 0);
      Linea("2026-01-28", "EXT", "1", "110505", 0, c.gastoExtra);
    }
    DM->TblConfigContab->Refresh();
    ui->takeMessages();
    TFrmBalances* f = Ventana(1);
    f->RBTodo->Checked = true;
    f->ChBCierre->Checked = true;
    Procesar(f);
    double u = 500 - 200 - c.gastoExtra;
    auto filas = Filas();
    const Fila* tres = Buscar(filas, "3");
    ASSERT_TRUE(tres);
    EXPECT_DOUBLE_EQ(tres->nuevoSaldo, -1000 - u);
    for (const char* nuevo : {"35", "3505"}) {
      ASSERT_TRUE(Buscar(filas, nuevo)) << nuevo;
      EXPECT_DOUBLE_EQ(Buscar(filas, nuevo)->nuevoSaldo, -u);
    }
    EXPECT_FALSE(Buscar(filas, ""));
    if (*c.cuenta) {
      ASSERT_TRUE(Buscar(filas, c.cuenta));
      EXPECT_DOUBLE_EQ(Buscar(filas, c.cuenta)->nuevoSaldo, -u);
      EXPECT_EQ(Valor(libros, std::string("SELECT NombCuen FROM baltempestados WHERE Numecuen='") + c.cuenta + "'"),
                u >= 0 ? "EXCEDENTES" : "PERDIDAS");
      EXPECT_EQ(ui->messageTexts(), "");
    } else {
      EXPECT_EQ(ui->lastMessage(), c.mensaje);
    }
    EXPECT_EQ(f->LblPat->Caption, AnsiString(u >= 0 ? prueba::Mostrado("1,300.00") : prueba::Mostrado("600.00")));
  }
}

TEST_F(Balances, CierreSimuladoReemplazaLaFilaDeLaCuentaDeResultado) {
  Cuenta("36", "RESULTADOS");
  Cuenta("3605", "EXCEDENTES");
  Cuenta("360505", "DEL EJERCICIO");
  Linea("2025-12-31", "CSI", "9", "360505", 0, 77);
  Linea("2025-12-31", "CSI", "9", "110505", 77, 0);
  TFrmBalances* f = Ventana(1);
  f->RBTodo->Checked = true;
  f->ChBCierre->Checked = true;
  Procesar(f);
  auto filas = Filas();
  EXPECT_DOUBLE_EQ(Buscar(filas, "360505")->nuevoSaldo, -300);
  EXPECT_DOUBLE_EQ(Buscar(filas, "3605")->nuevoSaldo, -77);  // solo la fila exacta cambia
}

TEST_F(Balances, BalanceDePruebaCortaPorNivel) {
  struct Caso {
    const char* nivel;
    size_t largo;
  };
  for (Caso c : {Caso{"RBDos", 2}, Caso{"RBCuatro", 4}, Caso{"RBSeis", 6}, Caso{"RBTodo", 99}}) {
    TFrmBalances* f = Ventana(2);
    EXPECT_EQ(static_cast<TWinControl*>(f->RBSeis->Parent), f->GroupBox1) << "los cuatro niveles en su marco";
    static_cast<TRadioButton*>(f->FindControl(c.nivel))->Checked = true;
    Procesar(f);
    auto codigos = Codigos();
    EXPECT_FALSE(codigos.empty());
    size_t mayor = 0;
    for (auto& s : codigos) mayor = std::max(mayor, s.size());
    EXPECT_EQ(mayor, std::min<size_t>(c.largo, 6)) << c.nivel;
    EXPECT_EQ(Anchos(f->DBGrid1), (std::vector<int>{80, 220, 90, 90, 0, 90, 90, 90, 90, 0}));
  }
}

TEST_F(Balances, ResultadosNeteaYResumeSinContarOrdenNiClasesAusentes) {
  for (bool breve : {false, true}) {
    SCOPED_TRACE(breve);
    TFrmBalances* f = Ventana(3);
    f->RBTodo->Checked = true;
    f->chbExpress->Checked = breve;
    Procesar(f);
    auto filas = Filas();
    const Fila* ingreso = Buscar(filas, "417005");
    ASSERT_TRUE(ingreso);
    EXPECT_EQ(ingreso->debito, 0);
    EXPECT_DOUBLE_EQ(ingreso->credito, 500);
    const Fila* orden = Buscar(filas, "910505");
    EXPECT_DOUBLE_EQ(orden->debito, -50);  // al débito, neto
    EXPECT_EQ(orden->credito, 0);
    EXPECT_EQ(f->LblIngresos->Caption, prueba::Mostrado("500.00"));
    EXPECT_EQ(f->LblEgresos->Caption, prueba::Mostrado("200.00"));  // 8 y 9 no son gastos
    EXPECT_EQ(f->LblUtilidad->Caption, prueba::Mostrado("300.00"));
    EXPECT_TRUE(f->PG->Visible);
    EXPECT_EQ(Anchos(f->DBGrid1), (std::vector<int>{80, 220, 0, 0, 0, 90, 90, 0, 0, 0}));
  }
}

TEST_F(Balances, CajaDiarioPorCuentasYMayorConservanColumnasBrutasYNetas) {
  TFrmBalances* f = Ventana(4);
  Procesar(f);
  const Fila* caja = Buscar(Filas(), "110505");
  ASSERT_TRUE(caja);
  EXPECT_DOUBLE_EQ(caja->nuevoDebito, 1500);
  EXPECT_DOUBLE_EQ(caja->nuevoCredito, 200);
  EXPECT_FALSE(f->GroupBox1->Visible);
  EXPECT_TRUE(f->RBSeis->Visible);
  EXPECT_NE(static_cast<TWinControl*>(f->RBSeis->Parent), f->GroupBox1);
  f = Ventana(5);
  Procesar(f);
  caja = Buscar(Filas(), "110505");
  EXPECT_DOUBLE_EQ(caja->nuevoDebito, 1300);
  EXPECT_EQ(caja->nuevoCredito, 0);
  EXPECT_EQ(Anchos(f->DBGrid1), (std::vector<int>{80, 220, 90, 90, 1, 90, 90, 90, 90, 1}));
}

struct Renglon {
  std::string data, nombre;
  double debito, credito;
  bool operator==(const Renglon&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Renglon& r) {
  return o << "{" << r.data << "|" << r.nombre << "|" << r.debito << "|" << r.credito << "}";
}

TEST_F(Balances, CajaDiarioPorComprobanteEnmarcaCadaDocumento) {
  // Una línea cuya cuenta cortada no está en el plan no se lista pero sí suma al total.
  Linea("2026-01-20", "CE", "1", "1475", 0, 5);
  TFrmBalances* f = Ventana(4);
  f->RGComprobante->Visible = true;
  f->RGComprobante->ItemIndex = 1;
  EXPECT_TRUE(f->CajaDiario_Comprobante);
  Procesar(f);
  std::vector<Renglon> r;
  TTable* t = f->TblTemp2;
  for (t->First(); !t->Eof; t->Next())
    r.push_back({t->FieldByName("data")->AsString.str(), t->FieldByName("nombcuen")->AsString.str(),
                 static_cast<double>(t->FieldByName("debito")->AsFloat),
                 static_cast<double>(t->FieldByName("credito")->AsFloat)});
  std::vector<Renglon> esperado{
      {"", "CI  1  de: 10/01/2026", 0, 0},     {"110505", "CAJA GENERAL", 500, 0},
      {"417005", "MATRICULAS", 0, 500},        {"", "Totales", 500, 500},
      {"", "MEM  1  de: 15/01/2026", 0, 0},    {"810505", "BIENES RECIBIDOS", 50, 0},
      {"910505", "CONTRATOS FIRMADOS", 0, 50}, {"", "Totales", 50, 50},
      {"", "CE  1  de: 20/01/2026", 0, 0},     {"110505", "CAJA GENERAL", 0, 200},
      {"510505", "SUELDOS", 200, 0},           {"", "Totales", 200, 205},
      {"", "CE  2  de: 25/01/2026", 0, 0},     {"145", "MATERIALES", 10, 0},
      {"233505", "HONORARIOS", 0, 10},
      {"", "Totales", 10, 10}};
  EXPECT_EQ(r, esperado);
  EXPECT_TRUE(f->dbGridCajaDiarioComprobante->Visible);
  EXPECT_FALSE(f->DBGrid1->Visible);
  EXPECT_EQ(Anchos(f->dbGridCajaDiarioComprobante), (std::vector<int>{30, 260, 90, 90}));
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM baltempestados"), "0");
  // De vuelta a "Cuentas": la rejilla de cuentas vuelve con sus filas.
  f->RGComprobante->ItemIndex = 0;
  Procesar(f);
  EXPECT_TRUE(f->DBGrid1->Visible);
  EXPECT_FALSE(f->dbGridCajaDiarioComprobante->Visible);
  EXPECT_FALSE(Filas().empty());
}

// temp2 fila por fila y columna por columna, con el tipo de cada valor (los reales con todas
// sus cifras): la rejilla y el impreso la leen en este orden.
std::vector<std::string> Temp2(const std::string& libros) {
  auto conn = tv::db::ConnectionFor(libros.c_str());
  tv::db::Stmt st =
      conn->Prepare("SELECT fecha, descdocu, numedocu, data, nombcuen, debito, credito FROM temp2 ORDER BY rowid");
  std::vector<std::string> r;
  while (st.Step()) {
    std::string fila;
    for (int k = 0; k < 7; ++k) {
      tv::db::Cell c = st.Column(k);
      char real[32];
      std::snprintf(real, sizeof real, "%.17g", c.d);
      fila += k ? " " : "";
      fila += c.kind == tv::db::Cell::Null  ? std::string("NULL")
              : c.kind == tv::db::Cell::Int ? std::to_string(c.i)
              : c.kind == tv::db::Cell::Real ? std::string(real)
                                             : "'" + c.s + "'";
    }
    r.push_back(fila);
  }
  return r;
}

TEST_F(Balances, CajaDiarioPorComprobanteEscribeTemp2TalCual) {
  // Comprobante sin número, vacío y nulo: el mismo comprobante para el encabezado, el nulo
  // ordena primero y los totales son los del vacío.
  Linea("2026-01-05", "NB", "", "110505", 1, 0);
  Linea("2026-01-05", "NB", "", "417005", 0, 1);
  Ejecutar(libros, "INSERT INTO MVT (numecuen, descdocu, numedocu, fecha, debito, credito) "
                   "VALUES ('510505', 'NB', NULL, '2026-01-05', 3, 0)");
  // Un comprobante en dos fechas con otros en medio: encabezado y totales completos en cada tramo.
  // Tres cuentas que se cortan a 110505 suman en una fila, en el orden de las líneas
  // ((0,1 + 0,2) + 0,3 no es 0,6 exacto); 1475 no está en el plan.
  Linea("2026-01-12", "CE", "3", "11050501", 0.1, 0);
  Linea("2026-01-12", "CE", "3", "11050502", 0.2, 0);
  Linea("2026-01-12", "CE", "3", "110505", 0.3, 0);
  Linea("2026-01-12", "CE", "3", "1475", 0, 5);
  Linea("2026-01-22", "CE", "3", "510505", 0, 14.75);
  Cuenta("990505", "");  // nombre vacío: queda nulo
  Linea("2026-01-22", "CE", "3", "990505", 0, 0.25);
  // Ninguna cuenta en el plan: ni encabezado ni totales.
  Linea("2026-01-18", "NC", "1", "999999", 1, 0);
  Linea("2026-01-18", "NC", "1", "999998", 0, 1);
  // Dos fechas seguidas del mismo comprobante: un solo encabezado con la primera.
  Linea("2026-01-30", "ND", "1", "110510", 40, 0);
  Linea("2026-01-31", "ND", "1", "111005", 0, 40);
  TFrmBalances* f = Ventana(4);
  f->RGComprobante->ItemIndex = 1;
  Procesar(f);
  EXPECT_EQ(ui->messageTexts(), "");
  std::vector<std::string> esperado{
      "NULL NULL NULL NULL 'NB    de: 05/01/2026' NULL NULL",
      "'2026-01-05' 'NB' NULL '510505' 'SUELDOS' 3 0",
      "'2026-01-05' 'NB' NULL '110505' 'CAJA GENERAL' 1 0",
      "'2026-01-05' 'NB' NULL '417005' 'MATRICULAS' 0 1",
      "NULL NULL NULL NULL 'Totales' 1 1",
      "NULL NULL NULL NULL 'CI  1  de: 10/01/2026' NULL NULL",
      "'2026-01-10' 'CI' '1' '110505' 'CAJA GENERAL' 500 0",
      "'2026-01-10' 'CI' '1' '417005' 'MATRICULAS' 0 500",
      "NULL NULL NULL NULL 'Totales' 500 500",
      "NULL NULL NULL NULL 'CE  3  de: 12/01/2026' NULL NULL",
      "'2026-01-12' 'CE' '3' '110505' 'CAJA GENERAL' 0.60000000000000009 0",
      "NULL NULL NULL NULL 'Totales' 0.60000000000000009 20",
      "NULL NULL NULL NULL 'MEM  1  de: 15/01/2026' NULL NULL",
      "'2026-01-15' 'MEM' '1' '810505' 'BIENES RECIBIDOS' 50 0",
      "'2026-01-15' 'MEM' '1' '910505' 'CONTRATOS FIRMADOS' 0 50",
      "NULL NULL NULL NULL 'Totales' 50 50",
      "NULL NULL NULL NULL 'CE  1  de: 20/01/2026' NULL NULL",
      "'2026-01-20' 'CE' '1' '110505' 'CAJA GENERAL' 0 200",
      "'2026-01-20' 'CE' '1' '510505' 'SUELDOS' 200 0",
      "NULL NULL NULL NULL 'Totales' 200 200",
      "NULL NULL NULL NULL 'CE  3  de: 22/01/2026' NULL NULL",
      "'2026-01-22' 'CE' '3' '510505' 'SUELDOS' 0 14.75",
      "'2026-01-22' 'CE' '3' '990505' NULL 0 0.25",
      "NULL NULL NULL NULL 'Totales' 0.60000000000000009 20",
      "NULL NULL NULL NULL 'CE  2  de: 25/01/2026' NULL NULL",
      "'2026-01-25' 'CE' '2' '145' 'MATERIALES' 10 0",
      "'2026-01-25' 'CE' '2' '233505' 'HONORARIOS' 0 10",
      "NULL NULL NULL NULL 'Totales' 10 10",
      "NULL NULL NULL NULL 'ND  1  de: 30/01/2026' NULL NULL",
      "'2026-01-30' 'ND' '1' '110510' 'CAJA MENOR' 40 0",
      "'2026-01-31' 'ND' '1' '111005' 'BANCO UNO' 0 40",
      "NULL NULL NULL NULL 'Totales' 40 40"};
  EXPECT_EQ(Temp2(libros), esperado);

  // Sin filas que mostrar (sin líneas, o solo cuentas fuera del plan): el aviso, y temp2
  // sigue con lo de la corrida anterior.
  Linea("2026-03-10", "NC", "2", "999999", 1, 0);
  for (const char* mes : {"04", "03"}) {
    SCOPED_TRACE(mes);
    ui->takeMessages();
    f->EdFechaInicio->Text = std::string("01/") + mes + "/2026";
    f->EdFechaFinal->Text = std::string("30/") + mes + "/2026";
    Procesar(f);
    EXPECT_EQ(ui->lastMessage(), "No Hay Información para mostrar.");
    EXPECT_EQ(Temp2(libros), esperado);
  }
}

TEST_F(Balances, CajaDiarioPorComprobanteSinLineasAvisa) {
  TFrmBalances* f = Ventana(4);
  f->RGComprobante->ItemIndex = 1;
  f->EdFechaInicio->Text = "01/03/2026";
  f->EdFechaFinal->Text = "31/03/2026";
  Procesar(f);
  EXPECT_EQ(ui->lastMessage(), "No Hay Información para mostrar.");
}

std::string Leer(const std::string& ruta) {
  std::ifstream in(ruta);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(Balances, ExportaLosCamposDeCadaInforme) {
  struct Caso {
    int llamado;
    const char* archivo;
    const char* campos;
    const char* primera;
  };
  const char* ocho = "Numecuen;NombCuen;SaldoDebito;SaldoCredito;Debito;Credito;NuevoDebito;NuevoCredito;";
  const char* tres = "Numecuen;NombCuen;NuevoSaldo;";
  for (Caso c : {Caso{1, "balance.csv", tres, "1;ACTIVO;1310"},
                 Caso{2, "balancePrueba.csv", ocho, "1;ACTIVO;1000;0;510;200;1310;0"},
                 Caso{3, "PyG.csv", tres, "4;INGRESOS;-500"},
                 Caso{4, "CajaDiario.csv", ocho, "1;ACTIVO;1000;0;510;200;1510;200"},
                 Caso{5, "MayorBalance.csv", ocho, "1;ACTIVO;1000;0;510;200;1310;0"}}) {
    SCOPED_TRACE(c.archivo);
    TFrmBalances* f = Ventana(c.llamado);
    f->RBTodo->Checked = true;
    Procesar(f);
    std::string ruta = dir + "/" + c.archivo;
    ui->answerDialog(ruta.c_str());
    f->btnExportarClick(f);
    EXPECT_EQ(f->SaveDialog1->FileName, ruta.c_str());
    EXPECT_EQ(ui->lastMessage(), "Exportación terminada.");
    std::string texto = Leer(ruta);
    // Separador, nombres de los campos y la primera fila.
    std::vector<std::string> lineas;
    for (size_t i = 0, j; lineas.size() < 3 && (j = texto.find("\r\n", i)) != std::string::npos; i = j + 2)
      lineas.push_back(texto.substr(i, j - i));
    ASSERT_EQ(lineas.size(), 3u);
    EXPECT_EQ(lineas[1], c.campos);
    EXPECT_EQ(lineas[2], c.primera);
  }
  // Tras un listado por comprobante no queda nada que exportar.
  TFrmBalances* f = Ventana(4);
  f->RGComprobante->ItemIndex = 1;
  Procesar(f);
  f->btnExportarClick(f);
  EXPECT_EQ(ui->lastMessage(),
            "No hay información para exportar. \nPrimero genere el informe pulsando el botón aceptar.");
}

}  // namespace
}  // namespace balances_test
