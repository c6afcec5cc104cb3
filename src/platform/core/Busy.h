#pragma once
// Long work (a slow SQL statement) says now and then that it is still running, so the front
// end can show what the program asked it to show before the work began.
namespace tv::core {

using BusyHook = void (*)();
// Installs the hook (nullptr removes it); returns the previous one.
BusyHook SetBusyHook(BusyHook hook);
// Called from inside long work, on the thread that runs it; cheap while no hook is set.
void StillBusy();

}  // namespace tv::core
