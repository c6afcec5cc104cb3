// La orden de pago en el escritorio, nueva y guardada, y el explorador con sus cinco rejillas.
#include <deque>
#include <memory>
#include <string>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "payments/FrmExplOrdPago.h"
#include "payments/FrmOrdenPago.h"
#include "platform/db/DBTables.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

TEST_F(SurveyTest, PaymentOrderFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into asientosProgCfg (iAstoProg, nAstoProg, descDocu) values (71, 'Pago de servicios', '_OP')");
    Sql("insert into asientosProg (iAstoProg, numeCuen, naturaleza) values (71, '510505', 'D'), "
        "(71, '111005', 'C'), (71, '236540', 'C')");
    Sql("insert into mvtCertDisp (icd, FechaExped, valor, rubroPptal) values (1, '2026-02-01', 5000, '2.1.1.01')");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, valor, objetoGasto) "
        "values (1, 1, '2026-02-10', 5000, 'Compra de papelería para las oficinas')");
    Sql("insert into mvtOrdenPago (iop, IRP, FechaExped, fechaVenc, valor, itercero, numeDocu, descdocu, iAstoProg, "
        "objetoGasto) values (1, 1, '2026-02-11', '2026-12-31', 300, '1', '1', '_OP', 71, 'Papel')");
    Sql("insert into mvtMaestro (descdocu, numedocu, fecha, valor, tipoAsiento) values ('_OP', '1', '2026-02-11', "
        "300, 'P')");
    Sql("insert into MVT (numecuen, descdocu, numedocu, fecha, debito, credito) values "
        "('510505', '_OP', '1', '2026-02-11', 300, NULL), ('111005', '_OP', '1', '2026-02-11', NULL, 280), "
        "('236540', '_OP', '1', '2026-02-11', NULL, 20)");
    Sql("insert into mvtMaestro (descdocu, numedocu, fecha, valor, op1) values ('CP', '10', '2026-02-20', 300, 1)");
    Sql("insert into MVT (numecuen, descdocu, numedocu, fecha, credito) values ('111005', 'CP', '10', '2026-02-20', "
        "300)");
    for (TTable* t : {DM->tblAsientosProgCfg, DM->tblAsientosProg, DM->tblMvtOrdenPago, DM->tblMvtRegPptal,
                      DM->tblMvtCertDisp, DM->tblMvtMaestro, DM->TblMovimiento})
      t->Refresh();
  });
  steps.push_back(MenuStep("Ordendepago1"));
  steps.push_back(MenuStep("rdenesdepago1"));
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmOrdenPago"] = [](TForm* f) {
    auto* o = static_cast<TfrmOrdenPago*>(f);
    // La orden guardada, cargada como al salir de sus dos números.
    o->edIRP->Text = "1";
    o->edIRP->Modified = true;
    o->edIRPExit(o->edIRP);
    o->edIordenPago->Text = "1";
    o->edIordenPago->Modified = true;
    o->edIordenPagoExit(o->edIordenPago);
    f->Repaint();
    Look(f, "TfrmOrdenPago_guardada");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {"TfrmExplOrdPago"}, actions);
  for (const char* cls : {"TfrmOrdenPago", "TfrmExplOrdPago"}) EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
