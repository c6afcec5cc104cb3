#pragma once
// The desktop survey of application forms: the real program over a fresh installation; each
// form that shows is looked at for controls off-window, clipped or overlapping (failures) and
// saved as a picture when TV_SCREENSHOTS names a folder.
#include <gtest/gtest.h>
#include <wx/wx.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gui/Gui.h"
#include "gui/Waits.h"
#include "platform/forms/Vcl.h"

namespace survey {

void Screenshot(const std::string& name);
// What a person would see as wrong: a window off the screen or larger than it, a form that
// scrolls in its window, buttons out of view, controls cut by their container, controls on
// top of one another, captions that do not fit.
std::vector<std::string> LayoutProblems(TForm* form);
// Looks at a form: its problems are failures; its picture is saved when asked.
void Look(TForm* form, const std::string& picture);
// Road tests about the keyboard leave the layout to the survey tests (false while they run).
extern bool layoutChecks;
struct NoLayoutChecks {
  NoLayoutChecks() { layoutChecks = false; }
  ~NoLayoutChecks() { layoutChecks = true; }
};
TControl* ControlNamed(TForm* f, const char* name);
// Closes a form as its close box would.
void Cancel(TForm* f);

// Acts on the forms as they come up: each form is looked at once, shortly after it shows,
// then its action runs (inside the running loop, as a person's click would).
class Pilot {
 public:
  using Action = std::function<bool(TForm*)>;  // true: run again when the form is on top again
  void on(const std::string& cls, Action a) { actions_[cls] = std::move(a); }
  // Sees each message box first; true: the box is left to it (it answers the box itself).
  std::function<bool(wxTopLevelWindow*)> box;
  void start() {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer_.StartOnce(100);
    watchdog_.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
      ADD_FAILURE() << "the forms did not finish";
      Application->Terminate();
    });
    watchdog_.StartOnce(waits::Deadline(90000));
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
    // A person acts once the handler (or the action before) is over.
    if (!waits::Acting::MayAct()) return;
    // A message box on top is answered with its first button.
    for (wxWindow* w : wxTopLevelWindows) {
      if (w->GetName() != "tvMessageBox" || !w->IsShown()) continue;
      if (box && box(static_cast<wxTopLevelWindow*>(w))) return;
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
    waits::Acting acting;
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

// A fresh installation in a temporary folder, made the program folder.
class SurveyTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::map<std::string, std::string> saved_;
  std::filesystem::path dir_, prog_, cwd_;
  std::string libros_;
};

// Starts the program, chooses the starter books, logs in as the administrator (choosing its
// first password), then runs each step from the main window, in order, and quits. Every form
// that shows is looked at; those whose class is in `cancel` are then closed as the close box
// would, and `actions` act on others (return true to act again when the form is on top again).
// Returns the classes looked at.
std::set<std::string> RunSurvey(std::deque<std::function<void(TForm* main)>> steps,
                                const std::vector<std::string>& cancel,
                                std::map<std::string, Pilot::Action> actions = {},
                                std::function<bool(wxTopLevelWindow*)> box = {});
// A step that clicks a main-menu item by name.
std::function<void(TForm*)> MenuStep(const char* item);

// Real mouse clicks (XTest, through the toolkit's simulator) on a control and on a grid cell.
void ClickOn(TControl* c);
void ClickCell(TCustomGrid* g, int col, int row);
// The window the window manager stacks on top of the others, by its title.
std::string TopmostTitle();

}  // namespace survey
