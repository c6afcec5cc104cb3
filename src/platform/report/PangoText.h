#pragma once
// Internal to the report module: text measuring and drawing with pango on cairo.
// Only report .cpp files include this (it pulls in the pango headers).
#include <pango/pangocairo.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/report/Prepared.h"

namespace tv::report {

// Installed family for a font name: the name itself when installed, else a
// metric-compatible DejaVu family (Arial→DejaVu Sans, Times New Roman→DejaVu Serif,
// Courier New→DejaVu Sans Mono, ...), else DejaVu Sans.
std::string ResolveFontFamily(const std::string& name);

// Lays out text in points with fixed, unhinted metrics so measuring (layout engine) and
// drawing (PDF, preview) agree on every surface.
class TextEngine {
 public:
  TextEngine();
  ~TextEngine();
  TextEngine(const TextEngine&) = delete;
  TextEngine& operator=(const TextEngine&) = delete;

  double TextWidth(const std::string& text, const FontSpec& f);
  double LineHeight(const FontSpec& f);
  // Visual lines of `text` broken to fit `width` (hard line breaks kept).
  std::vector<std::string> Wrap(const std::string& text, const FontSpec& f, double width);
  // Draws one text item on `cr` (whose units are points).
  void Draw(cairo_t* cr, const TextItem& t);

  // Engine shared by the layout engine of the current thread.
  static TextEngine& ForThisThread();

 private:
  const PangoFontDescription* Describe(const FontSpec& f);
  void SetText(PangoLayout* layout, const std::string& text, const FontSpec& f);
  PangoContext* measureCtx_ = nullptr;
  PangoLayout* measureLayout_ = nullptr;
  std::unordered_map<std::string, PangoFontDescription*> fonts_;
  std::unordered_map<std::string, double> lineHeights_;
};

}  // namespace tv::report
