// El editor de asientos presupuestales a teclado, en el escritorio: número y fecha tecleados,
// rubro, tipo y valores escritos en las celdas con Enter entre una y otra; los totales de
// ingreso y egreso siguen a cada renglón.
#include <wx/grid.h>
#include <wx/uiaction.h>

#include <deque>
#include <string>
#include <vector>

#include "budget/FrmAsientosPptal.h"
#include "budget/FrmCertDisp.h"
#include "gui/Survey.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/Numeros.h"

namespace survey {
namespace {

void Type(const char* text) { wxUIActionSimulator().Text(text); }
void Enter() { wxUIActionSimulator().Char(WXK_RETURN); }

TEST_F(SurveyTest, BudgetEntryEditorTotalsFollowEachRowTypedWithEnter) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("AdicioReduccin1")};
  std::vector<std::string> ingresos, egresos, tipos;
  // Un paso por turno, cuando el anterior ya se vio en el modelo.
  struct Paso {
    std::function<bool(TfrmAsientosPptal*)> listo;
    std::function<void(TfrmAsientosPptal*)> hacer;
  };
  auto siempre = [](TfrmAsientosPptal*) { return true; };
  auto col = [](int c) { return [c](TfrmAsientosPptal* e) { return e->DBGrid1->SelectedIndex == c; }; };
  auto anotar = [&](TfrmAsientosPptal* e) {
    ingresos.push_back(e->lblIngreso->Caption.str());
    egresos.push_back(e->lblEgreso->Caption.str());
    tipos.push_back(e->tblAsientoPptal->FieldByName("tipoCuenta")->AsString().str());
  };
  std::vector<Paso> pasos = {
      {siempre, [](TfrmAsientosPptal* e) { ClickOn(e->edNumDoc); }},
      {[](TfrmAsientosPptal* e) { return e->ActiveControl == e->edNumDoc; }, [](TfrmAsientosPptal*) { Type("A7"); }},
      {siempre, [](TfrmAsientosPptal* e) { ClickOn(e->edFecha); }},
      {[](TfrmAsientosPptal* e) { return e->ActiveControl == e->edFecha; },
       [](TfrmAsientosPptal*) { wxUIActionSimulator().Char(WXK_HOME); }},
      {siempre, [](TfrmAsientosPptal*) { Type("15032026"); }},
      {[](TfrmAsientosPptal* e) { return e->edFecha->Text.get() == "15/03/2026"; },
       [](TfrmAsientosPptal* e) { ClickOn(e->BtnTraerCrear); }},
      {[](TfrmAsientosPptal* e) { return e->tblAsientoPptal->GetActive(); },
       [](TfrmAsientosPptal* e) { ClickCell(e->DBGrid1, 0, 0); }},
      {[](TfrmAsientosPptal* e) { return e->ActiveControl == e->DBGrid1; },
       [](TfrmAsientosPptal*) { wxUIActionSimulator().Char('n', wxMOD_CONTROL); }},
      {[](TfrmAsientosPptal* e) { return e->tblAsientoPptal->State == dsInsert; },
       [](TfrmAsientosPptal*) { Type("1.2.05"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(1), [](TfrmAsientosPptal*) { Type("I"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(2), [&](TfrmAsientosPptal* e) { anotar(e); Type("4000000"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(3), [](TfrmAsientosPptal*) { Enter(); }},
      {col(0), [&](TfrmAsientosPptal* e) { anotar(e); Type("2.3.2"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(1), [](TfrmAsientosPptal*) { Type("E"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(2), [&](TfrmAsientosPptal* e) { anotar(e); Enter(); }},
      {col(3), [](TfrmAsientosPptal*) { Type("6000000"); }},
      {siempre, [](TfrmAsientosPptal*) { Enter(); }},
      {col(0), [&](TfrmAsientosPptal* e) { anotar(e); Look(e, "TfrmAsientosPptal_tecleado"); }},
  };
  size_t paso = 0;
  int espera = 0;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmAsientosPptal"] = [&](TForm* f) {
    auto* e = static_cast<TfrmAsientosPptal*>(f);
    if (paso < pasos.size()) {
      if (!pasos[paso].listo(e) && ++espera < 100) return true;
      if (espera >= 100) Screenshot("TfrmAsientosPptal_paso" + std::to_string(paso));
      espera = 0;
      pasos[paso++].hacer(e);
      return true;
    }
    if (e->tblAsientoPptal->State == dsInsert) e->tblAsientoPptal->Cancel();
    Cancel(f);
    return false;
  };
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, pasos.size());
  std::string cero = Punto(0.0, 2), cuatro = Punto(4000000.0, 2), seis = Punto(6000000.0, 2);
  EXPECT_EQ(ingresos, (std::vector<std::string>{cero, cuatro, cuatro, cuatro}));
  EXPECT_EQ(egresos, (std::vector<std::string>{cero, cero, cero, seis}));
  EXPECT_EQ(tipos, (std::vector<std::string>{"I", "", "E", ""}));
}

// Enter tras escribir un valor en la rejilla del plan de caja del certificado pasa al mes
// siguiente: no graba el certificado (su botón "&Grabar" es el de por defecto).
TEST_F(SurveyTest, EnterInTheCertificatesCashPlanMovesToTheNextMonth) {
  NoLayoutChecks keys;  // the layout is for the survey tests
  std::deque<std::function<void(TForm*)>> steps{MenuStep("Certificadodisponibilidad1")};
  int paso = 0, espera = 0, grabados = 0;
  AnsiString valor;
  int columna = -1;
  bool abierta = false;
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmCertDisp"] = [&](TForm* f) {
    auto* c = static_cast<TfrmCertDisp*>(f);
    switch (paso) {
      case 0:
        c->btnAceptar->OnClick = [&, prev = c->btnAceptar->OnClick](TObject* s) {
          ++grabados;
          if (prev) prev(s);
        };
        ClickCell(c->stgPAC, 0, 1);
        ++paso;
        return true;
      case 1:
        if (!(c->ActiveControl == c->stgPAC && c->stgPAC->Col == 0 && c->stgPAC->Row == 1) && ++espera < 100)
          return true;
        Type("100");
        ++paso;
        return true;
      case 2:
        if (!static_cast<wxGrid*>(tv::gui::WidgetOf(c->stgPAC))->IsCellEditControlShown() && ++espera < 100)
          return true;
        Enter();
        ++paso;
        return true;
      case 3:
        if (c->stgPAC->Col != 1 && ++espera < 100) return true;
        valor = c->stgPAC->Cells[0][1];
        columna = c->stgPAC->Col;
        abierta = c->Showing();
        ++paso;
        Cancel(f);
        return false;
      default: return false;
    }
  };
  RunSurvey(std::move(steps), {}, actions);
  EXPECT_EQ(paso, 4);
  EXPECT_TRUE(abierta);
  EXPECT_EQ(columna, 1);
  EXPECT_EQ(valor.Pos("100"), 1) << valor.c_str();
  EXPECT_EQ(grabados, 0);
}

}  // namespace
}  // namespace survey
