#include "Entorno.h"
#include "platform/forms/Headless.h"
#include "shared/dialogs/Calendar.h"

namespace {
// Busca la celda de un día en la rejilla.
bool CeldaDelDia(TbcCalendar* g, int dia, int& col, int& fila) {
  for (fila = 1; fila < 7; ++fila)
    for (col = 0; col < 7; ++col)
      if (g->GetCellText(col, fila) == IntToStr(dia)) return true;
  return false;
}
}  // namespace

TEST(Calendario, PrimerDiaBajoSuDiaDeLaSemana) {
  tv::forms::HeadlessDriver ui;
  ResetFormatSettings();
  TForm f(nullptr);
  auto* g = Make<TbcCalendar>(&f, "bc");
  g->SetDateElement(3, 1);
  g->Year = 2024;
  g->Month = 1;  // 1 de enero de 2024: lunes
  EXPECT_EQ(g->GetCellText(0, 1), "1");
  EXPECT_EQ(g->GetCellText(0, 0), ShortDayNames[1]);
  EXPECT_EQ(g->GetCellText(6, 0), ShortDayNames[0]);
  g->Month = 9;  // 1 de septiembre de 2024: domingo
  EXPECT_EQ(g->MonthOffset(), -5);
  EXPECT_EQ(g->GetCellText(6, 1), "1");
  EXPECT_EQ(g->GetCellText(5, 1), "");
  EXPECT_EQ(g->GetCellText(0, 6), "30");
  g->StartOfWeek = 0;
  EXPECT_EQ(g->GetCellText(0, 1), "1");
  EXPECT_EQ(g->GetCellText(0, 0), ShortDayNames[0]);
  EXPECT_TRUE(g->IsLeapYear(2000));
  EXPECT_FALSE(g->IsLeapYear(1900));
  EXPECT_FALSE(g->IsLeapYear(2100));
  EXPECT_EQ(g->DaysPerMonth(2024, 2), 29);
  EXPECT_EQ(g->GetDateElement(4), -1);
  EXPECT_EQ(g->Version(), "1.01");
}

TEST(Calendario, ElDiaBajaCuandoElMesEsMasCorto) {
  tv::forms::HeadlessDriver ui;
  TForm f(nullptr);
  auto* g = Make<TbcCalendar>(&f, "bc");
  int cambios = 0;
  g->OnChange = [&](TObject*) { ++cambios; };
  g->Year = 2024;
  g->Month = 2;
  g->Day = 29;
  g->Year = 2023;
  EXPECT_EQ(g->GetDateElement(3), 28);
  g->Month = 1;
  g->Day = 31;
  g->Month = 4;
  EXPECT_EQ(g->GetDateElement(3), 30);
  EXPECT_EQ(g->Day, 30);
  g->Month = 13;
  g->Day = 0;
  g->Day = 31;
  EXPECT_EQ(g->CalendarDate(), EncodeDate(2023, 4, 30));
  EXPECT_EQ(cambios, 7);
  EXPECT_FALSE(g->UseCurrentDate);
}

TEST(Calendario, ClicEnCeldasVaciasNoCambiaNada) {
  tv::forms::HeadlessDriver ui;
  TForm f(nullptr);
  auto* g = Make<TbcCalendar>(&f, "bc");
  f.Show();
  g->Year = 2024;
  g->Month = 9;
  g->Day = 10;
  g->UserSelectCell(0, 1);  // celda vacía antes del 1
  EXPECT_EQ(g->GetDateElement(3), 10);
  g->UserSelectCell(2, 0);  // nombre del día
  EXPECT_EQ(g->GetDateElement(3), 10);
  int col, fila;
  ASSERT_TRUE(CeldaDelDia(g, 17, col, fila));
  g->UserSelectCell(col, fila);
  EXPECT_EQ(g->GetDateElement(3), 17);
  EXPECT_EQ(g->Col, col);
  EXPECT_EQ(g->Row, fila);
  // Domingo en rojo, el día elegido en blanco, los demás en negro.
  EXPECT_EQ(g->PaintCell(6, 2)->TextColor(), clRed);
  EXPECT_EQ(g->PaintCell(col, fila)->TextColor(), clWhite);
  EXPECT_EQ(g->PaintCell(1, 2)->TextColor(), clBlack);
  EXPECT_EQ(g->PaintCell(0, 0)->LastText(), ShortDayNames[1]);
}

TEST(SelectorDeFecha, AbreEnElAnioYMesDadosYEscribeLaFecha) {
  tv::forms::HeadlessDriver ui;
  ResetFormatSettings();
  ShortDateFormat = "d/M/yyyy";
  TForm dueno(nullptr);
  dueno.Left = 100;
  dueno.Top = 50;
  auto* edFecha = Make<TEdit>(&dueno, "EdFecha");
  edFecha->SetBounds(10, 20, 80, 21);
  FrmCalendar = new TFrmCalendar(&dueno);
  EXPECT_EQ(FrmCalendar->Left, 190);
  EXPECT_EQ(FrmCalendar->Top, 91);
  FrmCalendar->year = 2024;
  FrmCalendar->month = 3;
  ui.onModal("TFrmCalendar").run([](TForm& f) {
    auto* cal = static_cast<TFrmCalendar&>(f).bcCalendar1;
    EXPECT_EQ(f.Caption, LongMonthNames[2] + " 2024");
    int col, fila;
    ASSERT_TRUE(CeldaDelDia(cal, 5, col, fila));
    cal->UserSelectCell(col, fila);
  }).click("Aceptar");
  FrmCalendar->ShowModal();
  FrmCalendar->GetDateAsString(edFecha);
  EXPECT_EQ(edFecha->Text, "05/03/2024");
  EXPECT_EQ(ShortDateFormat, "dd/MM/yyyy");
  EXPECT_EQ(FrmCalendar->month, 3);
  delete FrmCalendar;
  FrmCalendar = nullptr;
  EXPECT_EQ(ui.unused(), "");
  ResetFormatSettings();
}

TEST(SelectorDeFecha, AnioIgualAlDelDisenoYTeclaEnter) {
  tv::forms::HeadlessDriver ui;
  ResetFormatSettings();
  FrmCalendar = new TFrmCalendar(nullptr);
  FrmCalendar->year = 2000;  // el texto del año ya dice 2000
  FrmCalendar->month = 2;
  ui.onModal("TFrmCalendar").key("bcCalendar1", VK_RETURN);
  FrmCalendar->ShowModal();
  EXPECT_EQ(FrmCalendar->bcCalendar1->GetDateElement(1), 2000);
  EXPECT_EQ(FrmCalendar->bcCalendar1->GetDateElement(2), 2);
  EXPECT_EQ(ui.unused(), "");
  delete FrmCalendar;
  FrmCalendar = nullptr;
}

TEST(SelectorDeFecha, CambiarMesYAnioSinDuenoConEdFecha) {
  tv::forms::HeadlessDriver ui;
  ResetFormatSettings();
  TForm dueno(nullptr);
  auto* ed = Make<TEdit>(&dueno, "EdOtra");
  FrmCalendar = new TFrmCalendar(&dueno);
  FrmCalendar->Left = 33;
  FrmCalendar->year = 2023;
  ui.onModal("TFrmCalendar")
      .pick("CBMes", 1)
      .run([](TForm& f) { static_cast<TFrmCalendar&>(f).UpDown1->UserClickButton(true); })
      .close();
  FrmCalendar->ShowModal();
  EXPECT_EQ(FrmCalendar->Left, 33);
  EXPECT_EQ(FrmCalendar->month, 2);
  EXPECT_EQ(FrmCalendar->Caption, LongMonthNames[1] + " 2024");
  FrmCalendar->GetDateAsString(ed);
  EXPECT_EQ(ed->Text.SubString(3, 9), "/02/2024");
  delete FrmCalendar;
  FrmCalendar = nullptr;
}
