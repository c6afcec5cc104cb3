// Los maestros en el escritorio: plan de cuentas con sus diálogos de cuenta, el explorador en
// sus cuatro tablas con el diálogo de terceros y su listado impreso, los diálogos de fila
// nueva y de cambio, el kárdex con una tarjeta y el informe de centros de costo con resultado.
#include <deque>
#include <set>
#include <string>

#include "gui/Survey.h"
#include "ledger/FrmCentroCostos.h"
#include "ledger/FrmKardex.h"
#include "ledger/FrmModifCuenta.h"
#include "ledger/FrmPlan.h"
#include "ledger/FrmTablas.h"
#include "app/DataModule.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"

namespace survey {
namespace {

wxWindow* Preview() {
  for (wxWindow* w : wxTopLevelWindows)
    if (w->GetName() == "tvPreview" && w->IsShown()) return w;
  return nullptr;
}

TEST_F(SurveyTest, MasterFormsReadWellOnTheDesktop) {
  auto libros = tv::db::ConnectionFor(libros_.c_str());
  libros->Exec("INSERT INTO TC (CedulaNIT, nombre, direccion, telefono, razonSocial) VALUES "
               "('900123', 'PROVEEDOR UNO', 'CALLE 1 # 2-3', '3100000', 'PROVEEDOR UNO S.A.S.'), "
               "('79111', 'PEÑA  ANA ', 'no', 'no', NULL)");
  libros->Exec("INSERT INTO CC (CodiCent, NombCent) VALUES ('ADM', 'Administración'), ('ACA', 'Académico')");
  libros->Exec("INSERT OR IGNORE INTO PL (numecuen, nombcuen) VALUES ('143505', 'Muebles y enseres'), "
               "('510506', 'Arrendamientos')");
  libros->Exec("UPDATE PL SET Cantidad='S', unidades='und' WHERE numecuen='143505'");
  libros->Exec("INSERT INTO MVT (numecuen, cedulanit, detalle, debito, credito, Cantidad, centcost, descdocu, "
               "numedocu, fecha) VALUES "
               "('143505', '900123', 'Compra de pupitres', 500000, 0, 20, 'ACA', 'CE', '3', '2026-02-09'), "
               "('143505', '900123', 'Entrega a salones', 0, 200000, -8, 'ACA', 'CE', '4', '2026-02-20'), "
               "('510506', '900123', 'Arriendo sede', 800000, 0, NULL, 'ADM', 'CE', '5', '2026-02-25')");

  int previas = 0, visto = 0;
  wxTimer cierre;
  cierre.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxWindow* pv = Preview();
    if (!pv) return void(visto = 0);
    if (++visto < 4) return;
    visto = 0;
    Screenshot("TFrmRptTerceros_vista" + std::to_string(++previas));
    pv->Close();
  });
  cierre.Start(150);

  std::deque<std::function<void(TForm*)>> steps;
  for (const char* item : {"Plan1", "Terceros2", "Documentos3", "Soporte1", "CentrodeCostos1", "Kardex1",
                           "CentrosdeCosto1"})
    steps.push_back(MenuStep(item));
  steps.push_back([](TForm* main) {
    DM->TblPlan->First();
    auto* m = new TFrmModifCuenta(main);
    m->ShowModal();
    delete m;
  });

  std::map<std::string, Pilot::Action> actions;
  int plan = 0;
  actions["TFrmPlan"] = [&plan](TForm* f) {
    auto* p = static_cast<TFrmPlan*>(f);
    if (plan++ == 0) {
      wxTheApp->CallAfter([p] { p->BtnNuevo->UserClick(); });
      return true;
    }
    Cancel(f);
    // Sigue activa: el siguiente formulario de la misma clase puede ocupar la misma dirección.
    return true;
  };
  // Lo que hace el explorador en cada aparición, tabla por tabla.
  int tablas = 0;
  actions["TFrmTablas"] = [&tablas](TForm* f) {
    auto* t = static_cast<TFrmTablas*>(f);
    std::string que;
    switch (tablas++) {
      case 0: que = "nuevo"; break;         // terceros
      case 1: que = "imprimir"; break;
      case 2: que = "cerrar"; break;
      case 3: que = "nuevo"; break;         // comprobantes
      case 4: que = "modificar"; break;
      case 5: que = "cerrar"; break;
      case 6: que = "modificar"; break;     // soportes
      case 7: que = "cerrar"; break;
      case 8: que = "nuevo"; break;         // centros de costo
      default: que = "cerrar"; break;
    }
    Look(f, "TFrmTablas_" + t->Caption.str() + "_" + std::to_string(tablas));
    if (que == "cerrar") {
      Cancel(f);
      return true;
    }
    TBitBtn* b = que == "nuevo" ? t->BtnNuevo : que == "modificar" ? t->BtnModificar : t->BtnPrint;
    wxTheApp->CallAfter([b] { b->UserClick(); });
    return true;
  };
  int kardex = 0;
  actions["TFrmKardex"] = [&kardex](TForm* f) {
    auto* k = static_cast<TFrmKardex*>(f);
    if (kardex++ == 0) {
      k->EdICuenta->UserSetText("1435");
      k->EdFechaInicio->UserSetText("01/02/2026");
      k->EdFechaFinal->UserSetText("28/02/2026");
      k->BtnAceptar->UserClick();
      Look(f, "TFrmKardex_tarjeta");
      return true;
    }
    Cancel(f);
    // Sigue activa: el siguiente formulario de la misma clase puede ocupar la misma dirección.
    return true;
  };
  int centros = 0;
  actions["TFrmCentroCostos"] = [&centros](TForm* f) {
    auto* c = static_cast<TFrmCentroCostos*>(f);
    if (centros++ == 0) {
      c->EdFechaInicio->UserSetText("01/02/2026");
      c->EdFechaFinal->UserSetText("28/02/2026");
      c->BtnAceptar->UserClick();
      Look(f, "TFrmCentroCostos_resultado");
      return true;
    }
    Cancel(f);
    // Sigue activa: el siguiente formulario de la misma clase puede ocupar la misma dirección.
    return true;
  };
  auto looked = RunSurvey(std::move(steps),
                          {"TFrmNuevaCuenta", "TFrmModifCuenta", "TFrmNuevoTercero", "TFrmNuevoCCostos_Docu_Sop",
                           "TfrmModiDocu", "TFrmModifCCostos_Docu_Sop"},
                          actions);
  cierre.Stop();
  for (const char* cls : {"TFrmPlan", "TFrmNuevaCuenta", "TFrmModifCuenta", "TFrmTablas", "TFrmNuevoTercero",
                          "TFrmNuevoCCostos_Docu_Sop", "TfrmModiDocu", "TFrmModifCCostos_Docu_Sop", "TFrmKardex",
                          "TFrmCentroCostos"})
    EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
  EXPECT_EQ(previas, 1);
  EXPECT_EQ(tablas, 10);
}

}  // namespace
}  // namespace survey
