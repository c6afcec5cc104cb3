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
// A handler's repaint is letting the window system draw (GTK runs timers then too): scripted
// user actions wait until the handler is over, as a person's would.
bool InsideDrawing();

}  // namespace waits
