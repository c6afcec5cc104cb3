#pragma once
// A prepared report: pages of positioned text, shapes and images, in points (1/72 inch),
// origin at the top-left corner of the paper. Produced by TQuickRep::Prepare and read by
// the renderers (PDF, text dump) and by the preview of the desktop front end.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tv::report {

struct FontSpec {
  std::string name = "Arial";  // resolved to an installed family when drawn
  double size = 8;             // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  uint32_t color = 0;  // 0x00BBGGRR, as the application's colour values
  bool operator==(const FontSpec&) const = default;
};

enum class HAlign { Left, Right, Center };

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  double Right() const { return x + w; }
  double Bottom() const { return y + h; }
};

// One visual line of text. The text is drawn inside `box` with the given alignment and
// clipped to `clip` (the element's rectangle cut by its band).
struct TextItem {
  Rect box;
  Rect clip;
  std::string text;  // UTF-8, one line
  FontSpec font;
  HAlign align = HAlign::Left;
  bool hasBackground = false;
  uint32_t background = 0xFFFFFF;
};

enum class ShapeKind { Rectangle, HorLine, VertLine, Ellipse };

struct ShapeItem {
  Rect box;
  ShapeKind kind = ShapeKind::Rectangle;
  double penWidth = 0.75;  // points
  uint32_t penColor = 0;
  bool filled = false;
  uint32_t fillColor = 0xFFFFFF;
};

// Decoded picture: premultiplied ARGB32 pixels, row after row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  std::string source;  // file it came from, for the text dump
};

struct ImageItem {
  Rect box;   // where the picture is drawn
  Rect clip;  // element rectangle cut by the band
  std::shared_ptr<const Picture> picture;
};

using Item = std::variant<TextItem, ShapeItem, ImageItem>;

struct PreparedPage {
  std::vector<Item> items;
};

struct PreparedReport {
  double width = 612;   // points
  double height = 792;  // points
  std::string title;
  std::vector<PreparedPage> pages;
  int PageCount() const { return static_cast<int>(pages.size()); }
};

// A text line that prints cut: wider than its box, reaching outside its band (the page's
// margins), or dropped below the room of its element.
struct Overflow {
  std::string element;  // name of the printable element
  std::string text;     // the line that does not fit
  double width = 0;     // points the line needs
  double room = 0;      // points it had
};

// While a recorder is set (tests), the layout engine appends every cut text to it; null
// stops recording. Printing is unchanged either way. Returns the recorder it replaces.
std::vector<Overflow>* SetOverflowRecorder(std::vector<Overflow>* recorder);

// Reads a BMP (1, 4, 8, 24 or 32 bits, uncompressed) or PNG file. Returns null when the
// file is missing or not a picture it can read.
std::shared_ptr<Picture> LoadPicture(const std::string& path);

}  // namespace tv::report
