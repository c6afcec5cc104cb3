#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "ReportTestData.h"
#include "platform/core/SysUtils.h"
#include "platform/report/PangoText.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/Render.h"
#include "platform/report/ReportUi.h"

using namespace tv::report;
using tv::report::test::ListRows;

namespace {

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* f = popen(cmd.c_str(), "r");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  pclose(f);
  return out;
}

// Each expected piece appears after the previous one.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& pieces) {
  size_t pos = 0;
  for (const auto& p : pieces) {
    size_t at = text.find(p, pos);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: \"" << p << "\" in\n" << text;
    pos = at + p.size();
  }
}

std::vector<std::string> Pages(const std::string& dump) {
  std::vector<std::string> pages;
  std::istringstream in(dump);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("--- page ", 0) == 0) pages.emplace_back();
    else if (!pages.empty()) pages.back() += line + "\n";
  }
  return pages;
}

template <class T>
T* Place(TComponent* owner, TQRCustomBand* band, int left, int top, int width = 65) {
  auto* e = new T(owner);
  e->Parent = band;
  e->Left = left;
  e->Top = top;
  e->Width = width;
  return e;
}

TQRLabel* Label(TComponent* owner, TQRCustomBand* band, const char* caption, int left, int top) {
  auto* l = Place<TQRLabel>(owner, band, left, top);
  l->Caption = caption;
  return l;
}

TQRBand* Band(TComponent* owner, TQuickRep* rep, TQRBandType type, int height) {
  auto* b = new TQRBand(owner);
  b->Parent = rep;
  b->BandType = type;
  b->Height = height;
  return b;
}

// The listing the tests share: 100 journal lines in four accounts, grouped by account.
struct Listing {
  TComponent form{nullptr};
  ListRows rows{{"cuenta", "detalle", "debito"}};
  TQuickRep* rep = new TQuickRep(&form);
  TQRBand* detail = nullptr;
  TQRDBText* amount = nullptr;
  int detailPrints = 0;

  Listing() {
    const char* accounts[] = {"1105", "1110", "2205", "2408"};
    for (int k = 0; k < 100; ++k)
      rows.AddRow({ListRows::Text(accounts[k / 25]), ListRows::Text("Consignación café Nº " + std::to_string(k + 1)),
                   ListRows::Num(k + 1)});
    rep->SetReportData(&rows);
    rep->ReportTitle = "Listado";

    TQRBand* header = Band(&form, rep, rbPageHeader, 40);
    Label(&form, header, "LISTADO DE MOVIMIENTOS", 0, 0)->Font->Style << fsBold;
    auto* page = Place<TQRSysData>(&form, header, 600, 0);
    page->Data = qrsPageNumber;
    page->Text = "Página: ";

    Label(&form, Band(&form, rep, rbTitle, 30), "Año 2024 — Contabilidad de prueba", 0, 0);

    TQRBand* columns = Band(&form, rep, rbColumnHeader, 20);
    Label(&form, columns, "Cuenta", 0, 0);
    Label(&form, columns, "Detalle", 80, 0);
    TQRLabel* debitHead = Label(&form, columns, "Débito", 500, 0);
    debitHead->Width = 100;
    debitHead->Alignment = taRightJustify;

    auto* group = new TQRGroup(&form);
    group->Parent = rep;
    group->Height = 20;
    group->Expression = "cuenta";
    Label(&form, group, "Cuenta:", 0, 0);
    Place<TQRDBText>(&form, group, 60, 0)->DataField = "cuenta";

    detail = Band(&form, rep, rbDetail, 16);
    detail->BeforePrint = [this](TQRCustomBand*, bool&) { ++detailPrints; };
    Place<TQRDBText>(&form, detail, 0, 0)->DataField = "cuenta";
    Place<TQRDBText>(&form, detail, 80, 0, 400)->DataField = "detalle";
    amount = Place<TQRDBText>(&form, detail, 500, 0, 100);
    amount->DataField = "debito";
    amount->Alignment = taRightJustify;
    amount->OnPrint = [](TObject*, AnsiString& v) { v = "$" + v; };

    TQRBand* footer = Band(&form, rep, rbGroupFooter, 20);
    group->FooterBand = footer;
    Label(&form, footer, "Suma cuenta", 80, 0);
    auto* groupSum = Place<TQRDBCalc>(&form, footer, 500, 0, 100);
    groupSum->DataField = "debito";
    groupSum->Alignment = taRightJustify;

    TQRBand* summary = Band(&form, rep, rbSummary, 24);
    Label(&form, summary, "TOTAL GENERAL", 80, 0);
    auto* total = Place<TQRDBCalc>(&form, summary, 500, 0, 100);
    total->DataField = "debito";
    total->Alignment = taRightJustify;

    Label(&form, Band(&form, rep, rbPageFooter, 20), "Pie de página", 0, 0);
  }
};

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    HeadlessUi().Clear();
    SetReportUi(nullptr);
  }
  std::string TempFile(const std::string& name) { return ::testing::TempDir() + name; }
};

TEST_F(ReportTest, ListingRunsOverThreePagesWithHeadersGroupsAndSums) {
  Listing l;
  l.rep->Prepare();
  ASSERT_EQ(l.rep->QRPrinter->PageCount, 3);
  std::string dump = DumpText(l.rep->Prepared());
  std::vector<std::string> pages = Pages(dump);
  ASSERT_EQ(pages.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(pages[p]);
    // every page: page header first, column titles, page footer last
    EXPECT_EQ(pages[p].rfind("LISTADO DE MOVIMIENTOS | Página: " + std::to_string(p + 1) + "\n", 0), 0u);
    EXPECT_NE(pages[p].find("Cuenta | Detalle | Débito"), std::string::npos);
    EXPECT_TRUE(pages[p].ends_with("\nPie de página\n"));
    EXPECT_EQ(pages[p].find("Año 2024") != std::string::npos, p == 0);  // the title once
    EXPECT_EQ(pages[p].find("TOTAL GENERAL") != std::string::npos, p == 2);
  }
  ExpectInOrder(dump, {"Año 2024 — Contabilidad de prueba", "Cuenta | Detalle | Débito", "Cuenta: | 1105",
                       "1105 | Consignación café Nº 1 | $1\n", "1105 | Consignación café Nº 25 | $25\n",
                       "Suma cuenta | 325\n", "Cuenta: | 1110", "1110 | Consignación café Nº 26 | $26\n",
                       "Suma cuenta | 950\n", "Suma cuenta | 1575\n", "Cuenta: | 2408",
                       "2408 | Consignación café Nº 100 | $100\n", "Suma cuenta | 2200\n",
                       "TOTAL GENERAL | 5050\n", "Pie de página"});
  // every row once, none lost at the page breaks
  for (int k = 1; k <= 100; ++k) {
    std::string row = "Consignación café Nº " + std::to_string(k) + " |";
    size_t first = dump.find(row);
    EXPECT_NE(first, std::string::npos) << row;
    EXPECT_EQ(dump.find(row, first + 1), std::string::npos) << row;
  }
}

TEST_F(ReportTest, ItemsStayInsideTheirBandsAndAmountsAlignRight) {
  Listing l;
  l.amount->AutoSize = false;
  l.rep->Prepare();
  const PreparedReport& r = l.rep->Prepared();
  double bottom = r.height - l.rep->Page->BottomMargin * 72 / 25.4;
  double amountRight = -1;
  for (const PreparedPage& page : r.pages)
    for (const Item& item : page.items) {
      const auto* t = std::get_if<TextItem>(&item);
      if (!t) continue;
      EXPECT_LE(t->clip.Bottom(), bottom + 0.01) << t->text;
      if (t->text.rfind("$", 0) == 0) {
        EXPECT_EQ(t->align, HAlign::Right);
        if (amountRight < 0) amountRight = t->box.Right();
        EXPECT_DOUBLE_EQ(t->box.Right(), amountRight) << t->text;
      }
    }
  EXPECT_GT(amountRight, 0);
}

TEST_F(ReportTest, PdfHoldsTheTextInOrderAndIsStable) {
  Listing l;
  l.rep->Prepare();
  std::string pdf = TempFile("listado.pdf"), again = TempFile("listado2.pdf");
  SavePdf(l.rep->Prepared(), pdf);
  SavePdf(l.rep->Prepared(), again);
  EXPECT_NE(Shell("pdfinfo " + pdf).find("Pages:           3\n"), std::string::npos);
  std::string text = Shell("pdftotext -layout " + pdf + " -");
  ExpectInOrder(text, {"LISTADO DE MOVIMIENTOS", "Página: 1", "Año 2024", "Cuenta:", "1105",
                       "Consignación café Nº 1 ", "$1\n", "Suma cuenta", "325", "Página: 2", "Página: 3",
                       "TOTAL GENERAL", "5050", "Pie de página"});
  // amounts end at the same column of each page
  std::istringstream pagesIn(text);
  std::string pageText;
  while (std::getline(pagesIn, pageText, '\f')) {
    std::istringstream in(pageText);
    std::string line;
    int end = -1;
    while (std::getline(in, line))
      if (line.find("Consignación café") != std::string::npos) {
        line.erase(line.find_last_not_of(' ') + 1);
        int chars = tv::text::CharCount(line);
        if (end < 0) end = chars;
        EXPECT_EQ(chars, end) << line;
      }
  }
  EXPECT_EQ(Shell("cmp -s " + pdf + " " + again + " && echo same"), "same\n");
  std::string fonts = Shell("pdffonts " + pdf);
  EXPECT_NE(fonts.find("DejaVuSans-Bold"), std::string::npos) << fonts;
}

TEST_F(ReportTest, MissingFontsFallBackToDejaVu) {
  EXPECT_EQ(ResolveFontFamily("Arial"), "DejaVu Sans");
  EXPECT_EQ(ResolveFontFamily("Tahoma"), "DejaVu Sans");
  EXPECT_EQ(ResolveFontFamily("Times New Roman"), "DejaVu Serif");
  EXPECT_EQ(ResolveFontFamily("Courier New"), "DejaVu Sans Mono");
  EXPECT_EQ(ResolveFontFamily("Abadi MT Condensed Light"), "DejaVu Sans");  // drawn condensed
  EXPECT_EQ(ResolveFontFamily("Fuente Inexistente"), "DejaVu Sans");
  EXPECT_EQ(ResolveFontFamily("DejaVu Serif"), "DejaVu Serif");
}

TEST_F(ReportTest, PaperSizesAndOrientation) {
  struct Case {
    TQRPaperSize paper;
    TPrinterOrientation orientation;
    double length, width;  // custom, tenths of a mm
    double wantW, wantH;   // points
  } cases[] = {
      {qrpLetter, poPortrait, 0, 0, 612, 792},
      {qrpLetter, poLandscape, 0, 0, 792, 612},
      {qrpDefault, poPortrait, 0, 0, 612, 792},
      {qrpLegal, poLandscape, 0, 0, 1008, 612},
      {qrpCustom, poPortrait, 2800, 3500, 3500 / 254.0 * 72, 2800 / 254.0 * 72},
  };
  for (const Case& c : cases) {
    TComponent form(nullptr);
    auto* rep = new TQuickRep(&form);
    rep->Page->PaperSize = c.paper;
    rep->Page->Orientation = c.orientation;
    if (c.paper == qrpCustom) {
      rep->Page->Length = c.length;
      rep->Page->Width = c.width;
    }
    rep->Page->LeftMargin = 0;
    Label(&form, Band(&form, rep, rbTitle, 20), "Hoja", 0, 0);
    rep->Prepare();
    const PreparedReport& r = rep->Prepared();
    EXPECT_NEAR(r.width, c.wantW, 0.01);
    EXPECT_NEAR(r.height, c.wantH, 0.01);
    ASSERT_EQ(r.PageCount(), 1);
    EXPECT_NEAR(std::get<TextItem>(r.pages[0].items[0]).box.x, 0, 0.01);  // margin 0
    if (c.paper == qrpCustom) {
      std::string pdf = TempFile("custom.pdf");
      SavePdf(r, pdf);
      EXPECT_NE(Shell("pdfinfo " + pdf).find("Page size:       992.126 x 793.701 pts"), std::string::npos);
    }
  }
}

TEST_F(ReportTest, LandscapeListingUsesTheWiderPage) {
  Listing portrait, landscape;
  landscape.rep->Page->Orientation = poLandscape;
  portrait.rep->Prepare();
  landscape.rep->Prepare();
  // fewer rows fit on the lower landscape page
  auto rowsOnFirstPage = [](const TQuickRep* rep) {
    std::string first = Pages(DumpText(rep->Prepared())).at(0);
    size_t n = 0;
    for (size_t at = first.find("Consignación"); at != std::string::npos; at = first.find("Consignación", at + 1)) ++n;
    return n;
  };
  EXPECT_LT(rowsOnFirstPage(landscape.rep), rowsOnFirstPage(portrait.rep));
  EXPECT_NEAR(landscape.rep->Prepared().width, 792, 0.01);
  EXPECT_NE(DumpText(landscape.rep->Prepared()).find("TOTAL GENERAL | 5050"), std::string::npos);
}

void WriteBmp(const std::string& path, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
  int row = ((w * 3 + 3) / 4) * 4;
  std::vector<unsigned char> f(54 + row * h, 0);
  auto put32 = [&](int at, uint32_t v) { for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 0xFF; };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, f.size());
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  f[26] = 1;
  f[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      f[54 + y * row + x * 3] = b;
      f[54 + y * row + x * 3 + 1] = g;
      f[54 + y * row + x * 3 + 2] = r;
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(f.data()), f.size());
}

TEST_F(ReportTest, ImagesFromBmpAndPngFiles) {
  std::string bmp = TempFile("firma.bmp"), png = TempFile("logo.png");
  WriteBmp(bmp, 4, 2, 255, 0, 0);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 3);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_write_to_png(s, png.c_str());
  cairo_surface_destroy(s);

  TComponent form(nullptr);
  auto* rep = new TQuickRep(&form);
  rep->Page->LeftMargin = 0;
  rep->Page->TopMargin = 0;
  TQRBand* title = Band(&form, rep, rbTitle, 100);
  auto* sign = Place<TQRImage>(&form, title, 0, 0, 80);
  sign->Height = 40;
  sign->Stretch = true;
  sign->Picture->LoadFromFile(bmp.c_str());
  auto* logo = Place<TQRImage>(&form, title, 200, 0, 100);
  logo->Picture->LoadFromFile(png.c_str());  // natural size: 3 x 3 pixels
  auto* broken = Place<TQRImage>(&form, title, 300, 0);
  broken->Picture->FileName = (TempFile("listado.pdf")).c_str();  // not a picture: prints nothing
  rep->Prepare();

  const auto& items = rep->Prepared().pages.at(0).items;
  std::vector<const ImageItem*> images;
  for (const Item& i : items)
    if (auto* im = std::get_if<ImageItem>(&i)) images.push_back(im);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_DOUBLE_EQ(images[0]->box.w, 60);  // 80 px stretched
  EXPECT_DOUBLE_EQ(images[0]->box.h, 30);
  EXPECT_DOUBLE_EQ(images[1]->box.w, 2.25);

  Picture page = RenderPage(rep->Prepared(), 0, 1.0);
  EXPECT_EQ(page.pixels[10 * page.width + 10], 0xFFFF0000u);   // inside the red signature
  EXPECT_EQ(page.pixels[1 * page.width + 151], 0xFF0000FFu);   // the blue logo at x=150pt
  EXPECT_EQ(page.pixels[50 * page.width + 100], 0xFFFFFFFFu);  // paper

  std::string pdf = TempFile("imagen.pdf");
  SavePdf(rep->Prepared(), pdf);
  std::string list = Shell("pdfimages -list " + pdf);
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 4) << list;  // two header lines + two images
}

TEST_F(ReportTest, BandEventsHeightsAndClipping) {
  TComponent form(nullptr);
  ListRows rows({"n"});
  for (int i = 1; i <= 3; ++i) rows.AddRow({ListRows::Num(i)});
  auto* rep = new TQuickRep(&form);
  rep->SetReportData(&rows);

  TQRBand* title = Band(&form, rep, rbTitle, 30);
  auto* memo = Place<TQRMemo>(&form, title, 0, 0, 120);
  memo->Height = 300;
  memo->Lines->Add("Objeto del gasto: compra de útiles escolares para la sede principal y las sedes rurales del municipio");
  // the handler grows the band to fit two lines only
  title->BeforePrint = [&](TQRCustomBand* b, bool&) { b->Height = 28; };

  TQRBand* detail = Band(&form, rep, rbDetail, 16);
  Place<TQRDBText>(&form, detail, 0, 0)->DataField = "n";
  detail->BeforePrint = [&](TQRCustomBand*, bool& print) {
    ExprValue v;
    rows.Field("n", v);
    print = v.number != 2;  // skip row 2
  };
  auto* child = new TQRChildBand(&form);
  child->ParentBand = detail;
  child->Height = 16;
  Label(&form, child, "hijo", 20, 0);

  TQRBand* hidden = Band(&form, rep, rbSummary, 16);
  Label(&form, hidden, "oculto", 0, 0);
  hidden->Enabled = false;
  TQRBand* summary = Band(&form, rep, rbSummary, 16);
  Label(&form, summary, "no se imprime", 0, 0)->Enabled = false;
  Label(&form, summary, "fin", 0, 0);
  new TQRLabel(&form);  // on no band: never printed

  TQRBand* tall = Band(&form, rep, rbSummary, 5000);  // taller than a page: cut, not looping
  tall->ForceNewPage = true;
  Label(&form, tall, "alto", 0, 0);

  rep->Prepare();
  std::string dump = DumpText(rep->Prepared());
  EXPECT_EQ(dump,
            "--- page 1 ---\n"
            "Objeto del gasto:\n"
            "compra de útiles\n"
            "1\n"
            "hijo\n"
            "3\n"
            "hijo\n"
            "fin\n"
            "--- page 2 ---\n"
            "alto\n");
  EXPECT_EQ(title->Height, 28);
  double bottom = rep->Prepared().height - 10 * 72 / 25.4;
  for (const Item& i : rep->Prepared().pages[1].items) {
    if (auto* t = std::get_if<TextItem>(&i)) {
      EXPECT_LE(t->clip.Bottom(), bottom + 0.01);
    }
  }
}

TEST_F(ReportTest, ExpressionsGroupOnPartOfAFieldAndSumPerGroup) {
  TComponent form(nullptr);
  ListRows rows({"numecuen", "valor"});
  rows.AddRow({ListRows::Text("110505"), ListRows::Num(10)});
  rows.AddRow({ListRows::Text("110510"), ListRows::Num(5)});
  rows.AddRow({ListRows::Text("120505"), ListRows::Num(7)});
  auto* rep = new TQuickRep(&form);
  rep->SetReportData(&rows);
  auto* group = new TQRGroup(&form);
  group->Parent = rep;
  group->Expression = "COPY(numecuen,1,4)";
  group->Height = 16;
  Place<TQRExpr>(&form, group, 0, 0)->Expression = "'Grupo ' + COPY(numecuen, 1, 4)";
  TQRBand* detail = Band(&form, rep, rbDetail, 16);
  Place<TQRExpr>(&form, detail, 0, 0)->Expression = "numecuen";
  Place<TQRExpr>(&form, detail, 100, 0)->Expression = "valor * 2";
  TQRBand* footer = Band(&form, rep, rbGroupFooter, 16);
  group->FooterBand = footer;
  Place<TQRExpr>(&form, footer, 100, 0)->Expression = "SUM(valor)";
  TQRBand* summary = Band(&form, rep, rbSummary, 16);
  Place<TQRExpr>(&form, summary, 0, 0)->Expression = "COUNT";
  auto* total = Place<TQRExpr>(&form, summary, 100, 0);
  total->Expression = "sum( valor )";
  rep->Prepare();
  EXPECT_EQ(DumpText(rep->Prepared()),
            "--- page 1 ---\n"
            "Grupo 1105\n110505 | 20\n110510 | 10\n15\n"
            "Grupo 1205\n120505 | 14\n7\n"
            "3 | 22\n");

  total->Expression = "SUM(valor";
  EXPECT_THROW(rep->Prepare(), Exception);
}

TEST_F(ReportTest, PreviewAndPrintGoThroughTheHook) {
  Listing l;
  l.rep->Prepare();
  int afterPrepare = l.detailPrints;
  l.rep->Preview();  // shows the pages just prepared, without running the bands again
  EXPECT_EQ(l.detailPrints, afterPrepare);
  ASSERT_NE(HeadlessUi().Last(), nullptr);
  EXPECT_EQ(HeadlessUi().Last()->kind, HeadlessReportUi::Shown::kPreview);
  EXPECT_EQ(HeadlessUi().Last()->title, "Listado");
  EXPECT_EQ(HeadlessUi().Last()->report.PageCount(), 3);

  l.rep->ShowPrintDialog = true;
  l.rep->Print();  // prepares again
  EXPECT_EQ(l.detailPrints, 2 * afterPrepare);
  EXPECT_EQ(HeadlessUi().Last()->kind, HeadlessReportUi::Shown::kPrint);
  EXPECT_TRUE(HeadlessUi().Last()->showDialog);
  EXPECT_TRUE(l.rep->PrinterSetup());
  EXPECT_EQ(HeadlessUi().printerSetups, 1);

  // a report that declines to print shows nothing
  l.rep->BeforePrint = [](TQuickRep*, bool& print) { print = false; };
  l.rep->Preview();
  EXPECT_EQ(HeadlessUi().shown.size(), 2u);
  EXPECT_EQ(l.rep->QRPrinter->PageCount, 0);

  // a registered front end receives the pages
  struct Recorder : ReportUi {
    int previews = 0;
    void Preview(const PreparedReport& r, const std::string&) override { previews += r.PageCount(); }
    bool Print(const PreparedReport&, const std::string&, bool) override { return true; }
    bool PrinterSetup() override { return false; }
  } ui;
  SetReportUi(&ui);
  l.rep->BeforePrint = nullptr;
  l.rep->Preview();
  SetReportUi(nullptr);
  EXPECT_EQ(ui.previews, 3);
}

}  // namespace

TEST_F(ReportTest, VerticalRulesPrintCutToTheirBand) {
  TComponent form(nullptr);
  auto* rep = new TQuickRep(&form);
  TQRBand* title = Band(&form, rep, rbTitle, 40);
  auto rule = [&](int left, int top, int height) {
    auto* s = Place<TQRShape>(&form, title, left, top, 1);
    s->Shape = qrsVertLine;
    s->Height = height;
  };
  rule(10, 0, 40);    // the band's full height
  rule(100, 20, 60);  // longer than the band: cut at its bottom
  rule(900, 0, 40);   // outside the page width's band: dropped
  rep->Prepare();
  std::vector<ShapeItem> lines;
  for (const auto& it : rep->Prepared().pages.at(0).items)
    if (auto* s = std::get_if<ShapeItem>(&it))
      if (s->kind == ShapeKind::VertLine) lines.push_back(*s);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].box.h, 30, 0.5);  // 40 px = 30 pt
  EXPECT_NEAR(lines[1].box.h, 15, 0.5);  // 20 of its 60 px fit
}

TEST_F(ReportTest, TextsThatPrintCutAreRecorded) {
  std::vector<Overflow> cut;
  SetOverflowRecorder(&cut);
  Listing l;
  l.rep->Prepare();
  EXPECT_TRUE(cut.empty()) << cut.front().element << ": " << cut.front().text;

  TComponent form(nullptr);
  auto* rep = new TQuickRep(&form);
  TQRBand* title = Band(&form, rep, rbTitle, 60);
  TQRLabel* fits = Label(&form, title, "1.500,00", 0, 0);
  fits->Name = "cabe";
  fits->AutoSize = false;
  fits->Width = 100;
  fits->Alignment = taRightJustify;
  TQRLabel* narrow = Label(&form, title, "-999.999.999.999,99", 0, 20);
  narrow->Name = "angosto";
  narrow->AutoSize = false;
  narrow->Width = 40;
  narrow->Alignment = taRightJustify;
  TQRLabel* outside = Label(&form, title, "fuera del margen", 790, 0);  // autosized past the band
  outside->Name = "fuera";
  auto* memo = Place<TQRMemo>(&form, title, 200, 20, 200);
  memo->Name = "memo";
  memo->Height = 14;
  memo->Lines->Add("primera");
  memo->Lines->Add("segunda");
  rep->Prepare();
  SetOverflowRecorder(nullptr);
  std::vector<std::string> names;
  for (const Overflow& o : cut) names.push_back(o.element + ":" + o.text);
  EXPECT_EQ(names, (std::vector<std::string>{"angosto:-999.999.999.999,99", "fuera:fuera del margen", "memo:segunda"}));
  EXPECT_GT(cut[0].width, cut[0].room);
  // Recording does not change what prints.
  EXPECT_NE(DumpText(rep->Prepared()).find("primera"), std::string::npos);
}

TEST_F(ReportTest, AMarginThatPushesTheContentPastTheEdgeNarrowsIt) {
  std::vector<Overflow> cut;
  SetOverflowRecorder(&cut);
  TComponent form(nullptr);
  auto* rep = new TQuickRep(&form);
  rep->Page->LeftMargin = 30;
  TQRBand* detail = Band(&form, rep, rbTitle, 20);
  TQRLabel* amount = Label(&form, detail, "1.500.000,00", 550, 0);
  amount->AutoSize = false;
  amount->Width = 130;
  amount->Alignment = taRightJustify;
  auto* rule = Place<TQRShape>(&form, detail, 680, 0, 1);  // the column's closing rule
  rule->Shape = qrsVertLine;
  rule->Height = 20;
  rep->Prepare();
  SetOverflowRecorder(nullptr);
  EXPECT_TRUE(cut.empty()) << cut.front().element << ": " << cut.front().text;
  const double edge = 612 - 10 * 72 / 25.4;
  int rules = 0;
  for (const Item& item : rep->Prepared().pages.at(0).items) {
    if (const auto* t = std::get_if<TextItem>(&item)) {
      EXPECT_LE(t->box.Right(), edge + 0.01);
      EXPECT_LT(t->font.size, 8);
    } else if (const auto* s = std::get_if<ShapeItem>(&item)) {
      ++rules;
      EXPECT_LE(s->box.x, edge + 0.01);
    }
  }
  EXPECT_EQ(rules, 1);  // kept, not dropped at the edge
}
