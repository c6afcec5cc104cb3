// Start-up of the desktop front end.
#include <wx/image.h>
#include <wx/stopwatch.h>
#include <wx/translation.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gui/Driver.h"
#include "gui/Gui.h"
#include "gui/Preview.h"
#include "platform/db/Checkpoint.h"
#include "platform/os/Process.h"

namespace tv::gui {

namespace {

class TallivarApp : public wxApp {
 public:
  bool OnInit() override {
    // Idle moments copy the databases' logs into their files, so no save waits for it.
    Bind(wxEVT_IDLE, [](wxIdleEvent& e) {
      tv::db::CheckpointWhenIdle();
      e.Skip();
    });
    return true;
  }
  // Exceptions escaping wx callbacks go to the model's standard error box.
  bool OnExceptionInMainLoop() override {
    try {
      throw;
    } catch (const tv::forms::UiScriptError&) {
      throw;
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
    }
    return true;
  }
};

std::unique_ptr<WxDriver> g_driver;
std::unique_ptr<WxReportUi> g_reportUi;
tv::forms::UiDriver* g_previous = nullptr;
bool g_started = false;

}  // namespace

// The program is Spanish: the toolkit's own dialogs (file chooser, find, print, colour,
// font) follow it whatever the desktop's language. GTK's texts come from gettext, which
// honours LANGUAGE unless the messages locale is plain "C".
static void SpanishToolkitTexts() {
  setenv("LANGUAGE", "es", 1);
  // Only the messages category: numbers and dates keep the program's own rules.
  const char* m = std::setlocale(LC_MESSAGES, "");
  if (!m || std::strcmp(m, "C") == 0 || std::strcmp(m, "POSIX") == 0) std::setlocale(LC_MESSAGES, "C.UTF-8");
}

static void SpanishWxCatalog() {
  auto* t = new wxTranslations;
  t->SetLanguage("es");
  t->AddStdCatalog();
  wxTranslations::Set(t);
}

bool Initialize(int argc, char** argv) {
  if (g_started) return true;
  // Scroll bars that stay drawn: GTK's overlay bars show only under a moving pointer, so a
  // grid or form wider than its window gave no sign that it scrolls.
  setenv("GTK_OVERLAY_SCROLLING", "0", 0);
  wxApp::SetInstance(new TallivarApp);
  if (!wxEntryStart(argc, argv)) return false;
  if (!wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    return false;
  }
  g_started = true;
  SpanishToolkitTexts();
  SpanishWxCatalog();
  // In the program people run, a failed toolkit check is logged, never shown (the tests
  // install their own handler, which fails the test).
  wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                        const wxString& msg) {
    std::fprintf(stderr, "tallivar: comprobación de wx fallida: %s en %s (%s:%d) %s\n",
                 static_cast<const char*>(cond.utf8_str()), static_cast<const char*>(func.utf8_str()),
                 static_cast<const char*>(file.utf8_str()), line, static_cast<const char*>(msg.utf8_str()));
  });
  wxInitAllImageHandlers();
  wxTheApp->SetExitOnFrameDelete(false);
  wxTheApp->SetAppName("tallivar");
  wxSize disp = wxGetDisplaySize();
  // The model works in its own units (geometry is scaled to the desktop font), so the
  // screen is reported in those units too: centring by Screen->Width lands centred.
  Screen->Width = static_cast<int>(disp.x / Scale());
  Screen->Height = static_cast<int>(disp.y / Scale());
  // Text is measured with the real font, in the model's units.
  TCanvas::SetMeasurer([](const TFont& f, const AnsiString& text) {
    static wxBitmap bmp(4, 4);
    static wxMemoryDC dc(bmp);
    dc.SetFont(ToWx(f));
    wxCoord w = 0, h = 0;
    dc.GetTextExtent(W(text), &w, &h);
    if (h == 0) h = dc.GetCharHeight();
    return Point(static_cast<int>(w / Scale() + 0.5), static_cast<int>(h / Scale() + 0.5));
  });
  tv::os::SetBeepHook([] { wxBell(); });
  g_driver = std::make_unique<WxDriver>();
  g_previous = tv::forms::SetUiDriver(g_driver.get());
  g_reportUi = std::make_unique<WxReportUi>();
  tv::report::SetReportUi(g_reportUi.get());
  return true;
}

void Shutdown() {
  if (!g_started) return;
  tv::report::SetReportUi(nullptr);
  tv::forms::SetUiDriver(g_previous);
  TCanvas::SetMeasurer(nullptr);
  tv::os::SetBeepHook(nullptr);
  g_reportUi.reset();
  g_driver.reset();
  for (wxWindow* w : wxTopLevelWindows) w->Destroy();
  wxTheApp->ProcessPendingEvents();
  wxTheApp->OnExit();
  wxEntryCleanup();
  g_started = false;
}

int RunApplication(int argc, char** argv, const std::function<void()>& startup) {
  if (!Initialize(argc, argv)) {
    std::fprintf(stderr, "tallivar: no se pudo abrir la pantalla\n");
    return 1;
  }
  int rc = 0;
  try {
    startup();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tallivar: %s\n", e.what());
    rc = 1;
  }
  Shutdown();
  return rc;
}

void Pump(int ms) {
  if (!wxTheApp) return;
  wxStopWatch sw;
  do {
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    if (sw.Time() < ms) wxMilliSleep(5);
  } while (sw.Time() < ms);
}

}  // namespace tv::gui
