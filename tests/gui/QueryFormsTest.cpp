// Las consultas, libros y listados en el escritorio: cada ventana con un resultado a la vista.
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "app/DataModule.h"
#include "gui/Survey.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/StdCtrls.h"
#include "reports/FrmExogena.h"
#include "reports/FrmInfComp.h"
#include "reports/FrmInfSop.h"
#include "reports/FrmLibroAuxiliar.h"
#include "reports/FrmLibros.h"
#include "reports/FrmMovimientos.h"

namespace survey {
namespace {

void Periodo(TFrmConPeriodo* f) {
  f->EdFechaInicio->UserSetText("01/01/2026");
  f->EdFechaFinal->UserSetText("31/01/2026");
}

TEST_F(SurveyTest, QueryFormsReadWellOnTheDesktop) {
  std::deque<std::function<void(TForm*)>> steps;
  // Unas líneas de enero con terceros, soportes y un documento sin encabezado.
  steps.push_back([](TForm*) {
    TQuery q(nullptr);
    q.DatabaseName = "Contabilidad";
    for (const char* sql :
         {"insert into pl (numecuen, nombcuen) values ('1105', 'CAJA')",
          "insert into pl (numecuen, nombcuen) values ('110505', 'CAJA GENERAL')",
          "insert into pl (numecuen, nombcuen) values ('2408', 'IVA POR PAGAR')",
          "insert into tc (cedulanit, nombre) values ('800123', 'PAPELERÍA ÑANDÚ LTDA')",
          "insert into mvt (numecuen, cedulanit, descdocu, numedocu, desccomp, numecomp, fecha, detalle, debito, credito) "
          "values ('110505', '800123', 'CE', '1', 'FAC', '77', '2026-01-10', 'Venta de contado', 1500000.5, 0)",
          "insert into mvt (numecuen, cedulanit, descdocu, numedocu, desccomp, numecomp, fecha, detalle, debito, credito) "
          "values ('2408', '800123', 'CE', '1', 'FAC', '77', '2026-01-10', 'IVA de la venta', 0, 1500000.5)",
          "insert into mvt (numecuen, cedulanit, descdocu, numedocu, fecha, detalle, debito, credito) "
          "values ('110505', '800123', 'NC', '4', '2026-01-20', 'Ajuste', 250, 0)"}) {
      q.SQL->SetText(sql);
      try {
        q.ExecSQL();
      } catch (EDBEngineError&) {
        // La cuenta ya estaba en el plan inicial.
      }
    }
    DM->TblPlan->Refresh();
    DM->TblTerceros->Refresh();
  });
  for (const char* item : {"Documentos2", "Comprobantes", "UnaCuenta1", "Todas1", "MovimientoGeneral1", "Saldo1",
                           "Movimiento1", "Libroauxiliar1", "Exgena1"})
    steps.push_back(MenuStep(item));

  std::set<std::string> corridos;
  auto correr = [&corridos](TForm* f, TBitBtn* aceptar, std::function<void()> llenar) {
    llenar();
    aceptar->UserClick();
    Look(f, f->ClassName().str() + "_resultado");
    corridos.insert(f->ClassName().str());
    Cancel(f);
    return false;
  };
  std::map<std::string, Pilot::Action> actions;
  actions["TFrmInfSop"] = [&](TForm* f) {
    auto* c = static_cast<TFrmInfSop*>(f);
    return correr(f, c->BtnAceptar, [c] { Periodo(c); });
  };
  actions["TFrmInfComp"] = [&](TForm* f) {
    auto* c = static_cast<TFrmInfComp*>(f);
    return correr(f, c->BtnAceptar, [c] { Periodo(c); });
  };
  actions["TFrmTercUnaCta"] = [&](TForm* f) {
    auto* c = static_cast<TFrmTercUnaCta*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->EdICuenta->UserSetText("110505");
      c->EdITercero->UserSetText("800123");
    });
  };
  actions["TFrmTercMovUnaCta"] = [&](TForm* f) {
    auto* c = static_cast<TFrmTercMovUnaCta*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->EdICuenta->UserSetText("1");
    });
  };
  actions["TFrmTercTodasCtas"] = [&](TForm* f) {
    auto* c = static_cast<TFrmTercTodasCtas*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->EdITercero->UserSetText("800123");
    });
  };
  actions["TFrmAuxiliares"] = [&](TForm* f) {
    auto* c = static_cast<TFrmAuxiliares*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->EdICuenta->UserSetText("11");
    });
  };
  actions["TFrmMovimientos"] = [&](TForm* f) {
    auto* c = static_cast<TFrmMovimientos*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->RG1->UserSelect(1);
      c->RG2->UserSelect(1);
      c->EdICuenta->UserSetText("1105");
      c->EdICuenta2->UserSetText("2408");
    });
  };
  // El libro auxiliar con filas abre la vista previa: aquí se mira el aviso de un periodo vacío.
  actions["TfrmLibroAuxiliar"] = [&](TForm* f) {
    auto* c = static_cast<TfrmLibroAuxiliar*>(f);
    return correr(f, c->BtnAceptar, [c] {
      Periodo(c);
      c->EdICuenta->UserSetText("9");
    });
  };
  actions["TfrmExogena"] = [&](TForm* f) {
    auto* c = static_cast<TfrmExogena*>(f);
    c->Memo1->UserSetText("2408%\n2436%");
    Look(f, "TfrmExogena_cuentas");
    corridos.insert("TfrmExogena");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {}, actions);
  for (const char* cls : {"TFrmInfSop", "TFrmInfComp", "TFrmTercUnaCta", "TFrmTercMovUnaCta", "TFrmTercTodasCtas",
                          "TFrmAuxiliares", "TFrmMovimientos", "TfrmLibroAuxiliar", "TfrmExogena"}) {
    EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
    EXPECT_TRUE(corridos.count(cls)) << cls << " did not run";
  }
}

}  // namespace
}  // namespace survey
