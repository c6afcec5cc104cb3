// Diálogo de firmantes, papel, ayuda y fechas de la ventana de balances.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "BalancesFixture.h"
#include "app/DataModule.h"
#include "app/Sesion.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmDatosInforme.h"

namespace balances_test {
namespace {

TEST_F(Balances, FirmantesVistaPreviaYGuardadoAlSalirDelCampo) {
  auto d = std::make_unique<TFrmDatosInforme>(nullptr);
  FrmDatosInforme = d.get();
  d->Show();
  EXPECT_EQ(d->LSC1->Caption + "|" + d->LSC2->Caption + "|" + d->LSC3->Caption, "Tallivar|Revisor Fiscal|Gerente");
  EXPECT_EQ(d->Edit2->Text.get() + "|" + d->Edit4->Text.get() + "|" + d->Edit6->Text.get(),
            "Gerente|Revisor Fiscal|Tallivar");
  ui->now(d.get()).type("Edit1", "Ana").focus("Edit3");
  EXPECT_EQ(d->LC1->Caption, "Ana");
  EXPECT_EQ(Valor(libros, "SELECT NCargo1 FROM ConfigContab"), "Ana");
  ui->now(d.get()).set("Edit2", "Rectora").focus("Edit1");
  EXPECT_EQ(d->LSC1->Caption, "Rectora");
  EXPECT_EQ(Valor(libros, "SELECT ICargo1 FROM ConfigContab"), "Rectora");
  // Un campo vaciado no borra lo guardado.
  ui->now(d.get()).set("Edit1", "").focus("Edit5");
  EXPECT_EQ(Valor(libros, "SELECT NCargo1 FROM ConfigContab"), "Ana");
  d->Hide();
  FrmDatosInforme = nullptr;
}

TEST_F(Balances, FirmantesAbrenBalanceYResultados) {
  ui->onModal("TFrmBalances")
      .run([](TForm& f) {
        auto& b = static_cast<TFrmBalances&>(f);
        EXPECT_EQ(b.Caption, "Balance General");
        EXPECT_EQ(b.Llamado, 1);
        EXPECT_TRUE(b.ChBCierre->Visible);
        EXPECT_FALSE(b.Panel1->Visible);
      })
      .click("Salir");
  ui->onModal("TFrmBalances")
      .run([](TForm& f) {
        auto& b = static_cast<TFrmBalances&>(f);
        EXPECT_EQ(b.Caption, "Estado de Perdidas y Ganancias");
        EXPECT_EQ(b.Llamado, 3);
        EXPECT_FALSE(b.ChBCierre->Visible);
      })
      .click("Salir");
  ui->onModal("TFrmDatosInforme").click("Balance").click("P y G").click("Cancelar");
  auto d = std::make_unique<TFrmDatosInforme>(nullptr);
  d->ShowModal();
  EXPECT_EQ(ui->unused(), "");
}

TEST_F(Balances, VentanaAbreConElUltimoPeriodoYAyudaPorInforme) {
  FechasInf = GFechas{"01/03/2026", "31/03/2026"};
  struct Caso {
    int llamado;
    const char* pagina;
  };
  std::filesystem::create_directories(dir + "/help");
  for (const char* p : {"inf_balgeneral.html", "inf_balprueba.html", "inf_pyg.html", "inf_cajadiario.html",
                        "inf_maybalance.html"})
    std::ofstream(dir + "/help/" + p) << "<html></html>";
  for (Caso c : {Caso{1, "inf_balgeneral.html"}, Caso{2, "inf_balprueba.html"}, Caso{3, "inf_pyg.html"},
                 Caso{4, "inf_cajadiario.html"}, Caso{5, "inf_maybalance.html"}}) {
    auto f = std::make_unique<TFrmBalances>(nullptr);
    f->Llamado = c.llamado;
    EXPECT_EQ(f->EdFechaInicio->Text, "01/03/2026");
    EXPECT_EQ(f->EdFechaFinal->Text, "31/03/2026");
    Word f1 = VK_F1;
    f->FormKeyDown(f.get(), f1, {});
    ASSERT_FALSE(ui->launches().empty());
    EXPECT_GT(ui->launches().back().target.Pos(c.pagina), 0) << c.pagina;
  }
}

TEST_F(Balances, PeriodoRechazadoNoCorreElMotor) {
  TFrmBalances* f = Ventana(2);
  f->EdFechaFinal->Text = "31/13/2026";
  Procesar(f);
  EXPECT_GT(ui->lastMessage().Pos("Fecha"), 0);
  EXPECT_TRUE(f->btnImprimir->Enabled);
  EXPECT_EQ(Valor(libros, "SELECT count(*) FROM baltempestados"), "0");
}

}  // namespace
}  // namespace balances_test

namespace balances_test {
namespace {

TEST_F(Balances, LetraEscogidaParaElBalanceDePrueba) {
  TFrmBalances* f = Ventana(2);
  EXPECT_TRUE(f->btnFuente->Visible);
  ui->answerFont("Tahoma", 10, {}, clBlack);
  f->btnFuente->Click();
  EXPECT_TRUE(f->letraPersonalizada);
  EXPECT_EQ(f->lblTipoLetra->Caption, "Tahoma 10");
  ui->cancelDialog();
  f->btnFuente->Click();
  EXPECT_FALSE(f->letraPersonalizada);
}

}  // namespace
}  // namespace balances_test
