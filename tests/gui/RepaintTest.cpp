// What the screen shows while the program works: the latest state a handler asked to draw,
// read back from the screen itself.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "gui/Gui.h"
#include "gui/Waits.h"
#include "platform/db/DBTables.h"
#include "platform/forms/Vcl.h"
#include "shared/dialogs/Aviso.h"

namespace {

using tv::gui::WidgetOf;
using waits::PumpUntil;

template <class F>
F Gdk(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The pixels the X server shows where the widget is (read without running the event loop).
wxImage Grab(wxWindow* w) {
  wxRect r = w->GetScreenRect();
  wxImage img(r.width, r.height);
  void* root = Gdk<void* (*)()>("gdk_get_default_root_window")();
  void* pb = Gdk<void* (*)(void*, int, int, int, int)>("gdk_pixbuf_get_from_window")(root, r.x, r.y, r.width, r.height);
  if (!pb) return img;
  const unsigned char* px = Gdk<const unsigned char* (*)(void*)>("gdk_pixbuf_get_pixels")(pb);
  int stride = Gdk<int (*)(void*)>("gdk_pixbuf_get_rowstride")(pb);
  int channels = Gdk<int (*)(void*)>("gdk_pixbuf_get_n_channels")(pb);
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const unsigned char* p = px + y * stride + x * channels;
      img.SetRGB(x, y, p[0], p[1], p[2]);
    }
  Gdk<void (*)(void*)>("g_object_unref")(pb);
  return img;
}

bool Same(const wxImage& a, const wxImage& b) {
  return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
         std::memcmp(a.GetData(), b.GetData(), static_cast<size_t>(a.GetWidth()) * a.GetHeight() * 3) == 0;
}

// Some text is drawn: more than one colour.
bool Drawn(const wxImage& a) {
  const unsigned char* d = a.GetData();
  for (int i = 1; i < a.GetWidth() * a.GetHeight(); ++i)
    if (std::memcmp(d, d + i * 3, 3) != 0) return true;
  return false;
}

class RepaintTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->ResetForTests(); }
  void TearDown() override { tv::gui::Pump(50); }
};

// A small table whose cross join keeps SQLite busy for a while: the slow step of a closing.
struct Trabajo {
  Trabajo() {
    char tmpl[] = "/tmp/tvpintaXXXXXX";
    dir = mkdtemp(tmpl);
    Sql("CREATE TABLE N (x INTEGER)");
    for (int i = 0; i < 10; ++i) Sql("INSERT INTO N VALUES (" + std::to_string(i) + ")");
  }
  ~Trabajo() { std::filesystem::remove_all(dir); }
  void Sql(const std::string& sql) {
    TQuery q(nullptr);
    q.DatabaseName = dir.c_str();
    q.SQL->Add(sql.c_str());
    q.ExecSQL();
  }
  // One slow statement; the event loop does not run while it does.
  void Paso() {
    TQuery q(nullptr);
    q.DatabaseName = dir.c_str();
    q.SQL->Add("select count(*) as n from N a, N b, N c, N d, N e, N f");
    q.Open();
    EXPECT_EQ(q.FieldByName("n")->AsInteger, 1000000);
  }
  std::string dir;
};

// The wait window is given a text and, within the same frame, the next one; then a slow
// statement runs. The screen shows the second text while the statement runs, not the first.
TEST_F(RepaintTest, WaitWindowShowsItsLatestTextDuringTheSlowStepThatFollows) {
  Trabajo trabajo;
  TAviso aviso;
  const AnsiString segundo = "Cancelando cuentas de resultado...";
  aviso.Inicie(segundo, true, false, 0, 0, 0);
  ASSERT_TRUE(FrmAviso);
  wxWindow* etiqueta = WidgetOf(FrmAviso->Label1);
  ASSERT_TRUE(etiqueta);
  // The second text as the screen draws it, once the window is up.
  wxImage conSegundo;
  ASSERT_TRUE(PumpUntil([&] {
    if (!etiqueta->IsShownOnScreen()) return false;
    conSegundo = Grab(etiqueta);
    return Drawn(conSegundo) && Same(conSegundo, Grab(etiqueta));
  })) << "the wait window never showed";
  tv::gui::Pump(50);
  conSegundo = Grab(etiqueta);

  // Inside one handler: the first text is drawn, the second comes within its frame.
  aviso.PutMsg("Calculando utilidad...");
  wxImage conPrimero = Grab(etiqueta);
  ASSERT_FALSE(Same(conPrimero, conSegundo)) << "the first text was not drawn";
  aviso.PutMsg(segundo);
  bool visto = false;
  auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(waits::Deadline(10000));
  while (!visto && std::chrono::steady_clock::now() < fin) {
    trabajo.Paso();
    visto = Same(Grab(etiqueta), conSegundo);
  }
  EXPECT_TRUE(visto) << "the screen kept the first text through the slow step";
  EXPECT_EQ(static_cast<wxStaticText*>(etiqueta)->GetLabel(), wxString(segundo.c_str()));
  aviso.Termine();
}

}  // namespace
