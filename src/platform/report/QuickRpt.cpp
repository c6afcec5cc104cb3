// Report components and the layout engine that runs the bands over the rows into pages.
#include "platform/report/QuickRpt.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/core/SysUtils.h"
#include "platform/report/Engine.h"
#include "platform/report/ReportUi.h"

using namespace tv::report;
using RRect = tv::report::Rect;

namespace {
constexpr double kPtPerMm = 72.0 / 25.4;
constexpr double kEps = 0.01;
constexpr double kOpenWidth = 1e6;  // points: a band open to the right

template <class T>
void EraseOne(std::vector<T*>& v, T* x) {
  v.erase(std::remove(v.begin(), v.end(), x), v.end());
}
}  // namespace

// ---- page -------------------------------------------------------------------------------
double TQRPage::PaperWidthPt() const {
  double w = 215.9, h = 279.4;  // letter, mm
  switch (PaperSize) {
    case qrpLegal: h = 355.6; break;
    case qrpA4: w = 210; h = 297; break;
    case qrpCustom: w = Width / 10.0; h = Length / 10.0; break;
    default: break;
  }
  return (Orientation == poLandscape ? h : w) * kPtPerMm;
}

double TQRPage::PaperHeightPt() const {
  double w = 215.9, h = 279.4;
  switch (PaperSize) {
    case qrpLegal: h = 355.6; break;
    case qrpA4: w = 210; h = 297; break;
    case qrpCustom: w = Width / 10.0; h = Length / 10.0; break;
    default: break;
  }
  return (Orientation == poLandscape ? w : h) * kPtPerMm;
}

// ---- bands ------------------------------------------------------------------------------
TQRCustomBand::TQRCustomBand(TComponent* AOwner, TQRBandType type)
    : TComponent(AOwner), Parent([this](TQuickRep* const& r) { SetParent(r); }, nullptr), BandType(type) {}

TQRCustomBand::~TQRCustomBand() {
  SetParent(nullptr);
  for (TQRPrintable* e : elements_) e->Parent.Raw(nullptr);
}

void TQRCustomBand::SetParent(TQuickRep* report) {
  TQuickRep* old = Parent.get();
  if (old == report) return;
  if (old) old->RemoveBand(this);
  Parent.Raw(report);
  if (report) report->AddBand(this);
}

TQRChildBand::TQRChildBand(TComponent* AOwner)
    : TQRCustomBand(AOwner, rbChild), ParentBand([this](TQRCustomBand* const& b) {
        ParentBand.Raw(b);
        if (b && b->Parent.get()) Parent = b->Parent.get();
      }, nullptr) {}

// ---- report -----------------------------------------------------------------------------
TQuickRep::TQuickRep(TComponent* AOwner) : TComponent(AOwner) {}

TQuickRep::~TQuickRep() {
  for (TQRCustomBand* b : bands_) b->Parent.Raw(nullptr);
}

void TQuickRep::AddBand(TQRCustomBand* b) { bands_.push_back(b); }
void TQuickRep::RemoveBand(TQRCustomBand* b) { EraseOne(bands_, b); }

bool TQuickRep::PrinterSetup() { return CurrentReportUi().PrinterSetup(); }

void TQuickRep::PrepareIfStale() {
  if (!fresh_) Prepare();
  fresh_ = false;
}

void TQuickRep::Preview() {
  PrepareIfStale();
  if (prepared_.PageCount() == 0) return;
  CurrentReportUi().Preview(prepared_, ReportTitle.str());
}

void TQuickRep::Print() {
  PrepareIfStale();
  if (prepared_.PageCount() == 0) return;
  CurrentReportUi().Print(prepared_, ReportTitle.str(), ShowPrintDialog);
}

// ---- elements -----------------------------------------------------------------------------
TQRPrintable::TQRPrintable(TComponent* AOwner)
    : TComponent(AOwner), Parent([this](TQRCustomBand* const& b) { SetParent(b); }, nullptr) {
  Font->Name = "Arial";
  Font->Size = 8;
  Font->Color = clBlack;
}

TQRPrintable::~TQRPrintable() { SetParent(nullptr); }

void TQRPrintable::SetParent(TQRCustomBand* band) {
  TQRCustomBand* old = Parent.get();
  if (old == band) return;
  if (old) EraseOne(old->elements_, this);
  Parent.Raw(band);
  if (band) band->elements_.push_back(this);
}

TQRShape::TQRShape(TComponent* AOwner) : TQRPrintable(AOwner) { Transparent = true; }

void TQRCustomLabel::Render(BandPainter& p) {
  AnsiString value = PrintText(p);
  if (OnPrint) OnPrint(this, value);
  p.Text(*this, value.str(), AutoSize, WordWrap);
}

AnsiString TQRDBText::PrintText(BandPainter& p) {
  ExprValue v;
  if (!p.Field(DataSet, DataSource, DataField, v)) return "";
  return AnsiString(ExprText(v));
}

struct TQRExpr::Parsed {
  std::string source;
  std::unique_ptr<tv::report::Expression> expr;
};

TQRExpr::TQRExpr(TComponent* AOwner) : TQRCustomLabel(AOwner) {}
TQRExpr::~TQRExpr() = default;

TQRExpr::Parsed& TQRExpr::Compiled() {
  if (!parsed_ || parsed_->source != Expression.str()) {
    auto p = std::make_unique<Parsed>();
    p->source = Expression.str();
    p->expr = std::make_unique<tv::report::Expression>(p->source);
    parsed_ = std::move(p);
  }
  return *parsed_;
}

void TQRExpr::Accumulate(BandPainter& p) {
  auto& e = *Compiled().expr;
  if (e.aggregate() == tv::report::Expression::Aggregate::None) return;
  ++count_;
  if (e.aggregate() == tv::report::Expression::Aggregate::Sum) {
    ExprValue v = e.Evaluate(p.ReportFields());
    total_.Add(v.isNumber ? v.number : StrToFloatDef(AnsiString(v.text), 0));
  }
}

AnsiString TQRExpr::PrintText(BandPainter& p) {
  auto& e = *Compiled().expr;
  switch (e.aggregate()) {
    case tv::report::Expression::Aggregate::Sum: return total_.Text();
    case tv::report::Expression::Aggregate::Count: return IntToStr(count_);
    default: return AnsiString(ExprText(e.Evaluate(p.ReportFields())));
  }
}

void TQRDBCalc::Accumulate(BandPainter& p) {
  ExprValue v;
  if (!p.Field(DataSet, DataSource, DataField, v) || v.isNull) {
    if (Operation == qrcCount) ++count_;
    return;
  }
  ++count_;
  total_.Add(v.isNumber ? v.number : StrToFloatDef(AnsiString(v.text), 0));
}

AnsiString TQRDBCalc::PrintText(BandPainter&) {
  return Operation == qrcCount ? IntToStr(count_) : total_.Text();
}

AnsiString TQRSysData::PrintText(BandPainter& p) {
  AnsiString value;
  switch (Data) {
    case qrsTime: value = TimeToStr(Now()); break;
    case qrsDate: value = DateToStr(Date()); break;
    case qrsDateTime: value = DateTimeToStr(Now()); break;
    case qrsPageNumber: value = IntToStr(p.PageNumber()); break;
    case qrsReportTitle: value = p.Report().ReportTitle; break;
    case qrsDetailNo: value = IntToStr(p.DetailNo()); break;
  }
  return Text + value;
}

void TQRMemo::Render(BandPainter& p) { p.Text(*this, Lines->Text().str(), false, WordWrap); }

void TQRShape::Render(BandPainter& p) {
  RRect r = p.ElementRect(*this);
  double pw = Pen->Style == psClear ? 0 : std::max(1, Pen->Width) * kPt;
  bool fill = Brush->Style == bsSolid && ColorToRGB(Brush->Color) != clWhite;
  auto add = [&](ShapeKind kind, RRect box) {
    // lines must start inside the band; boxes are cut to it
    const RRect& band = p.BandRect();
    if (kind == ShapeKind::HorLine) {
      if (box.y < band.y - kEps || box.y > band.Bottom() + kEps) return;
      box.x = std::max(box.x, band.x);
      box.w = std::min(box.Right(), band.Right()) - box.x;
    } else if (kind == ShapeKind::VertLine) {
      // a zero-width line has no area to intersect: keep it when it stands inside the band
      if (box.x < band.x - kEps || box.x > band.Right() + kEps) return;
      box.y = std::max(box.y, band.y);
      box.h = std::min(box.Bottom(), band.Bottom()) - box.y;
      if (box.h <= kEps) return;
    } else {
      RRect cut;
      if (!BandPainter::Intersect(box, band, cut)) return;
      box = cut;
    }
    ShapeItem s;
    s.box = box;
    s.kind = kind;
    s.penWidth = pw;
    s.penColor = static_cast<uint32_t>(ColorToRGB(Pen->Color));
    s.filled = fill;
    s.fillColor = static_cast<uint32_t>(ColorToRGB(Brush->Color));
    p.Add(s);
  };
  switch (Shape) {
    case qrsRectangle: add(ShapeKind::Rectangle, r); break;
    case qrsCircle: add(ShapeKind::Ellipse, r); break;
    case qrsHorLine: add(ShapeKind::HorLine, {r.x, r.y + r.h / 2, r.w, 0}); break;
    case qrsVertLine: add(ShapeKind::VertLine, {r.x + r.w / 2, r.y, 0, r.h}); break;
    case qrsTopAndBottom:
      add(ShapeKind::HorLine, {r.x, r.y + pw / 2, r.w, 0});
      add(ShapeKind::HorLine, {r.x, r.Bottom() - pw / 2, r.w, 0});
      break;
    case qrsRightAndLeft:
      add(ShapeKind::VertLine, {r.x + pw / 2, r.y, 0, r.h});
      add(ShapeKind::VertLine, {r.Right() - pw / 2, r.y, 0, r.h});
      break;
  }
}

void TQRImage::Render(BandPainter& p) {
  const std::string file = Picture->FileName.str();
  if (file != loadedFrom_) {
    loadedFrom_ = file;
    picture_ = file.empty() ? nullptr : LoadPicture(file);
  }
  if (!picture_) return;
  RRect r = p.ElementRect(*this);
  RRect clip;
  if (!BandPainter::Intersect(r, p.BandRect(), clip)) return;
  RRect box = r;
  if (!Stretch) {
    box.w = picture_->width * kPt;
    box.h = picture_->height * kPt;
    if (Center) {
      box.x = r.x + (r.w - box.w) / 2;
      box.y = r.y + (r.h - box.h) / 2;
    }
  }
  ImageItem im;
  im.box = box;
  im.clip = clip;
  im.picture = picture_;
  p.Add(im);
}

// ---- painter ------------------------------------------------------------------------------
namespace tv::report {

namespace {
std::vector<Overflow>* overflowRecorder = nullptr;
}  // namespace

void BandPainter::RecordCut(const TQRPrintable& e, const std::string& text, double width, double room) {
  if (edge_.recording) edge_.cuts.push_back({{e.Name.str(), text, width, room}});
}

std::vector<Overflow>* SetOverflowRecorder(std::vector<Overflow>* recorder) {
  std::vector<Overflow>* antes = overflowRecorder;
  overflowRecorder = recorder;
  return antes;
}

bool BandPainter::Intersect(const Rect& a, const Rect& b, Rect& out) {
  double x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  double x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
  if (x1 <= x0 + kEps || y1 <= y0 + kEps) return false;
  out = {x0, y0, x1 - x0, y1 - y0};
  return true;
}

bool BandPainter::Field(TDataSet* ds, TDataSource* src, const AnsiString& name, ExprValue& out) const {
  if (src) ds = DataSetOf(src);
  bool found;
  if (ds) found = ReadDataSetField(ds, name.str(), out);
  else if (data_) found = data_->Field(name.str(), out);
  else return false;
  if (!found) throw Exception(AnsiString("Campo no encontrado: ") + name);
  return true;
}

FieldLookup BandPainter::ReportFields() const {
  ReportData* d = data_;
  return [d](const std::string& name, ExprValue& out) { return d && d->Field(name, out); };
}

Rect BandPainter::ElementRect(const TQRPrintable& e) const {
  return {band_.x + e.Left * kPt, band_.y + e.Top * kPt, e.Width * kPt, e.Height * kPt};
}

FontSpec BandPainter::FontOf(const TQRPrintable& e) {
  FontSpec f;
  f.name = e.Font->Name.str();
  f.size = e.Font->Size > 0 ? e.Font->Size : 8;
  f.bold = e.Font->Style.Contains(fsBold);
  f.italic = e.Font->Style.Contains(fsItalic);
  f.underline = e.Font->Style.Contains(fsUnderline);
  f.color = static_cast<uint32_t>(ColorToRGB(e.Font->Color));
  return f;
}

void BandPainter::Text(const TQRPrintable& e, const std::string& text, bool autoSize, bool wrap) {
  FontSpec f = FontOf(e);
  Rect r = ElementRect(e);
  std::vector<std::string> lines;
  if (wrap && !autoSize) {
    lines = text_.Wrap(text, f, r.w);
  } else {
    size_t start = 0;
    for (;;) {
      size_t nl = text.find('\n', start);
      std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
  }
  double lh = text_.LineHeight(f);
  Rect clip;
  if (autoSize) {
    double w = 0;
    for (const auto& l : lines) w = std::max(w, text_.TextWidth(l, f));
    if (e.Alignment == taRightJustify) r.x = r.Right() - w;
    else if (e.Alignment == taCenter) r.x += (r.w - w) / 2;
    r.w = w;
    r.h = std::max(r.h, lh * lines.size());
  }
  if (!Intersect(r, band_, clip)) {
    if (edge_.recording)
      for (const auto& l : lines)
        if (!l.empty()) RecordCut(e, l, text_.TextWidth(l, f), 0);
    return;
  }
  HAlign align = e.Alignment == taRightJustify ? HAlign::Right : e.Alignment == taCenter ? HAlign::Center : HAlign::Left;
  TColor bg = ColorToRGB(e.Color);
  if (!e.Transparent && bg != clWhite) {
    TextItem back;
    back.box = r;
    back.clip = clip;
    back.hasBackground = true;
    back.background = static_cast<uint32_t>(bg);
    Add(std::move(back));
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    double y = r.y + lh * i;
    // lines after the first print only whole; the rest would cross the band's edge
    if (i > 0 && y + lh > clip.Bottom() + kEps) {
      if (edge_.recording)
        for (size_t j = i; j < lines.size(); ++j)
          if (!lines[j].empty()) RecordCut(e, lines[j], text_.TextWidth(lines[j], f), 0);
      break;
    }
    if (lines[i].empty()) continue;
    // Only a box that passes the printable width's edge is measured for the edge.
    bool nearEdge = clip.Right() > edge_.limit + kEps;
    if (edge_.recording || nearEdge) {
      // Where the line lands by its alignment, against what the clip lets show.
      double tw = text_.TextWidth(lines[i], f);
      double x = align == HAlign::Right ? r.Right() - tw : align == HAlign::Center ? r.x + (r.w - tw) / 2 : r.x;
      double ink = std::min(x + tw, clip.Right());
      if (nearEdge && ink > edge_.limit + kEps) {
        edge_.ink = std::max(edge_.ink, ink);
        if (edge_.recording) edge_.cuts.push_back({{e.Name.str(), lines[i], tw, 0}, pageNumber_ - 1, page_.items.size()});
      } else if (x < clip.x - kEps || x + tw > clip.Right() + kEps) {
        RecordCut(e, lines[i], tw, clip.w);
      }
    }
    TextItem t;
    t.box = {r.x, y, r.w, lh};
    t.clip = clip;
    t.text = std::move(lines[i]);
    t.font = f;
    t.align = align;
    Add(std::move(t));
  }
}

// ---- layout -------------------------------------------------------------------------------
namespace {

class Layout {
 public:
  Layout(TQuickRep& rep, PreparedReport& out) : rep_(rep), out_(out), text_(TextEngine::ForThisThread()) {}

  void Run() {
    out_ = PreparedReport();
    rep_.QRPrinter->PageCount = 0;
    rep_.QRPrinter->PageNumber = 0;
    bool printReport = true;
    if (rep_.BeforePrint) rep_.BeforePrint(&rep_, printReport);
    if (!printReport) return;

    TDataSet* ds = rep_.DataSource ? DataSetOf(rep_.DataSource) : rep_.DataSet;
    std::unique_ptr<ReportData> owned;
    if (ds) owned = DataSetRows(ds);
    data_ = owned ? owned.get() : rep_.GetReportData();

    const TQRPage& page = *rep_.Page;
    out_.width = page.PaperWidthPt();
    out_.height = page.PaperHeightPt();
    out_.title = rep_.ReportTitle.str();
    left_ = page.LeftMargin * kPtPerMm;
    width_ = std::max(0.0, out_.width - left_ - page.RightMargin * kPtPerMm);
    top_ = page.TopMargin * kPtPerMm;
    bottom_ = out_.height - page.BottomMargin * kPtPerMm;
    edge_.limit = left_ + width_;
    edge_.recording = overflowRecorder != nullptr;

    Collect();
    for (TQRCustomBand* b : rep_.Bands())
      for (TQRPrintable* e : b->Elements()) e->ResetTotal();

    if (data_) data_->First();  // the title sees the first row
    NewPage();
    for (TQRCustomBand* b : titles_) PrintBand(b, false);
    for (TQRCustomBand* b : columnHeaders_) PrintBand(b, false);
    firstPageHeadersDone_ = true;

    if (data_) RunRows();
    for (TQRCustomBand* b : summaries_) PrintBand(b, false);
    ClosePage();
    FitWidth();
    rep_.QRPrinter->PageCount = out_.PageCount();
    if (rep_.AfterPrint) rep_.AfterPrint(&rep_);
  }

 private:
  struct Group {
    TQRGroup* band;
    std::unique_ptr<tv::report::Expression> expr;
    std::string key;
  };

  void Collect() {
    for (TQRCustomBand* b : rep_.Bands()) {
      switch (b->BandType) {
        case rbTitle: titles_.push_back(b); break;
        case rbPageHeader: pageHeaders_.push_back(b); break;
        case rbColumnHeader: columnHeaders_.push_back(b); break;
        case rbDetail: details_.push_back(b); break;
        case rbSummary: summaries_.push_back(b); break;
        case rbPageFooter: pageFooters_.push_back(b); break;
        case rbGroupHeader:
          if (auto* g = dynamic_cast<TQRGroup*>(b))
            // a group without an expression never breaks
            groups_.push_back({g, std::make_unique<tv::report::Expression>(
                                      g->Expression.Trim().IsEmpty() ? std::string("''") : g->Expression.str()),
                               {}});
          else
            details_.push_back(b);  // a plain band marked as group header has no key
          break;
        case rbGroupFooter: break;  // printed through its group
        case rbChild:
          if (auto* c = dynamic_cast<TQRChildBand*>(b); c && c->ParentBand.get()) children_[c->ParentBand.get()].push_back(b);
          break;
      }
    }
  }

  void RunRows() {
    FieldLookup fields = [this](const std::string& name, ExprValue& out) { return data_->Field(name, out); };
    auto keyOf = [&](Group& g) { return ExprText(g.expr->Evaluate(fields)); };
    bool any = false;
    std::vector<std::string> next;  // keys of the row just reached, read ahead
    while (!data_->Eof()) {
      ++detailNo_;
      size_t changed = groups_.size();
      for (size_t i = 0; i < groups_.size(); ++i) {
        std::string key = next.empty() ? keyOf(groups_[i]) : std::move(next[i]);
        if (!any || (changed == groups_.size() && key != groups_[i].key)) changed = std::min(changed, i);
        groups_[i].key = std::move(key);
      }
      next.clear();
      for (size_t i = changed; i < groups_.size(); ++i) PrintBand(groups_[i].band, false);
      any = true;
      BandPainter counter = Painter({});
      for (TQRCustomBand* b : rep_.Bands())
        for (TQRPrintable* e : b->Elements()) e->Accumulate(counter);
      for (TQRCustomBand* b : details_) PrintBand(b, false);

      data_->Next();
      if (data_->Eof() || groups_.empty()) continue;
      // Footers of the groups that end here print while their last row is current.
      size_t ends = groups_.size();
      for (size_t i = 0; i < groups_.size(); ++i) {
        next.push_back(keyOf(groups_[i]));
        if (ends == groups_.size() && next[i] != groups_[i].key) ends = i;
      }
      if (ends == groups_.size()) continue;
      bool back = data_->Prior();
      for (size_t i = groups_.size(); i-- > ends;) PrintGroupFooter(groups_[i]);
      if (back) data_->Next();  // the headers of the new groups print on the next pass
    }
    if (any)
      for (size_t i = groups_.size(); i-- > 0;) PrintGroupFooter(groups_[i]);
  }

  void PrintGroupFooter(Group& g) {
    TQRCustomBand* f = g.band->FooterBand;
    if (!f) return;
    PrintBand(f, false);
    for (TQRPrintable* e : f->Elements()) e->ResetTotal();  // the next group starts from zero
  }

  // A report that passes the printable width's right edge (a left margin pushed it there) is
  // narrowed to it: positions, widths and fonts shrink alike. What the paper itself could not
  // hold at its designed place stays cut. Then everything is cut at the edge.
  void FitWidth() {
    const double limit = edge_.limit;
    double ink = edge_.ink;
    for (const PreparedPage& page : out_.pages)
      for (const Item& item : page.items) {
        if (const auto* sh = std::get_if<ShapeItem>(&item)) ink = std::max(ink, sh->box.Right());
        else if (const auto* im = std::get_if<ImageItem>(&item)) ink = std::max(ink, std::min(im->box.Right(), im->clip.Right()));
      }
    double s = 1;
    if (ink > limit + kEps && width_ > 0) {
      double need = std::min(ink - left_, out_.width);
      if (need > width_) s = width_ / need;
    }
    auto narrow = [&](Rect& r) {
      r.x = left_ + (r.x - left_) * s;
      r.w *= s;
    };
    // false when nothing of it is left inside the edge
    auto cut = [&](Rect& r) {
      if (r.Right() <= limit) return true;
      r.w = limit - r.x;
      return r.w > kEps;
    };
    if (s < 1)
      for (PreparedPage& page : out_.pages)
        for (Item& item : page.items) {
          if (auto* t = std::get_if<TextItem>(&item)) {
            narrow(t->box);
            narrow(t->clip);
            // Rounded down to pango's unit so the text never measures wider than scaled.
            t->font.size = std::floor(t->font.size * s * 1024) / 1024;
          } else if (auto* sh = std::get_if<ShapeItem>(&item)) {
            narrow(sh->box);
          } else if (auto* im = std::get_if<ImageItem>(&item)) {
            narrow(im->box);
            narrow(im->clip);
          }
        }
    // The texts that passed the edge print cut only if they still do.
    for (RightEdge::Cut& c : edge_.cuts) {
      if (c.page < 0) continue;
      const auto& t = std::get<TextItem>(out_.pages[c.page].items[c.item]);
      Rect clip = t.clip;
      double tw = c.overflow.width * s;
      double x = t.align == HAlign::Right ? t.box.Right() - tw
                 : t.align == HAlign::Center ? t.box.x + (t.box.w - tw) / 2 : t.box.x;
      if (!cut(clip)) clip.w = 0;
      c.whole = clip.w > 0 && x >= clip.x - kEps && x + tw <= clip.Right() + kEps;
      c.overflow.width = tw;
      c.overflow.room = clip.w;
    }
    if (overflowRecorder)
      for (const RightEdge::Cut& c : edge_.cuts)
        if (!c.whole) overflowRecorder->push_back(c.overflow);
    for (PreparedPage& page : out_.pages)
      std::erase_if(page.items, [&](Item& item) {
        if (auto* t = std::get_if<TextItem>(&item)) return !cut(t->clip);
        if (auto* im = std::get_if<ImageItem>(&item)) return !cut(im->clip);
        ShapeItem& sh = std::get<ShapeItem>(item);
        switch (sh.kind) {
          case ShapeKind::HorLine:
            if (sh.box.Right() > limit) sh.box.w = limit - sh.box.x;
            return false;
          case ShapeKind::VertLine: return sh.box.x > limit + kEps;
          default: return !cut(sh.box);
        }
      });
  }

  BandPainter Painter(const Rect& r) {
    return BandPainter(rep_, out_.pages.back(), r, data_, text_, edge_, pageNumber_, detailNo_);
  }

  double FooterHeight() const {
    double h = 0;
    for (TQRCustomBand* b : pageFooters_)
      if (b->Enabled) h += std::max(0, b->Height) * kPt;
    return h;
  }

  void NewPage() {
    if (pageOpen_) ClosePage();
    out_.pages.emplace_back();
    ++pageNumber_;
    rep_.QRPrinter->PageNumber = pageNumber_;
    pageOpen_ = true;
    y_ = top_;
    bodyBottom_ = bottom_ - FooterHeight();
    inFrame_ = true;
    for (TQRCustomBand* b : pageHeaders_) PrintBand(b, true);
    if (firstPageHeadersDone_)
      for (TQRCustomBand* b : columnHeaders_) PrintBand(b, true);
    inFrame_ = false;
    bodyTop_ = y_;
  }

  void ClosePage() {
    if (!pageOpen_) return;
    pageOpen_ = false;
    y_ = bottom_ - FooterHeight();
    for (TQRCustomBand* b : pageFooters_) PrintBand(b, true, bottom_);
  }

  // frame: page headers and footers, which never start a new page.
  void PrintBand(TQRCustomBand* b, bool frame, double limit = -1) {
    if (!b->Enabled) return;
    bool print = true;
    if (b->BeforePrint) b->BeforePrint(b, print);
    if (print) {
      double h = std::max(0, b->Height) * kPt;
      if (!frame) {
        if (b->ForceNewPage && y_ > bodyTop_ + kEps) NewPage();
        if (y_ + h > bodyBottom_ + kEps && y_ > bodyTop_ + kEps) NewPage();
        limit = bodyBottom_;
      } else if (limit < 0) {
        limit = bodyBottom_;
      }
      h = std::max(0.0, std::min(h, limit - y_));  // a band taller than the room left is cut
      Rect r{left_, y_, kOpenWidth, h};  // cut at the printable width once the pages are done
      if (h > 0) {
        BandPainter p = Painter(r);
        for (TQRPrintable* e : b->Elements())
          if (e->Enabled) e->Render(p);
      }
      y_ += h;
      for (TQRPrintable* e : b->Elements())
        if (e->ResetsAfterPrint()) e->ResetTotal();
    }
    if (b->AfterPrint) b->AfterPrint(b, print);
    if (print) {
      auto it = children_.find(b);
      if (it != children_.end())
        for (TQRCustomBand* c : it->second) PrintBand(c, frame, frame ? limit : -1);
    }
  }

  TQuickRep& rep_;
  PreparedReport& out_;
  TextEngine& text_;
  ReportData* data_ = nullptr;
  RightEdge edge_;
  double left_ = 0, width_ = 0, top_ = 0, bottom_ = 0;
  double y_ = 0, bodyTop_ = 0, bodyBottom_ = 0;
  bool pageOpen_ = false, inFrame_ = false, firstPageHeadersDone_ = false;
  int pageNumber_ = 0;
  long detailNo_ = 0;
  std::vector<TQRCustomBand*> titles_, pageHeaders_, columnHeaders_, details_, summaries_, pageFooters_;
  std::vector<Group> groups_;
  std::map<TQRCustomBand*, std::vector<TQRCustomBand*>> children_;
};

}  // namespace
}  // namespace tv::report

void TQuickRep::Prepare() {
  tv::report::Layout(*this, prepared_).Run();
  fresh_ = true;
}
