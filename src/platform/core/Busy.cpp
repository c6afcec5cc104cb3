#include "platform/core/Busy.h"

#include <atomic>

namespace tv::core {

namespace {
std::atomic<BusyHook> hook{nullptr};
}

BusyHook SetBusyHook(BusyHook h) { return hook.exchange(h); }

void StillBusy() {
  if (BusyHook h = hook.load(std::memory_order_relaxed)) h();
}

}  // namespace tv::core
