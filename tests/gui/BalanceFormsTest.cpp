// Las ventanas de los balances en el escritorio: cada informe tras procesar, la rejilla por
// comprobante, el diálogo de firmantes, el de papel y la ventana de avance.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmBalances.h"
#include "reports/FrmDatosInforme.h"
#include "reports/FrmMessage.h"
#include "reports/FrmModImpresion.h"
#include "shared/general/Numeros.h"

namespace survey {
namespace {

// Cada cifra de la rejilla cabe en su columna, con su signo: ninguna se dibuja cortada.
void CifrasCaben(TFrmBalances* b) {
  TDBGrid* g = b->DBGrid1;
  TDataSet* bal = DM->TblBal;
  for (bal->First(); !bal->Eof; bal->Next())
    for (int i = 2; i < g->Columns->Count(); ++i) {
      TColumn* col = g->Columns->Items[i];
      if (col->Width <= 1) continue;
      AnsiString cifra = Punto(bal->FieldByName(col->FieldName)->AsFloat, 2);
      g->Canvas->Font->Assign(col->Font.get());
      EXPECT_LE(g->Canvas->TextWidth(cifra) + 4, col->Width)
          << "balance " << b->Llamado << ", " << col->FieldName.c_str() << ": " << cifra.c_str();
    }
  bal->First();
}

TEST_F(SurveyTest, BalanceFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  // Un plan corto y unas líneas de enero, para ver filas en cada informe; un pasivo de diez
  // cifras deja totales negativos anchos en la clase 2 y el grupo 21.
  steps.push_back([](TForm*) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    for (const char* sql :
         {"insert into pl (numecuen, nombcuen) values ('1', 'ACTIVO')",
          "insert into pl (numecuen, nombcuen) values ('11', 'DISPONIBLE')",
          "insert into pl (numecuen, nombcuen) values ('1105', 'CAJA')",
          "insert into pl (numecuen, nombcuen) values ('110505', 'CAJA GENERAL')",
          "insert into pl (numecuen, nombcuen) values ('4', 'INGRESOS')",
          "insert into pl (numecuen, nombcuen) values ('41', 'OPERACIONALES')",
          "insert into pl (numecuen, nombcuen) values ('4170', 'ENSEÑANZA')",
          "insert into pl (numecuen, nombcuen) values ('417005', 'MATRICULAS')",
          "insert into pl (numecuen, nombcuen) values ('2', 'PASIVOS')",
          "insert into pl (numecuen, nombcuen) values ('21', 'OPERACIONES DE CREDITO PUBLICO Y FINANCIAMIENTO CON BANCA')",
          "insert into pl (numecuen, nombcuen) values ('2105', 'FINANCIAMIENTO INTERNO DE CORTO PLAZO')",
          "insert into pl (numecuen, nombcuen) values ('210505', 'PRESTAMOS BANCA COMERCIAL')",
          "insert into pl (numecuen, nombcuen) values ('3', 'PATRIMONIO')",
          "insert into pl (numecuen, nombcuen) values ('31', 'PATRIMONIO DE LAS ENTIDADES DE GOBIERNO')",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('110505', 'CI', '1', '2026-01-10', 1500000, 0)",
          "insert into pl (numecuen, nombcuen) values ('3105', 'CAPITAL FISCAL')",
          "insert into pl (numecuen, nombcuen) values ('310505', 'CAPITAL FISCAL NACIONAL')",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('110505', 'CI', '3', '2026-01-12', 1000, 0)",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('310505', 'CI', '3', '2026-01-12', 0, 1000)",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('110505', 'CI', '2', '2026-01-11', 6255488917.63, 0)",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('210505', 'CI', '2', '2026-01-11', 0, 6255488917.63)",
          "insert into mvt (numecuen, descdocu, numedocu, fecha, debito, credito) "
          "values ('417005', 'CI', '1', '2026-01-10', 0, 1500000)"}) {
      q.SQL->SetText(sql);
      try {
        q.ExecSQL();
      } catch (Exception&) {
        // La cuenta ya estaba en el plan de la contabilidad inicial.
      }
    }
    DM->TblPlan->Refresh();
    DM->TblMovimiento->Refresh();
  });
  for (const char* item : {"BalanceGeneral1", "BalancedePrueba1", "MayoryBalance1", "CajaDiario1"})
    steps.push_back(MenuStep(item));
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmModImpresion> p(new TFrmModImpresion(nullptr));
    FrmModImpresion = p.get();
    p->ShowModal();
  });
  bool avance = false;
  steps.push_back([&avance](TForm* f) {
    std::unique_ptr<TFrmMessage> m(new TFrmMessage(f));
    FrmMessage = m.get();
    m->PBar->Max = 200;
    m->PBar->Position = 120;
    m->Label1->Caption = "110505";
    m->Show();
    m->Repaint();
    Look(m.get(), "TFrmMessage");
    avance = true;
    m->Hide();
  });
  int firmantes = 0;
  std::set<int> procesados;
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmDatosInforme"] = [&firmantes](TForm* f) {
    auto* d = static_cast<TFrmDatosInforme*>(f);
    ++firmantes;
    if (firmantes == 1) {
      d->Edit1->UserSetText("Ana Pérez");
      d->BitBtn1->UserClick();
      return true;
    }
    if (firmantes == 2) {
      d->BitBtn3->UserClick();
      return true;
    }
    Cancel(f);
    return false;
  };
  actions["TFrmBalances"] = [&procesados](TForm* f) {
    auto* b = static_cast<TFrmBalances*>(f);
    b->EdFechaInicio->UserSetText("01/01/2026");
    b->EdFechaFinal->UserSetText("31/12/2026");
    if (b->Llamado == 1) b->ChBCierre->Checked = true;
    b->BtnInforme->UserClick();
    Look(f, "TFrmBalances_" + std::to_string(b->Llamado));
    CifrasCaben(b);
    if (b->Llamado == 4) {
      b->RGComprobante->UserSelect(1);
      b->BtnInforme->UserClick();
      Look(f, "TFrmBalances_4_comprobantes");
    }
    procesados.insert(b->Llamado);
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {"TFrmModImpresion"}, actions);
  EXPECT_TRUE(avance);
  EXPECT_EQ(procesados, (std::set<int>{1, 2, 3, 4, 5}));
  for (const char* cls : {"TFrmDatosInforme", "TFrmBalances", "TFrmModImpresion"})
    EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
}

}  // namespace
}  // namespace survey
