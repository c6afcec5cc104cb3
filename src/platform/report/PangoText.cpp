// Font resolution, measuring and drawing of report text with pango.
#include "platform/report/PangoText.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>

namespace tv::report {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

const std::set<std::string>& InstalledFamilies() {
  static std::set<std::string> families;
  static std::once_flag once;
  std::call_once(once, [] {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoFontFamily** list = nullptr;
    int n = 0;
    pango_font_map_list_families(map, &list, &n);
    for (int i = 0; i < n; ++i) families.insert(Lower(pango_font_family_get_name(list[i])));
    g_free(list);
  });
  return families;
}

void Configure(PangoContext* ctx) {
  cairo_font_options_t* opts = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(ctx, opts);
  cairo_font_options_destroy(opts);
  pango_cairo_context_set_resolution(ctx, 72.0);
  pango_context_set_round_glyph_positions(ctx, FALSE);
}

std::string FontKey(const FontSpec& f) {
  return f.name + '|' + std::to_string(f.size) + (f.bold ? "|b" : "|") + (f.italic ? "i" : "");
}

}  // namespace

std::string ResolveFontFamily(const std::string& name) {
  static const std::pair<const char*, const char*> kMap[] = {
      {"arial", "DejaVu Sans"},           {"helvetica", "DejaVu Sans"},
      {"tahoma", "DejaVu Sans"},          {"verdana", "DejaVu Sans"},
      {"ms sans serif", "DejaVu Sans"},   {"microsoft sans serif", "DejaVu Sans"},
      {"arial narrow", "DejaVu Sans"},    {"abadi mt condensed light", "DejaVu Sans"},
      {"times new roman", "DejaVu Serif"}, {"times", "DejaVu Serif"},
      {"ms serif", "DejaVu Serif"},       {"courier new", "DejaVu Sans Mono"},
      {"courier", "DejaVu Sans Mono"},    {"lucida console", "DejaVu Sans Mono"},
  };
  const auto& installed = InstalledFamilies();
  std::string key = Lower(name);
  if (!key.empty() && installed.count(key)) return name;
  for (const auto& [from, to] : kMap)
    if (key == from && installed.count(Lower(to))) return to;
  return "DejaVu Sans";
}

TextEngine::TextEngine() {
  measureCtx_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
  Configure(measureCtx_);
  measureLayout_ = pango_layout_new(measureCtx_);
}

TextEngine::~TextEngine() {
  for (auto& [k, d] : fonts_) pango_font_description_free(d);
  g_object_unref(measureLayout_);
  g_object_unref(measureCtx_);
}

TextEngine& TextEngine::ForThisThread() {
  thread_local TextEngine engine;
  return engine;
}

const PangoFontDescription* TextEngine::Describe(const FontSpec& f) {
  std::string key = FontKey(f);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, ResolveFontFamily(f.name).c_str());
  pango_font_description_set_size(d, static_cast<int>(f.size * PANGO_SCALE + 0.5));
  pango_font_description_set_weight(d, f.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d, f.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  std::string lower = Lower(f.name);
  if (lower.find("condensed") != std::string::npos || lower.find("narrow") != std::string::npos)
    pango_font_description_set_stretch(d, PANGO_STRETCH_CONDENSED);
  fonts_.emplace(key, d);
  return d;
}

void TextEngine::SetText(PangoLayout* layout, const std::string& text, const FontSpec& f) {
  pango_layout_set_font_description(layout, Describe(f));
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  if (f.underline) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  } else {
    pango_layout_set_attributes(layout, nullptr);
  }
}

double TextEngine::TextWidth(const std::string& text, const FontSpec& f) {
  pango_layout_set_width(measureLayout_, -1);
  SetText(measureLayout_, text, f);
  PangoRectangle logical;
  pango_layout_get_extents(measureLayout_, nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

double TextEngine::LineHeight(const FontSpec& f) {
  std::string key = FontKey(f);
  auto it = lineHeights_.find(key);
  if (it != lineHeights_.end()) return it->second;
  pango_layout_set_width(measureLayout_, -1);
  SetText(measureLayout_, "Ág", f);
  PangoRectangle logical;
  pango_layout_get_extents(measureLayout_, nullptr, &logical);
  double h = static_cast<double>(logical.height) / PANGO_SCALE;
  lineHeights_.emplace(key, h);
  return h;
}

std::vector<std::string> TextEngine::Wrap(const std::string& text, const FontSpec& f, double width) {
  std::vector<std::string> lines;
  pango_layout_set_width(measureLayout_, std::max(1, static_cast<int>(width * PANGO_SCALE)));
  pango_layout_set_wrap(measureLayout_, PANGO_WRAP_WORD_CHAR);
  SetText(measureLayout_, text, f);
  int n = pango_layout_get_line_count(measureLayout_);
  const char* base = pango_layout_get_text(measureLayout_);
  for (int i = 0; i < n; ++i) {
    PangoLayoutLine* line = pango_layout_get_line_readonly(measureLayout_, i);
    std::string s(base + line->start_index, static_cast<size_t>(line->length));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
    lines.push_back(std::move(s));
  }
  pango_layout_set_width(measureLayout_, -1);
  return lines;
}

void TextEngine::Draw(cairo_t* cr, const TextItem& t) {
  // The measuring layout draws too: same metrics on every surface, no per-item setup.
  PangoLayout* layout = measureLayout_;
  pango_layout_set_width(layout, -1);
  SetText(layout, t.text, t.font);
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  double tw = static_cast<double>(logical.width) / PANGO_SCALE;
  double x = t.box.x;
  if (t.align == HAlign::Right) x = t.box.Right() - tw;
  else if (t.align == HAlign::Center) x = t.box.x + (t.box.w - tw) / 2;
  bool needsClip = x < t.clip.x - 0.01 || x + tw > t.clip.Right() + 0.01 ||
                   t.box.y < t.clip.y - 0.01 ||
                   t.box.y + static_cast<double>(logical.height) / PANGO_SCALE > t.clip.Bottom() + 0.01;
  cairo_save(cr);
  if (needsClip) {
    cairo_rectangle(cr, t.clip.x, t.clip.y, t.clip.w, t.clip.h);
    cairo_clip(cr);
  }
  uint32_t c = t.font.color;
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
  cairo_move_to(cr, x, t.box.y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
}

}  // namespace tv::report
