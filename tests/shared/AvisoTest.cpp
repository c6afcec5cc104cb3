#include <gtest/gtest.h>

#include "platform/forms/Headless.h"
#include "shared/dialogs/Aviso.h"

TEST(Aviso, BarraDeUnoAMilSeLlenaCon999Pasos) {
  tv::forms::HeadlessDriver ui;
  TAviso aviso;
  aviso.Inicie("Realizando la exportación...", true, true, 1, 1000, 1);
  ASSERT_NE(FrmAviso, nullptr);
  EXPECT_TRUE(FrmAviso->Showing());
  EXPECT_EQ(FrmAviso->Label1->Caption, "Realizando la exportación...");
  EXPECT_EQ(FrmAviso->Position, poScreenCenter);
  EXPECT_EQ(FrmAviso->BorderStyle, bsNone);
  EXPECT_EQ(FrmAviso->FormStyle, fsStayOnTop);
  for (int i = 0; i < 999; ++i) aviso.IncrProgBar();
  EXPECT_EQ(FrmAviso->ProgressBar1->Position, 1000);
  EXPECT_EQ(FrmAviso->ProgressBar1->Max, 1000);
  aviso.PutMsg("Exportación finalizada.");
  EXPECT_EQ(FrmAviso->Label1->Caption, "Exportación finalizada.");
  aviso.Termine();
  EXPECT_EQ(FrmAviso, nullptr);
  aviso.Termine();  // sin ventana no hace nada
}

TEST(Aviso, SinBarraQuedaVaciaDeCeroACien) {
  tv::forms::HeadlessDriver ui;
  TAviso aviso;
  aviso.Inicie("Por favor espere...", false, true, 1, 0, 1);
  EXPECT_EQ(FrmAviso->ProgressBar1->Min, 0);
  EXPECT_EQ(FrmAviso->ProgressBar1->Max, 100);
  EXPECT_EQ(FrmAviso->ProgressBar1->Position, 0);
  EXPECT_EQ(FrmAviso->Position, poDefaultPosOnly);
  aviso.Termine();
}
