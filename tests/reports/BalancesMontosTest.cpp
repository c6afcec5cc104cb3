// Los montos de los balances impresos: enteros hasta el más ancho, con su signo, dos
// decimales y los separadores del usuario, alineados a la derecha bajo su título y dentro de
// los márgenes; se leen del PDF con cada juego de separadores.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "BalancesFixture.h"
#include "impresos/Impresos.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/report/ReportUi.h"
#include "shared/general/Numeros.h"

namespace balances_test {
namespace {

class BalancesMontos : public Balances {
 protected:
  void SetUp() override {
    Balances::SetUp();
    tv::report::HeadlessUi().Clear();
    // Saldos de trece cifras, los más anchos que acepta el diario: la caja, una deuda negativa, ingresos y gastos.
    Linea("2026-01-28", "CE", "9", "110505", 9999999998000.0, 0);
    Linea("2026-01-28", "CE", "9", "233505", 0, 9999999998000.0);
    Linea("2026-01-29", "CI", "9", "510505", 9999999998000.0, 0);
    Linea("2026-01-29", "CI", "9", "417005", 0, 9999999998000.0);
  }
  const tv::report::PreparedReport& Imprimir(int llamado) {
    TFrmBalances* f = Ventana(llamado);
    f->RBTodo->Checked = true;
    Procesar(f);
    f->btnImprimirClick(f);
    return tv::report::HeadlessUi().Last()->report;
  }
  // El texto impreso igual a `t` en la primera página.
  static std::vector<const tv::report::TextItem*> Items(const tv::report::PreparedReport& r, const std::string& t) {
    std::vector<const tv::report::TextItem*> v;
    for (const auto& item : r.pages.at(0).items)
      if (const auto* x = std::get_if<tv::report::TextItem>(&item); x && x->text == t) v.push_back(x);
    return v;
  }
  // Ningún texto sale del papel menos 10 mm a cada lado.
  static void DentroDeMargenes(const tv::report::PreparedReport& r) {
    const double margen = 10 * 72 / 25.4 - 0.5;
    for (const auto& p : r.pages)
      for (const auto& item : p.items)
        if (const auto* x = std::get_if<tv::report::TextItem>(&item); x && !x->text.empty()) {
          EXPECT_GE(x->clip.x, margen) << x->text;
          EXPECT_LE(x->clip.Right(), r.width - margen) << x->text;
        }
  }
};

TEST_F(BalancesMontos, BalanceGeneralConSaldosEnterosYConSignoDentroDeLosMargenes) {
  for (const char* sep : {",", "."}) {
    SCOPED_TRACE(sep);
    impresos::Separadores(sep);
    impresos::Cortes cortes;
    const auto& r = Imprimir(1);
    std::string t = impresos::TextoPdf(r, dir + "/balance.pdf");
    for (double saldo : {9999999999300.0, -9999999998010.0, 9999999999310.0})
      EXPECT_NE(t.find(std::string(" ") + Punto(saldo, 2) + " "), std::string::npos) << Punto(saldo, 2) << "\n" << t;
    EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
    DentroDeMargenes(r);
    // El saldo bajo su título, ambos a la derecha.
    auto titulo = Items(r, "Saldo"), cifra = Items(r, Punto(9999999999300.0, 2));
    ASSERT_EQ(titulo.size(), 1u);
    ASSERT_FALSE(cifra.empty());
    EXPECT_EQ(cifra[0]->align, tv::report::HAlign::Right);
    EXPECT_NEAR(cifra[0]->box.Right(), titulo[0]->box.Right(), 0.5);
  }
}

TEST_F(BalancesMontos, PerdidasYGananciasConCifrasALaDerechaBajoSuTitulo) {
  for (const char* sep : {",", "."}) {
    SCOPED_TRACE(sep);
    impresos::Separadores(sep);
    impresos::Cortes cortes;
    const auto& r = Imprimir(3);
    std::string t = impresos::TextoPdf(r, dir + "/pyg.pdf");
    for (double v : {9999999998200.0, 9999999998500.0})
      EXPECT_NE(t.find(std::string(" ") + Punto(v, 2)), std::string::npos) << Punto(v, 2) << "\n" << t;
    EXPECT_TRUE(cortes.lista.empty()) << cortes.Texto();
    DentroDeMargenes(r);
    for (const auto& [titulo, cifra] : {std::pair<std::string, double>{"Debito", 9999999998200.0},
                                        std::pair<std::string, double>{"Credito", 9999999998500.0}}) {
      auto encabezado = Items(r, titulo), montos = Items(r, Punto(cifra, 2));
      ASSERT_EQ(encabezado.size(), 1u) << titulo;
      ASSERT_FALSE(montos.empty()) << Punto(cifra, 2);
      // Las filas de la clase, el grupo, la cuenta y la subcuenta, bajo su título; el
      // resumen las repite en su propia casilla.
      int bajoTitulo = 0;
      for (const auto* m : montos) {
        EXPECT_EQ(m->align, tv::report::HAlign::Right);
        if (std::abs(m->box.Right() - encabezado[0]->box.Right()) < 0.5) ++bajoTitulo;
      }
      EXPECT_EQ(bajoTitulo, 4) << titulo;
    }
  }
}

// Los demás balances impresos con las mismas cifras: ninguna sale cortada (lo vigila cada
// prueba) y el movimiento débito de la caja se lee entero.
TEST_F(BalancesMontos, DemasBalancesConLasCifrasMasAnchas) {
  for (const char* sep : {",", "."}) {
    SCOPED_TRACE(sep);
    impresos::Separadores(sep);
    for (int llamado : {2, 4, 5}) {
      SCOPED_TRACE(llamado);
      if (llamado == 4) ui->onModal("TFrmModImpresion").close();
      std::string t = impresos::TextoPdf(Imprimir(llamado), dir + "/balance" + std::to_string(llamado) + ".pdf");
      EXPECT_NE(t.find(Punto(9999999998500.0, 2)), std::string::npos) << t;
    }
  }
}

}  // namespace
}  // namespace balances_test
