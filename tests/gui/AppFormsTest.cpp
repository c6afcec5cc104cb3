// Every application form that exists, opened over a fresh installation in the desktop front
// end: the real start-up (splash, chooser, login, new password, main window), the
// administration forms from the main menu and the shared dialogs. Each one is checked for
// clipped, overlapping or cut-off controls and saved as a picture when TV_SCREENSHOTS names a
// folder.
#include <gtest/gtest.h>
#include <wx/wx.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "main/Arranque.h"
#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/FrmClaveAdmin.h"
#include "main/FrmMain.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "gui/Gui.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/forms/Vcl.h"
#include "platform/os/Process.h"
#include "platform/os/SingleInstance.h"
#include "shared/dialogs/Aviso.h"
#include "shared/dialogs/BuscTabla.h"
#include "shared/dialogs/Calendar.h"
#include "shared/dialogs/RepairDialog.h"

namespace {

namespace fs = std::filesystem;
using tv::gui::Pump;
using tv::gui::WidgetOf;

void Screenshot(const std::string& name) {
  const char* dir = std::getenv("TV_SCREENSHOTS");
  if (!dir || !*dir) return;
  Pump(100);
  std::string cmd = "import -window root '" + std::string(dir) + "/" + name + ".png'";
  if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "screenshot failed";
}

std::string NameOf(TControl* c) { return c->Name.IsEmpty() ? c->ClassName().str() : c->Name.str(); }

bool Decoration(TControl* c) {
  auto k = c->ControlKind();
  return k == TControlKind::Bevel || k == TControlKind::Shape;
}

// What a person would see as wrong: a window off the screen, controls cut by their
// container, controls on top of one another, captions that do not fit.
std::vector<std::string> LayoutProblems(TForm* form) {
  std::vector<std::string> out;
  wxTopLevelWindow* top = tv::gui::WindowOf(form);
  if (!top) return {"no window"};
  wxRect screen(wxPoint(0, 0), wxGetDisplaySize());
  if (!screen.Contains(top->GetScreenRect())) out.push_back("window off the screen");
  std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
    std::vector<std::pair<TControl*, wxRect>> kids;
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      wxWindow* w = WidgetOf(c);
      if (!w || !w->IsShownOnScreen()) continue;
      wxRect r = w->GetRect();
      wxSize room = w->GetParent()->GetClientSize();
      bool blank = (c->ControlKind() == TControlKind::Label && c->Caption.IsEmpty()) || Decoration(c);
      if (r.width <= 0 || r.height <= 0) {
        if (!blank) out.push_back(NameOf(c) + " has no size");
        continue;
      }
      if (r.x < 0 || r.y < 0 || r.GetRight() >= room.x + 1 || r.GetBottom() >= room.y + 1)
        out.push_back(NameOf(c) + " is cut by its container");
      auto k = c->ControlKind();
      bool text = k == TControlKind::Button || k == TControlKind::BitBtn || k == TControlKind::CheckBox ||
                  k == TControlKind::RadioButton;
      if (text && w->GetBestSize().x > r.width + 2) out.push_back(NameOf(c) + " caption does not fit");
      if (k == TControlKind::Label && !static_cast<TLabel*>(c)->WordWrap) {
        wxString t = wxStripMenuCodes(static_cast<wxStaticText*>(w)->GetLabel());
        int tw = 0, th = 0;
        w->GetTextExtent(t, &tw, &th);
        if (!t.empty() && (tw > r.width + 1 || th > r.height + 1)) out.push_back(NameOf(c) + " text does not fit");
      }
      if (!Decoration(c)) kids.emplace_back(c, r);
      if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->ControlCount() > 0) walk(wc);
    }
    for (size_t i = 0; i < kids.size(); ++i)
      for (size_t j = i + 1; j < kids.size(); ++j) {
        wxRect a = kids[i].second, b = kids[j].second;
        wxRect x = a.Intersect(b);
        if (x.width > 1 && x.height > 1)
          out.push_back(NameOf(kids[i].first) + " overlaps " + NameOf(kids[j].first));
      }
  };
  walk(form);
  return out;
}

// Looks at a form: its problems are failures; its picture is saved when asked.
void Look(TForm* form, const std::string& picture) {
  Pump(150);
  for (const std::string& p : LayoutProblems(form)) ADD_FAILURE() << form->ClassName().str() << ": " << p;
  Screenshot(picture);
}

TControl* ControlNamed(TForm* f, const char* name) { return dynamic_cast<TControl*>(f->FindComponent(name)); }

// Acts on the forms as they come up: each form is looked at once, shortly after it shows,
// then its action runs (inside the running loop, as a person's click would).
class Pilot {
 public:
  using Action = std::function<bool(TForm*)>;  // true: run again when the form is on top again
  void on(const std::string& cls, Action a) { actions_[cls] = std::move(a); }
  void start() {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer_.StartOnce(100);
    watchdog_.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
      ADD_FAILURE() << "the forms did not finish";
      Application->Terminate();
    });
    watchdog_.StartOnce(90000);
  }
  ~Pilot() {
    timer_.Stop();
    watchdog_.Stop();
  }
  std::set<std::string> looked;
  int boxes = 0;

 private:
  void Tick() {
    // Armed again first: an action that runs a modal loop keeps the ticks coming.
    timer_.StartOnce(100);
    if (busy_) return;
    // A message box on top is answered with its first button.
    for (wxWindow* w : wxTopLevelWindows) {
      if (w->GetName() != "tvMessageBox" || !w->IsShown()) continue;
      if (++boxTicks_ < 3) return;
      boxTicks_ = 0;
      Screenshot("message" + std::to_string(++boxes));
      for (wxWindow* c : w->GetChildren())
        if (auto* b = dynamic_cast<wxButton*>(c)) {
          wxCommandEvent ev(wxEVT_BUTTON, b->GetId());
          ev.SetEventObject(b);
          b->ProcessWindowEvent(ev);
          break;
        }
      return;
    }
    // The form on top: the last one to appear among those showing.
    for (auto it = order_.begin(); it != order_.end();) {
      bool showing = false;
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == it->first && it->first->Showing()) showing = true;
      // A new form may take the place of one that just went.
      if (showing && windows_[it->first] != tv::gui::WindowOf(it->first)) showing = false;
      if (showing) {
        ++it;
      } else {
        done_.erase(it->first);
        ticks_.erase(it->first);
        it = order_.erase(it);
      }
    }
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (f->Showing() && !order_.count(f) && tv::gui::WindowOf(f)) {
        order_[f] = ++seq_;
        windows_[f] = tv::gui::WindowOf(f);
      }
    }
    TForm* topForm = nullptr;
    int best = -1;
    for (auto& [f, n] : order_)
      if (n > best) best = n, topForm = f;
    if (!topForm || done_.count(topForm)) return;
    if (++ticks_[topForm] < 4) return;
    ticks_[topForm] = 0;
    std::string cls = topForm->ClassName().str();
    if (!looked.count(cls)) {
      busy_ = true;
      Look(topForm, cls);
      busy_ = false;
      looked.insert(cls);
    }
    auto a = actions_.find(cls);
    if (a == actions_.end()) {
      done_.insert(topForm);
      return;
    }
    if (!a->second(topForm)) done_.insert(topForm);
  }
  std::map<std::string, Action> actions_;
  std::map<TForm*, int> order_, ticks_;
  std::set<TForm*> done_;
  std::map<TForm*, wxTopLevelWindow*> windows_;
  int seq_ = 0, boxTicks_ = 0;
  bool busy_ = false;
  wxTimer timer_, watchdog_;
};

void Cancel(TForm* f) {
  f->ModalResult = mrCancel;
  Application->AfterEvent();
}

class AppFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->ResetForTests();
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("tv_guiforms_" + std::to_string(rd()) + std::to_string(rd()));
    prog_ = dir_ / "prog";
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "run");
    for (const char* v : {"TALLIVAR_CONFIG_DIR", "XDG_RUNTIME_DIR"})
      if (const char* old = std::getenv(v)) saved_[v] = old;
    setenv("TALLIVAR_CONFIG_DIR", (dir_ / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
    tv::schema::CreateFreshInstallation(prog_.string());
    libros_ = tv::schema::StarterBooksFolder(prog_.string());
    // The tool-button pictures that the build lays out beside the tests, as the program has them.
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::current_path() / ".." / "tallivar" / "images", ec))
      if (e.path().filename().string().rfind("btn_", 0) == 0)
        fs::copy_file(e.path(), prog_ / "images" / e.path().filename(), fs::copy_options::skip_existing, ec);
    tv::os::SetProgramDirForTests(prog_.string());
    cwd_ = fs::current_path();
  }
  void TearDown() override {
    TerminarPrograma();
    tv::os::ReleaseSingleInstance("tallivar-p.exe");
    tv::os::SetProgramDirForTests("");
    Session->DeleteAlias("Contabilidad");
    tv::db::ReleaseDatabase(libros_);
    tv::db::ReleaseDatabase(prog_.string());
    fs::current_path(cwd_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
    for (const char* v : {"TALLIVAR_CONFIG_DIR", "XDG_RUNTIME_DIR"}) {
      auto it = saved_.find(v);
      if (it == saved_.end())
        unsetenv(v);
      else
        setenv(v, it->second.c_str(), 1);
    }
    Pump(50);
  }
  std::map<std::string, std::string> saved_;
  fs::path dir_, prog_, cwd_;
  std::string libros_;
};

TEST_F(AppFormsTest, EveryFormReadsWellOnTheDesktop) {
  Pilot pilot;
  pilot.on("TFrmSelContab", [](TForm* f) {
    ControlNamed(f, "BtnAbrir")->UserClick();
    return false;
  });
  pilot.on("TFrmClave", [](TForm* f) {
    auto* cb = static_cast<TComboBox*>(ControlNamed(f, "CBLogin"));
    for (int i = 0; i < cb->Items->Count(); ++i)
      if (cb->Items->Get(i).Pos(kLoginAdministrador) == 1) cb->UserSelect(i);
    ControlNamed(f, "BtnAceptar")->UserClick();
    return false;
  });
  pilot.on("TFrmNuevaClave", [](TForm* f) {
    static_cast<TEdit*>(ControlNamed(f, "EdClave"))->UserSetText("Secreta 1");
    static_cast<TEdit*>(ControlNamed(f, "EdConfirmar"))->UserSetText("Secreta 1");
    ControlNamed(f, "BtnAceptar")->UserClick();
    return false;
  });
  // From the main window: the administration forms through their menu items, then the
  // shared dialogs and the forms opened from elsewhere, then the quit item.
  std::deque<std::function<void(TForm*)>> steps;
  auto menu = [](const char* item) {
    return [item](TForm* f) {
      auto* m = dynamic_cast<TMenuItem*>(f->FindComponent(item));
      ASSERT_TRUE(m) << item;
      m->UserClick();
    };
  };
  for (const char* item : {"Abrir1", "Borrar1", "adicionarUsuarios", "ModificarUsuarios1", "BorrarUsuarios1",
                           "Contraseas1", "CuentasEspeciales1"})
    steps.push_back(menu(item));
  steps.push_back([](TForm*) { frmClaveAdmin->ShowModal(); });
  steps.push_back([](TForm* f) {
    std::unique_ptr<TfrmEditarContabs> e(new TfrmEditarContabs(f));
    frmEditarContabs = e.get();
    e->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmBuscTabla> b(
        new TFrmBuscTabla(nullptr, DM->DSPlan, "Código", "Nombre", "numecuen", "nombcuen", false, ""));
    FrmBuscTabla = b.get();
    b->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TFrmCalendar> c(new TFrmCalendar(nullptr));
    FrmCalendar = c.get();
    c->ShowModal();
  });
  steps.push_back([](TForm*) {
    std::unique_ptr<TRepairDialog> r(new TRepairDialog(nullptr, PathOrigen));
    RepairDialog = r.get();
    r->ShowModal();
    RepairDialog = nullptr;
  });
  steps.push_back([&pilot](TForm*) {
    TAviso aviso;
    aviso.Inicie("Realizando la exportación...", true, true, 1, 1000, 1);
    for (int i = 0; i < 400; ++i) aviso.IncrProgBar();
    ASSERT_TRUE(FrmAviso);
    Look(FrmAviso, "TFrmAviso");
    pilot.looked.insert("TFrmAviso");
    aviso.Termine();
  });
  steps.push_back(menu("Salir1"));
  pilot.on("TFrmMain", [&steps](TForm* f) {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step(f);
    return true;
  });
  // Every other form: looked at, then closed as the close box would.
  for (const char* cls : {"TFrmCambiarContabilidad", "TFrmBorrarContabilida", "TFrmAddPermisos",
                          "TFrmModiPermisos", "TFrmBorrarPermiso", "TfrmConfigContab", "TFrmCuentasEsp",
                          "TfrmClaveAdmin", "TfrmEditarContabs", "TFrmBuscTabla", "TFrmCalendar",
                          "TRepairDialog"})
    pilot.on(cls, [](TForm* f) {
      Cancel(f);
      return false;
    });
  pilot.start();
  ASSERT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_TRUE(steps.empty());
  std::set<std::string> want{"TFrmPresentacion", "TFrmSelContab", "TFrmClave", "TFrmNuevaClave", "TFrmMain",
                             "TFrmCambiarContabilidad", "TFrmBorrarContabilida", "TFrmAddPermisos",
                             "TFrmModiPermisos", "TFrmBorrarPermiso", "TfrmConfigContab", "TFrmCuentasEsp",
                             "TfrmClaveAdmin", "TfrmEditarContabs", "TFrmBuscTabla", "TFrmCalendar",
                             "TRepairDialog", "TFrmAviso"};
  for (const std::string& cls : want) EXPECT_TRUE(pilot.looked.count(cls)) << cls << " was not seen";
}

}  // namespace
