// PDF and raster output of prepared pages, and the text dump.
#include "platform/report/Render.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/core/SysUtils.h"
#include "platform/report/PangoText.h"

namespace tv::report {
namespace {

void SetColor(cairo_t* cr, uint32_t c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

class PageDrawer {
 public:
  explicit PageDrawer(cairo_t* cr) : cr_(cr), text_(TextEngine::ForThisThread()) {}
  ~PageDrawer() {
    for (auto& [p, s] : surfaces_) cairo_surface_destroy(s);
  }

  void Draw(const PreparedPage& page) {
    for (const Item& item : page.items) std::visit([this](const auto& it) { DrawItem(it); }, item);
  }

 private:
  void DrawItem(const TextItem& t) {
    if (t.hasBackground) {
      SetColor(cr_, t.background);
      cairo_rectangle(cr_, t.clip.x, t.clip.y, t.clip.w, t.clip.h);
      cairo_fill(cr_);
    }
    if (!t.text.empty()) text_.Draw(cr_, t);
  }

  void DrawItem(const ShapeItem& s) {
    const Rect& b = s.box;
    cairo_save(cr_);
    cairo_set_line_width(cr_, s.penWidth);
    switch (s.kind) {
      case ShapeKind::HorLine:
        cairo_move_to(cr_, b.x, b.y + b.h / 2);
        cairo_line_to(cr_, b.Right(), b.y + b.h / 2);
        break;
      case ShapeKind::VertLine:
        cairo_move_to(cr_, b.x + b.w / 2, b.y);
        cairo_line_to(cr_, b.x + b.w / 2, b.Bottom());
        break;
      case ShapeKind::Rectangle:
        cairo_rectangle(cr_, b.x + s.penWidth / 2, b.y + s.penWidth / 2, std::max(0.0, b.w - s.penWidth),
                        std::max(0.0, b.h - s.penWidth));
        break;
      case ShapeKind::Ellipse:
        cairo_translate(cr_, b.x + b.w / 2, b.y + b.h / 2);
        cairo_scale(cr_, std::max(b.w, 0.01) / 2, std::max(b.h, 0.01) / 2);
        cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
        cairo_identity_matrix(cr_);
        break;
    }
    if (s.filled && (s.kind == ShapeKind::Rectangle || s.kind == ShapeKind::Ellipse)) {
      SetColor(cr_, s.fillColor);
      cairo_fill_preserve(cr_);
    }
    if (s.penWidth > 0) {
      SetColor(cr_, s.penColor);
      cairo_stroke(cr_);
    }
    cairo_new_path(cr_);
    cairo_restore(cr_);
  }

  void DrawItem(const ImageItem& im) {
    if (!im.picture || im.picture->width <= 0 || im.picture->height <= 0) return;
    cairo_surface_t*& s = surfaces_[im.picture.get()];
    if (!s) {
      const Picture& p = *im.picture;
      s = cairo_image_surface_create_for_data(
          reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(p.pixels.data())), CAIRO_FORMAT_ARGB32,
          p.width, p.height, p.width * 4);
    }
    cairo_save(cr_);
    cairo_rectangle(cr_, im.clip.x, im.clip.y, im.clip.w, im.clip.h);
    cairo_clip(cr_);
    cairo_translate(cr_, im.box.x, im.box.y);
    cairo_scale(cr_, im.box.w / im.picture->width, im.box.h / im.picture->height);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
  }

  cairo_t* cr_;
  TextEngine& text_;
  std::map<const Picture*, cairo_surface_t*> surfaces_;  // one embedded copy per picture
};

}  // namespace

void SavePdf(const PreparedReport& report, const std::string& path, const PdfOptions& options) {
  cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), report.width, report.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    throw EInOutError(AnsiString("No se puede escribir el archivo ") + path.c_str());
  }
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, options.createDate.c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, options.creator.c_str());
  if (!report.title.empty()) cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, report.title.c_str());
  cairo_t* cr = cairo_create(surface);
  {
    PageDrawer drawer(cr);
    for (const PreparedPage& page : report.pages) {
      drawer.Draw(page);
      cairo_show_page(cr);
    }
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  cairo_status_t status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    throw EInOutError(AnsiString("No se puede escribir el archivo ") + path.c_str());
}

Picture RenderPage(const PreparedReport& report, int pageIndex, double scale) {
  Picture out;
  out.width = std::max(1, static_cast<int>(std::lround(report.width * scale)));
  out.height = std::max(1, static_cast<int>(std::lround(report.height * scale)));
  out.pixels.assign(size_t(out.width) * out.height, 0xFFFFFFFFu);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(out.pixels.data()), CAIRO_FORMAT_ARGB32, out.width, out.height,
      out.width * 4);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  if (pageIndex >= 0 && pageIndex < report.PageCount()) {
    PageDrawer drawer(cr);
    drawer.Draw(report.pages[pageIndex]);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return out;
}

std::string DumpText(const PreparedReport& report) {
  std::string out;
  for (int p = 0; p < report.PageCount(); ++p) {
    out += "--- page " + std::to_string(p + 1) + " ---\n";
    std::vector<const TextItem*> texts;
    for (const Item& item : report.pages[p].items)
      if (const auto* t = std::get_if<TextItem>(&item); t && !t->text.empty()) texts.push_back(t);
    std::stable_sort(texts.begin(), texts.end(), [](const TextItem* a, const TextItem* b) {
      long ya = std::lround(a->box.y), yb = std::lround(b->box.y);
      if (ya != yb) return ya < yb;
      return a->box.x < b->box.x;
    });
    long lineY = 0;
    bool first = true;
    for (const TextItem* t : texts) {
      if (!first && std::lround(t->box.y) == lineY) {
        out += " | ";
      } else {
        if (!first) out += '\n';
        lineY = std::lround(t->box.y);
      }
      out += t->text;
      first = false;
    }
    if (!first) out += '\n';
  }
  return out;
}

}  // namespace tv::report
