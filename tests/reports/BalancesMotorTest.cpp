// Motor de saldos: acumulación por prefijo, cuentas omitidas, reglas de cero, columnas
// brutas y netas, modo breve y cortes de nivel.
#include <gtest/gtest.h>

#include "BalancesFixture.h"
#include "support/SoloLectura.h"
#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/ComCtrls.h"
#include "reports/FrmMessage.h"

namespace balances_test {
namespace {

using Codigos_t = std::vector<std::string>;

TEST_F(Balances, AcumulaPorPrefijoYOmiteAuxiliaresSinLineas) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  Procesar(f);
  // 110510 no tiene líneas; 111005 y 1110 solo las tienen en febrero.
  EXPECT_EQ(Codigos(), (Codigos_t{"1", "11", "1105", "110505", "14", "145", "2", "23", "2335", "233505", "3", "31",
                                  "3105", "310505", "4", "41", "4170", "417005", "5", "51", "5105", "510505", "8",
                                  "81", "8105", "810505", "9", "91", "9105", "910505"}));
  auto filas = Filas();
  for (const char* c : {"11", "1105", "110505"}) {
    const Fila* r = Buscar(filas, c);
    ASSERT_TRUE(r) << c;
    EXPECT_DOUBLE_EQ(r->saldoDebito, 1000) << c;
    EXPECT_DOUBLE_EQ(r->debito, 500) << c;
    EXPECT_DOUBLE_EQ(r->credito, 200) << c;
    EXPECT_DOUBLE_EQ(r->nuevoDebito, 1300) << c;  // neto
    EXPECT_DOUBLE_EQ(r->nuevoCredito, 0) << c;
    EXPECT_DOUBLE_EQ(r->nuevoSaldo, 1300) << c;
  }
  // "14" recoge las líneas de "145", un código más largo que empieza por él.
  EXPECT_DOUBLE_EQ(Buscar(filas, "14")->debito, 10);
  EXPECT_DOUBLE_EQ(Buscar(filas, "1")->debito, 510);
  const Fila* capital = Buscar(filas, "3");
  EXPECT_DOUBLE_EQ(capital->saldoCredito, 1000);
  EXPECT_DOUBLE_EQ(capital->nuevoCredito, 1000);
  EXPECT_DOUBLE_EQ(capital->nuevoSaldo, -1000);
}

TEST_F(Balances, SaldosEnCeroSoloAgreganCuentasConLineasOPadres) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  f->chbSaldosCero->Checked = true;
  Procesar(f);
  auto filas = Filas();
  ASSERT_TRUE(Buscar(filas, "1110"));
  ASSERT_TRUE(Buscar(filas, "111005"));
  EXPECT_DOUBLE_EQ(Buscar(filas, "111005")->nuevoSaldo, 0);
  EXPECT_FALSE(Buscar(filas, "110510"));  // auxiliar sin ninguna línea
}

TEST_F(Balances, ReglasDeCeroConYSinLaCasilla) {
  Cuenta("19", "OTROS");
  Cuenta("1905", "OTROS ACTIVOS");
  Cuenta("190505", "VARIOS");
  Linea("2025-12-30", "CSI", "2", "190505", 1000.004, 0);
  Linea("2025-12-30", "CSI", "2", "190505", 0, 1000);
  Cuenta("17", "DIFERIDOS");
  Cuenta("1705", "GASTOS PAGADOS");
  Cuenta("170505", "SEGUROS");
  Cuenta("170510", "ARRIENDOS");
  Linea("2025-12-30", "CSI", "3", "170505", 100, 0);
  Linea("2026-01-05", "CE", "3", "170505", 0, 100);
  Linea("2025-12-30", "CSI", "3", "170510", 100, 0);
  Linea("2026-01-05", "CE", "3", "170510", 0, 100.001);
  struct Caso {
    int llamado;
    bool iguales;
  };
  for (Caso c : {Caso{4, true}, Caso{4, false}, Caso{2, false}}) {
    TFrmBalances* f = Ventana(c.llamado);
    f->RBTodo->Checked = true;
    f->chbSaldosIguales->Checked = c.iguales;
    Procesar(f);
    auto filas = Filas();
    SCOPED_TRACE(c.llamado * 10 + c.iguales);
    const Fila* varios = Buscar(filas, "190505");
    const Fila* seguros = Buscar(filas, "170505");
    const Fila* arriendos = Buscar(filas, "170510");
    ASSERT_TRUE(seguros && arriendos);
    EXPECT_NEAR(arriendos->nuevoCredito - arriendos->nuevoDebito, 0.001, 1e-9);
    if (c.iguales) {
      EXPECT_FALSE(varios);  // anterior 1000.004 contra 1000: ceros y sin periodo
      EXPECT_EQ(seguros->nuevoDebito, 0);
      EXPECT_EQ(seguros->nuevoCredito, 0);
      EXPECT_DOUBLE_EQ(arriendos->nuevoDebito, 100);  // diferencia de 0.001: como se calculó
    } else if (c.llamado == 4) {
      ASSERT_TRUE(varios);
      EXPECT_DOUBLE_EQ(varios->saldoDebito, 1000.004);
      EXPECT_DOUBLE_EQ(varios->saldoCredito, 1000);
      EXPECT_DOUBLE_EQ(seguros->nuevoDebito, 100);
      EXPECT_DOUBLE_EQ(seguros->nuevoCredito, 100);
    } else {
      // Neto con sumas iguales: ambos lados muestran la suma.
      EXPECT_DOUBLE_EQ(seguros->nuevoDebito, 100);
      EXPECT_DOUBLE_EQ(seguros->nuevoCredito, 100);
      EXPECT_NEAR(varios->saldoDebito, 0.004, 1e-9);
      EXPECT_EQ(varios->saldoCredito, 0);
    }
  }
}

TEST_F(Balances, ModoBreveListaSoloCuentasConLineasPropias) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  f->chbExpress->Checked = true;
  Procesar(f);
  EXPECT_EQ(Codigos(), (Codigos_t{"110505", "145", "233505", "310505", "417005", "510505", "810505", "910505"}));
  // Con "Dos Digitos" el corte quita todas las auxiliares.
  f->RBDos->Checked = true;
  Procesar(f);
  EXPECT_TRUE(Codigos().empty());
}

// La barra de avance llega al final con la última cuenta recorrida, también en modo breve.
TEST_F(Balances, LaBarraDeAvanceSeLlenaConLasCuentasRecorridas) {
  for (bool breve : {false, true}) {
    TFrmBalances* f = Ventana(2);
    f->chbExpress->Checked = breve;
    int posicion = 0, maximo = 0;
    ui->onRepaint = [&](TControl*) {
      if (!FrmMessage) return;
      posicion = FrmMessage->PBar->Position;
      maximo = FrmMessage->PBar->Max;
    };
    Procesar(f);
    ui->onRepaint = nullptr;
    EXPECT_GT(posicion, 0) << breve;
    EXPECT_EQ(posicion, maximo) << breve;
  }
}

TEST_F(Balances, ResultadosListaClasesMayoresQueTresConSuCorteDeNivel) {
  TFrmBalances* f = Ventana(3);
  f->RBTodo->Checked = true;
  Procesar(f);
  EXPECT_EQ(Codigos(), (Codigos_t{"4", "41", "4170", "417005", "5", "51", "5105", "510505", "8", "81", "8105",
                                  "810505", "9", "91", "9105", "910505"}));
  f->RBCuatro->Checked = true;
  Procesar(f);
  EXPECT_EQ(Codigos(), (Codigos_t{"4", "41", "4170", "5", "51", "5105", "8", "81", "8105", "9", "91", "9105"}));
  f->RBDos->Checked = true;
  Procesar(f);
  EXPECT_EQ(Codigos(), (Codigos_t{"4", "41", "5", "51", "8", "81", "9", "91"}));
}

TEST_F(Balances, SumasAntesYEntreYAvanceQueSeCierra) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  Procesar(f);
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM SaldosAntes"), "2");
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM SaldosEntre"), "7");
  EXPECT_EQ(Valor(libros, "SELECT Credito FROM SaldosEntre WHERE numecuen='417005'"), "500");
  // La ventana de avance no queda abierta tras la corrida.
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i)->ClassName(), "TFrmMessage");
}

TEST_F(Balances, CorridaQueFallaDejaLasTablasDeLaAnterior) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  Procesar(f);
  auto antes = Codigos();
  // Una tabla de trabajo que falta hace fallar la corrida a mitad de camino.
  Ejecutar(libros, "ALTER TABLE SaldosEntre RENAME TO SaldosEntreX");
  f->RBDos->Checked = true;
  EXPECT_ANY_THROW(f->BtnInformeClick(f));
  Ejecutar(libros, "ALTER TABLE SaldosEntreX RENAME TO SaldosEntre");
  EXPECT_EQ(Codigos(), antes);
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM SaldosAntes"), "2");
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i)->ClassName(), "TFrmMessage");
}

// Sobre libros de solo lectura el balance sale igual: sus tablas de trabajo no están en los libros.
TEST_F(Balances, ConLibrosDeSoloLecturaElBalanceSaleIgual) {
  TFrmBalances* f = Ventana(2);
  f->RBTodo->Checked = true;
  Procesar(f);
  auto esperado = Codigos();
  ASSERT_FALSE(esperado.empty());
  delete ventana_;
  FrmBalances = ventana_ = nullptr;
  prueba::LibrosDeSoloLectura solo(libros);
  if (!solo.Posible()) GTEST_SKIP() << "aquí no se puede montar";
  ASSERT_TRUE(DM->SoloLectura());
  ui->takeMessages();
  f = Ventana(2);
  f->RBTodo->Checked = true;
  Procesar(f);
  EXPECT_EQ(Codigos(), esperado) << ui->messageTexts().c_str();
  EXPECT_DOUBLE_EQ(Buscar(Filas(), "110505")->nuevoSaldo, 1300);
  delete ventana_;
  FrmBalances = ventana_ = nullptr;
}

}  // namespace
}  // namespace balances_test
