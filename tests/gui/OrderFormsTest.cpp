// Las órdenes y las consultas del presupuesto en el escritorio: movimiento de rubros,
// órdenes de servicio y de suministro con sus exploradores, artículos, renglones y resumen
// presupuestal (maximizado), cada uno con datos a la vista.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "budget/FrmArticulos.h"
#include "budget/FrmAuxiliaresPpto.h"
#include "budget/FrmExplOrdSum.h"
#include "budget/FrmExplOrdenServ.h"
#include "budget/FrmInformePptal.h"
#include "budget/FrmOrdenServicios.h"
#include "budget/FrmOrdenSuministro.h"
#include "gui/Survey.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "shared/general/SqlUtil.h"

namespace survey {
namespace {

void Sql(const char* texto) {
  std::unique_ptr<TQuery> q(new TQuery(nullptr));
  HagaSQL("Contabilidad", q.get(), texto);
}

TEST_F(SurveyTest, OrderFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  steps.push_back([](TForm*) {
    Sql("insert into TC (cedulaNit, nombre) values ('800123', 'Servicios Generales del Norte')");
    Sql("insert into MvtPptalMaestro (iMvtPptal, tipoMvtPptal, fecha, detalle, iUsuario) "
        "values ('AP1', 'APR', '01/02/2026', 'Presupuesto inicial', 'gestordelibro')");
    Sql("insert into mvtPptal (iMvtPptal, tipoMvtPptal, icuenta, tipoCuenta, ingreso, egreso) "
        "values ('AP1', 'APR', '2.3.2', 'E', 0, 1500000)");
    Sql("insert into mvtCertDisp (icd, FechaExped, valor, rubroPptal) values (1, '02/02/2026', 400000, '2.3.2')");
    Sql("insert into mvtRegPptal (irp, ICD, FechaExped, valor, itercero) values (1, 1, '03/02/2026', 400000, '800123')");
    Sql("insert into mvtOrdenPago (iop, IRP, FechaExped, valor) values (1, 1, '04/02/2026', 300000)");
    Sql("insert into mvtMaestro (descdocu, numedocu, fecha, valor, op1) values ('CP', '1', '05/02/2026', 300000, 1)");
    Sql("insert into mvtOrdenServicio (iOrdenServicio, Fecha, itercero, descServicio, irp, valor) values "
        "(3, '01/03/2026', '800123', 'Mantenimiento preventivo de los equipos de la sala de sistemas', 1, 250000)");
    Sql("insert into articulos (iArticulo, nArticulo) values ('P01', 'Resma papel carta'), ('T02', 'Tinta negra')");
    Sql("insert into mvtOrdenSumiMaestro (iOrdenSuministro, Fecha, itercero, detalle, qItems, valorTotal, irp) "
        "values (4, '03/02/2026', '800123', 'Papelería del primer trimestre', 2, 170000, 1)");
    Sql("insert into mvtOrdenSuministro (iOrdenSuministro, iArticulo, cantidad, valorUnit) values "
        "(4, 'P01', 10, 12000), (4, 'T02', 2, 25000)");
    DM->tblMvtOrdenServicio->Refresh();
    DM->tblMvtOrdenSumiMaestro->Refresh();
    DM->tblArticulos->Refresh();
  });
  for (const char* item : {"Informesdepresupuesto1", "Ordenesdeservicio2", "Resumenpresupuestal1",
                           "rdenesdesuministro1", "Artculos1"})
    steps.push_back(MenuStep(item));
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmOrdenServicios> o(new TfrmOrdenServicios(f));
    frmOrdenServicios = o.get();
    o->edIordenServicio->Text = "3";
    o->setNuevo(false);
    o->ShowModal();
    frmOrdenServicios = nullptr;
  });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmOrdenSuministro> o(new TfrmOrdenSuministro(f));
    frmOrdenSuministro = o.get();
    o->edIordenSuministro->Text = "4";
    o->setNuevo(false);
    o->ShowModal();
    frmOrdenSuministro = nullptr;
  });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmOrdenSumDlle> o(new TfrmOrdenSumDlle(f));
    o->iOrdenSuministro = 4;
    o->ShowModal();
  });
  auto periodo = [](TFrmConPeriodo* p) {
    p->EdFechaInicio->UserSetText("01/01/2026");
    p->EdFechaFinal->UserSetText("31/12/2026");
  };
  std::map<std::string, Pilot::Action> actions;
  actions["TfrmAuxiliaresPpto"] = [periodo](TForm* f) {
    auto* a = static_cast<TfrmAuxiliaresPpto*>(f);
    periodo(a);
    a->EdICuenta->UserSetText("2.3.2");
    a->BtnAceptar->UserClick();
    Look(f, "TfrmAuxiliaresPpto_rubro");
    Cancel(f);
    return false;
  };
  actions["TfrmExplOrdenServ"] = [periodo](TForm* f) {
    auto* e = static_cast<TfrmExplOrdenServ*>(f);
    periodo(e);
    e->btnMostrar->UserClick();
    Look(f, "TfrmExplOrdenServ_ordenes");
    Cancel(f);
    return false;
  };
  actions["TfrmInformePptal"] = [periodo](TForm* f) {
    auto* i = static_cast<TfrmInformePptal*>(f);
    periodo(i);
    i->BtnAceptar->UserClick();
    Look(f, "TfrmInformePptal_gasto");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps),
                          {"TfrmOrdenServicios", "TfrmOrdenSuministro", "TfrmExplOrdSum", "TfrmArticulos",
                           "TfrmOrdenSumDlle"},
                          actions);
  for (const char* cls : {"TfrmAuxiliaresPpto", "TfrmExplOrdenServ", "TfrmInformePptal", "TfrmOrdenServicios",
                          "TfrmOrdenSuministro", "TfrmExplOrdSum", "TfrmArticulos", "TfrmOrdenSumDlle"})
    EXPECT_TRUE(looked.count(cls)) << cls;
}

}  // namespace
}  // namespace survey
