#include "platform/forms/Graphics.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/core/SysUtils.h"

TColor ColorToRGB(TColor c) {
  if (c >= 0) return c;
  static const TColor kSystem[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
      0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
      0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
      0xE1FFFF};
  unsigned idx = static_cast<uint32_t>(c) & 0xFF;
  if (idx < sizeof kSystem / sizeof kSystem[0]) return kSystem[idx];
  return clBlack;
}

void TFont::Assign(const TFont* o) {
  if (!o || o == this) return;
  Name = o->Name;
  Size = o->Size;
  Color = o->Color;
  Style = o->Style;
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName.str(), ec))
    throw EFOpenError("No se puede abrir el archivo " + fileName);
  // Recognised by content, not by name: a renamed text file is no picture.
  char head[8] = {};
  std::ifstream in(fileName.str(), std::ios::binary);
  in.read(head, sizeof head);
  auto starts = [&](const char* sig, size_t n) {
    return in.gcount() >= static_cast<std::streamsize>(n) && std::memcmp(head, sig, n) == 0;
  };
  bool picture = starts("BM", 2) || starts("\x89PNG\r\n\x1a\n", 8) || starts("\xFF\xD8\xFF", 3) ||
                 starts("GIF8", 4);
  if (!picture) throw EInvalidGraphic("El archivo no es una imagen válida: " + fileName);
  FileName = fileName;
}

namespace {
TCanvas::Measurer& GlobalMeasurer() {
  static TCanvas::Measurer m;
  return m;
}
}  // namespace

void TCanvas::SetMeasurer(Measurer m) { GlobalMeasurer() = std::move(m); }

int TCanvas::TextWidth(const AnsiString& text) const {
  if (GlobalMeasurer()) return GlobalMeasurer()(*Font, text).x;
  return text.Length() * 7;
}

int TCanvas::TextHeight(const AnsiString& text) const {
  if (GlobalMeasurer()) return GlobalMeasurer()(*Font, text).y;
  return 13;
}

void TCanvas::Record(CanvasOp op) {
  op.BrushColor = Brush->Color;
  op.BrushStyle = Brush->Style;
  op.PenColor = Pen->Color;
  op.PenWidth = Pen->Width;
  op.FontName = Font->Name;
  op.FontSize = Font->Size;
  op.FontColor = Font->Color;
  op.FontStyle = Font->Style;
  ops_.push_back(std::move(op));
}

void TCanvas::FillRect(const TRect& r) {
  CanvasOp op;
  op.Kind = CanvasOpKind::FillRect;
  op.R = r;
  Record(std::move(op));
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
  CanvasOp op;
  op.Kind = CanvasOpKind::Rectangle;
  op.R = Rect(l, t, r, b);
  Record(std::move(op));
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
  CanvasOp op;
  op.Kind = CanvasOpKind::Ellipse;
  op.R = Rect(l, t, r, b);
  Record(std::move(op));
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  CanvasOp op;
  op.Kind = CanvasOpKind::TextOut;
  op.R = Rect(x, y, x + TextWidth(text), y + TextHeight(text));
  op.X = x;
  op.Y = y;
  op.Text = text;
  Record(std::move(op));
  penPos_ = Point(x + TextWidth(text), y);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  CanvasOp op;
  op.Kind = CanvasOpKind::TextRect;
  op.R = r;
  op.X = x;
  op.Y = y;
  op.Text = text;
  Record(std::move(op));
}

void TCanvas::LineTo(int x, int y) {
  CanvasOp op;
  op.Kind = CanvasOpKind::Line;
  op.R = Rect(penPos_.x, penPos_.y, x, y);
  op.X0 = penPos_.x;
  op.Y0 = penPos_.y;
  op.X = x;
  op.Y = y;
  Record(std::move(op));
  penPos_ = Point(x, y);
}

TColor TCanvas::BackgroundColor() const {
  for (auto it = ops_.rbegin(); it != ops_.rend(); ++it)
    if ((it->Kind == CanvasOpKind::FillRect || it->Kind == CanvasOpKind::Rectangle) &&
        it->BrushStyle == bsSolid)
      return it->BrushColor;
  return clNone;
}

TColor TCanvas::TextColor() const {
  for (auto it = ops_.rbegin(); it != ops_.rend(); ++it)
    if (it->Kind == CanvasOpKind::TextOut || it->Kind == CanvasOpKind::TextRect)
      return it->FontColor;
  return clNone;
}

AnsiString TCanvas::LastText() const {
  for (auto it = ops_.rbegin(); it != ops_.rend(); ++it)
    if (it->Kind == CanvasOpKind::TextOut || it->Kind == CanvasOpKind::TextRect) return it->Text;
  return "";
}
