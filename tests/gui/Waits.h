#pragma once
// How long a desktop test waits before it calls a wait a failure. The waits themselves are for
// events (a window shown, a text changed); a deadline only stops a test that would hang. It
// stretches with the machine's load (running jobs per core) and with TALLIVAR_TEST_PATIENCE
// (a factor), so a machine running three times more jobs than cores still passes.
#include <functional>

namespace waits {

// `ms` as a deadline on this machine now.
int Deadline(int ms);
// Handles window-system events until `cond` holds; false when the deadline passed first.
bool PumpUntil(const std::function<bool()>& cond, int ms = 20000);
// Marks a scripted user action as running, in the loop that runs it. Another action waits
// while one runs in that same loop (an action that pumps events, a handler that repaints: GTK
// runs timers then too), and may run inside a loop the action opened (a modal form's, a box's),
// where a person would act next.
class Acting {
 public:
  Acting();
  ~Acting();
  Acting(const Acting&) = delete;
  Acting& operator=(const Acting&) = delete;
  // A person could act now.
  static bool MayAct();
};

}  // namespace waits
