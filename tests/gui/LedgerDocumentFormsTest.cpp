// Las ventanas de comprobantes, cierre y mantenimiento de documentos en el escritorio: ver e
// imprimir con su lista y las dos vistas previas, el cierre, borrar (con F1), renumerar y
// renombrar, el cambio masivo con su vista previa y la búsqueda con resultados.
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "gui/Survey.h"
#include "ledger/FrmBorrarAsiento.h"
#include "ledger/FrmBuscar.h"
#include "ledger/FrmCambioMasivoCta.h"
#include "ledger/FrmVerImp.h"
#include "platform/db/Engine.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/DBGrids.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Launch.h"

namespace survey {
namespace {

wxWindow* Preview() {
  for (wxWindow* w : wxTopLevelWindows)
    if (w->GetName() == "tvPreview" && w->IsShown()) return w;
  return nullptr;
}

TEST_F(SurveyTest, DocumentFormsReadWellOnTheDesktop) {
  auto libros = tv::db::ConnectionFor(libros_.c_str());
  libros->Exec("INSERT INTO TC (CedulaNIT, nombre, direccion) VALUES ('900', 'PROVEEDOR UNO', 'CALLE 1 # 2-3')");
  libros->Exec("INSERT INTO MVT (numecuen, cedulanit, detalle, debito, credito, descdocu, numedocu, fecha) VALUES "
             "('510506', '900', 'Arriendo de marzo de la sede principal', 1500000, 0, 'CE', '15', '2026-03-09'), "
             "('110505', '900', 'Caja', 0, 1000000, 'CE', '15', '2026-03-09'), "
             "('111005', '900', 'Banco', 0, 500000, 'CE', '15', '2026-03-09'), "
             "('110505', '900', 'Matrículas', 800000, 0, 'IN', '7', '2026-03-10'), "
             "('416005', '900', 'Matrículas', 0, 800000, 'IN', '7', '2026-03-10')");
  libros->Exec("INSERT INTO mvtMaestro (descdocu, numedocu, fecha, valor, detalle) VALUES "
             "('CE', '15', '2026-03-09', 1500000, NULL), "
             "('IN', '7', '2026-03-10', 800000, 'Recaudo de matrículas del primer semestre')");
  std::filesystem::create_directories(prog_ / "help");
  if (!std::filesystem::exists(prog_ / "help" / "Asientoborrar.html"))
    std::ofstream(prog_ / "help" / "Asientoborrar.html") << "<html></html>";
  std::vector<tv::os::LaunchRequest> abiertos;
  tv::os::SetLaunchRecorder([&abiertos](const tv::os::LaunchRequest& r) { abiertos.push_back(r); });

  // Cada vista previa se mira y se cierra.
  int previas = 0;
  wxTimer cierre;
  int visto = 0;
  cierre.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxWindow* pv = Preview();
    if (!pv) {
      visto = 0;
      return;
    }
    if (++visto < 4) return;
    visto = 0;
    Screenshot("TFrmVerImp_vista" + std::to_string(++previas));
    pv->Close();
  });
  cierre.Start(150);

  std::deque<std::function<void(TForm*)>> steps;
  for (const char* item : {"VerImprimir1", "CierreAoi1", "Asiento1", "Renumerar1", "Renombrar1",
                           "Cambiomasivodeunacuenta1", "Buscarregistro1"})
    steps.push_back(MenuStep(item));

  std::map<std::string, Pilot::Action> actions;
  int paso = 0;
  actions["TFrmVerImp"] = [&paso](TForm* f) {
    auto* v = static_cast<TFrmVerImp*>(f);
    if (Preview()) return true;
    switch (paso++) {
      case 0:
        v->CBDocumentos->ItemIndex = v->CBDocumentos->Items->IndexOf("CE:COMPROBANTE DE EGRESO");
        v->edNumeDocu->UserSetText("15");
        wxTheApp->CallAfter([v] { v->btnImprimir->UserClick(); });
        return true;
      case 1:
        Look(f, "TFrmVerImp_lista");
        v->CBDocumentos->ItemIndex = v->CBDocumentos->Items->IndexOf("IN:RECIBO DE CAJA");
        v->edNumeDocu->UserSetText("7");
        wxTheApp->CallAfter([v] { v->btnImprimirClick(v); });
        return true;
      default: Cancel(f); return false;
    }
  };
  actions["TFrmBorrarAsiento"] = [](TForm* f) {
    auto* b = static_cast<TFrmBorrarAsiento*>(f);
    Word k = VK_F1;
    b->FormKeyDown(b, k, {});
    Cancel(f);
    return false;
  };
  actions["TfrmCambioMasivoCta"] = [](TForm* f) {
    auto* c = static_cast<TfrmCambioMasivoCta*>(f);
    c->edNumeCuen1->UserSetText("11%");
    c->edNumeCuen2->UserSetText("12");
    c->btnOnlyVer->UserClick();
    Look(f, "TfrmCambioMasivoCta_vista");
    Cancel(f);
    return false;
  };
  actions["TfrmBuscar"] = [](TForm* f) {
    auto* b = static_cast<TfrmBuscar*>(f);
    b->RG->UserSelect(1);
    b->edTexto->UserSetText("a");
    b->BitBtn1->UserClick();
    Look(f, "TfrmBuscar_resultados");
    Cancel(f);
    return false;
  };
  auto looked = RunSurvey(std::move(steps), {"TFrmCierreAnio", "TFrmRenumerar", "TFrmRenombrar"}, actions);
  cierre.Stop();
  tv::os::SetLaunchRecorder({});
  for (const char* cls : {"TFrmVerImp", "TFrmCierreAnio", "TFrmBorrarAsiento", "TFrmRenumerar", "TFrmRenombrar",
                          "TfrmCambioMasivoCta", "TfrmBuscar"})
    EXPECT_TRUE(looked.count(cls)) << cls << " was not seen";
  EXPECT_EQ(previas, 2);
  ASSERT_EQ(abiertos.size(), 1u);
  EXPECT_NE(abiertos[0].target.Pos("Asientoborrar.html"), 0);
}

}  // namespace
}  // namespace survey
