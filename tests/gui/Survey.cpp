#include "gui/Survey.h"

#include <wx/grid.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "app/Contabilidades.h"
#include "app/DataModule.h"
#include "app/Permisos.h"
#include "app/Sesion.h"
#include "app/schema/Schema.h"
#include "main/Arranque.h"
#include "platform/db/DBTables.h"
#include "platform/db/Engine.h"
#include "platform/os/Process.h"
#include "platform/os/SingleInstance.h"

namespace survey {

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

// What a person would see as wrong: a window off the screen or larger than it, a form that
// scrolls in its window, buttons out of view, controls cut by their container, controls on
// top of one another, captions that do not fit.
std::vector<std::string> LayoutProblems(TForm* form) {
  std::vector<std::string> out;
  wxTopLevelWindow* top = tv::gui::WindowOf(form);
  if (!top) return {"no window"};
  wxRect screen(wxPoint(0, 0), wxGetDisplaySize());
  // The client area: under a window manager the toolkit mixes the frame's size with the
  // client's position.
  if (wxRect r(top->ClientToScreen(wxPoint(0, 0)), top->GetClientSize()); !screen.Contains(r))
    out.push_back("window off the screen (" + std::to_string(r.x) + "," + std::to_string(r.y) + " " +
                  std::to_string(r.width) + "x" + std::to_string(r.height) + ")");
  // Opens whole: the window fits the work area (the desktop less its panels) and the form
  // fits its window, so no button waits behind a scroll bar.
  wxRect work = wxGetClientDisplayRect();
  if (wxSize s = top->GetSize(); s.x > work.width || s.y > work.height)
    out.push_back("window larger than the screen (" + std::to_string(s.x) + "x" + std::to_string(s.y) + " in " +
                  std::to_string(work.width) + "x" + std::to_string(work.height) + ")");
  wxScrolledWindow* root = nullptr;
  for (wxWindow* w : top->GetChildren())
    if (auto* sw = dynamic_cast<wxScrolledWindow*>(w); sw && !root) root = sw;
  wxRect seen;
  if (root) {
    wxSize virt = root->GetVirtualSize(), view = root->GetClientSize();
    if (virt.x > view.x || virt.y > view.y)
      out.push_back("form scrolls in its window (" + std::to_string(virt.x) + "x" + std::to_string(virt.y) +
                    " in " + std::to_string(view.x) + "x" + std::to_string(view.y) + ")");
    seen = wxRect(root->ClientToScreen(wxPoint(0, 0)), view).Intersect(work);
  }
  std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
    std::vector<std::pair<TControl*, wxRect>> kids;
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      wxWindow* w = WidgetOf(c);
      if (!w || !w->IsShownOnScreen()) continue;
      wxRect r = w->GetRect();
      wxSize room = w->GetParent()->GetClientSize();
      // A form's client area that scrolls holds its controls whole, out of view or not.
      if (auto* sw = dynamic_cast<wxScrolledWindow*>(w->GetParent())) {
        room = sw->GetVirtualSize();
        r.SetPosition(sw->CalcUnscrolledPosition(r.GetPosition()));
      }
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
      // A label that marks its cut with an ellipsis is cut on purpose.
      if (k == TControlKind::Label && !static_cast<TLabel*>(c)->WordWrap &&
          static_cast<TLabel*>(c)->EllipsisPosition == epNone) {
        wxString t = wxStripMenuCodes(static_cast<wxStaticText*>(w)->GetLabel());
        int tw = 0, th = 0;
        w->GetTextExtent(t, &tw, &th);
        if (!t.empty() && (tw > r.width + 1 || th > r.height + 1)) out.push_back(NameOf(c) + " text does not fit");
      }
      // Columns wider than the grid: it scrolls sideways, and shows a bar that says so.
      if (auto* g = dynamic_cast<wxGrid*>(w)) {
        int cols = g->GetRowLabelSize();
        for (int i = 0; i < g->GetNumberCols(); ++i) cols += g->GetColSize(i);
        if (cols > g->GetSize().x + 2 && g->GetSize().y - g->GetClientSize().y < 4)
          out.push_back(NameOf(c) + " has columns out of view and no scroll bar");
      }
      // A button is seen without scrolling anything.
      if (root && (k == TControlKind::Button || k == TControlKind::BitBtn || k == TControlKind::SpeedButton) &&
          !seen.Contains(w->GetScreenRect()))
        out.push_back(NameOf(c) + " is out of view");
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
bool layoutChecks = true;

void Look(TForm* form, const std::string& picture) {
  // Its window is on the screen before it is measured; a loaded machine maps it late.
  EXPECT_TRUE(waits::PumpUntil([form] {
    wxTopLevelWindow* t = tv::gui::WindowOf(form);
    return t && t->IsShownOnScreen();
  })) << form->ClassName().str() << " never showed";
  Pump(150);
  if (layoutChecks)
    for (const std::string& p : LayoutProblems(form)) ADD_FAILURE() << form->ClassName().str() << ": " << p;
  Screenshot(picture);
}

TControl* ControlNamed(TForm* f, const char* name) { return dynamic_cast<TControl*>(f->FindComponent(name)); }

void Cancel(TForm* f) {
  f->ModalResult = mrCancel;
  Application->AfterEvent();
}

void SurveyTest::SetUp() {
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
void SurveyTest::TearDown() {
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

std::function<void(TForm*)> MenuStep(const char* item) {
  return [item](TForm* f) {
    auto* m = dynamic_cast<TMenuItem*>(f->FindComponent(item));
    ASSERT_TRUE(m) << item;
    m->UserClick();
  };
}

std::set<std::string> RunSurvey(std::deque<std::function<void(TForm*)>> steps,
                                const std::vector<std::string>& cancel,
                                std::map<std::string, Pilot::Action> actions,
                                std::function<bool(wxTopLevelWindow*)> box) {
  Pilot pilot;
  pilot.box = std::move(box);
  pilot.on("TFrmSelContab", [](TForm* f) {
    ControlNamed(f, "BtnAbrir")->UserClick();
    return false;
  });
  pilot.on("TFrmClave", [](TForm* f) {
    auto* cb = static_cast<TComboBox*>(ControlNamed(f, "CBLogin"));
    for (int i = 0; i < cb->Items->Count(); ++i)
      if (cb->Items->Get(i).Pos(kLoginAdministrador) == 1) cb->UserSelect(i);
    // The closed list shows the chosen "login:name" whole, beside its arrow.
    if (wxWindow* w = WidgetOf(cb)) {
      int tw = 0, th = 0;
      w->GetTextExtent(wxString::FromUTF8(cb->Text.str()), &tw, &th);
      EXPECT_GE(w->GetSize().x, tw + w->GetSize().y + 8) << cb->Text.str();
    }
    ControlNamed(f, "BtnAceptar")->UserClick();
    return false;
  });
  pilot.on("TFrmNuevaClave", [](TForm* f) {
    static_cast<TEdit*>(ControlNamed(f, "EdClave"))->UserSetText("Secreta 1");
    static_cast<TEdit*>(ControlNamed(f, "EdConfirmar"))->UserSetText("Secreta 1");
    ControlNamed(f, "BtnAceptar")->UserClick();
    return false;
  });
  steps.push_back(MenuStep("Salir1"));
  pilot.on("TFrmMain", [&steps](TForm* f) {
    if (steps.empty()) return false;
    auto step = std::move(steps.front());
    steps.pop_front();
    step(f);
    return true;
  });
  for (const std::string& cls : cancel)
    pilot.on(cls, [](TForm* f) {
      Cancel(f);
      return false;
    });
  for (auto& [cls, a] : actions) pilot.on(cls, a);
  pilot.start();
  EXPECT_TRUE(IniciarPrograma());
  Application->Run();
  EXPECT_TRUE(steps.empty()) << "not every step ran";
  return pilot.looked;
}

void ClickOn(TControl* c) {
  wxWindow* w = tv::gui::WidgetOf(c);
  ASSERT_TRUE(w) << c->Name.c_str();
  wxRect r = w->GetScreenRect();
  wxUIActionSimulator sim;
  sim.MouseMove(wxPoint(r.x + std::min(r.width / 2, 30), r.y + r.height / 2));
  wxMilliSleep(20);
  sim.MouseClick();
}

void ClickCell(TCustomGrid* g, int col, int row) {
  auto* grid = dynamic_cast<wxGrid*>(tv::gui::WidgetOf(g));
  ASSERT_TRUE(grid);
  wxRect r = grid->CellToRect(row, col);
  wxUIActionSimulator sim;
  sim.MouseMove(grid->GetGridWindow()->ClientToScreen(r.GetPosition() + wxPoint(8, r.height / 2)));
  wxMilliSleep(20);
  sim.MouseClick();
}

std::string TopmostTitle() {
  std::string out;
  if (FILE* p = popen("xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\\n/g' | tail -n 1 | "
                      "xargs -r xdotool getwindowname 2>/dev/null", "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

}  // namespace survey
