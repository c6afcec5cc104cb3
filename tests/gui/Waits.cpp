#include "gui/Waits.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

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

bool InsideDrawing() {
  wxEventLoopBase* l = wxEventLoopBase::GetActive();
  return l && l->IsYielding() && !l->IsEventAllowedInsideYield(wxEVT_CATEGORY_TIMER);
}

}  // namespace waits
