#include "platform/forms/UiDriver.h"

#include "platform/forms/Headless.h"

namespace tv::forms {
namespace {
UiDriver*& Current() {
  static UiDriver* d = nullptr;
  return d;
}
}  // namespace

UiDriver& Ui() {
  if (UiDriver* d = Current()) return *d;
  // Until a driver is installed: a headless driver with no scripts (never deleted, so it
  // outlives every form destroyed at exit).
  static HeadlessDriver* fallback = new HeadlessDriver(false);
  return *fallback;
}

UiDriver* SetUiDriver(UiDriver* driver) {
  UiDriver* old = Current();
  Current() = driver;
  return old;
}

}  // namespace tv::forms
