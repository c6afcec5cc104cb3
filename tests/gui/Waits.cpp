#include "gui/Waits.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "gui/Gui.h"

namespace waits {

namespace {
double Factor() {
  if (const char* p = std::getenv("TALLIVAR_TEST_PATIENCE"); p && *p) {
    double f = std::atof(p);
    if (f >= 1) return f;
  }
  // Jobs waiting for a core stretch every step a test waits for.
  double load[1] = {0};
  unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  if (getloadavg(load, 1) != 1) return 1;
  return std::clamp(1 + load[0] / cores, 1.0, 10.0);
}
}  // namespace

int Deadline(int ms) { return static_cast<int>(ms * Factor()); }

bool PumpUntil(const std::function<bool()>& cond, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Deadline(ms));
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    tv::gui::Pump(10);
  }
  return true;
}

namespace {
std::vector<wxEventLoopBase*>& Loops() {
  static std::vector<wxEventLoopBase*> loops;
  return loops;
}
}  // namespace

Acting::Acting() { Loops().push_back(wxEventLoopBase::GetActive()); }
Acting::~Acting() { Loops().pop_back(); }

bool Acting::MayAct() {
  wxEventLoopBase* l = wxEventLoopBase::GetActive();
  // A repaint inside a handler lets the window system draw, timers included.
  if (l && l->IsYielding() && !l->IsEventAllowedInsideYield(wxEVT_CATEGORY_TIMER)) return false;
  return Loops().empty() || Loops().back() != l;
}

}  // namespace waits
