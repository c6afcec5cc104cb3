#pragma once
// Colours, fonts, brushes, pens, rectangles, pictures and the canvas of drawing events.
// The canvas records what a handler draws; the desktop driver replays the record onto the
// screen and headless tests read the colours and texts back.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/forms/Set.h"

// Colours are 0x00BBGGRR values; negative values are system colours (0x80000000 | index).
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) { return TColor(r & 0xFF) | TColor((g & 0xFF) << 8) | TColor((b & 0xFF) << 16); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) { return TColor(uint32_t(0x80000000u) | uint32_t(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

// A system colour resolved to its classic RGB value; other colours unchanged.
TColor ColorToRGB(TColor c);

// ---- geometry ------------------------------------------------------------------
struct TPoint {
  int x = 0, y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }

// ---- cursors --------------------------------------------------------------------
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crHandPoint = -21;

// ---- font, brush, pen --------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;

class TFont : public TObject {
 public:
  AnsiString ClassName() const override { return "TFont"; }
  AnsiString Name = "Tahoma";
  int Size = 8;  // points
  TColor Color = clWindowText;
  TFontStyles Style;
  void Assign(const TFont* other);
  void Assign(const TFont& other) { Assign(&other); }
};

enum TBrushStyle { bsSolid, bsClear };
class TBrush : public TObject {
 public:
  AnsiString ClassName() const override { return "TBrush"; }
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psClear };
class TPen : public TObject {
 public:
  AnsiString ClassName() const override { return "TPen"; }
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
};

// A member object reached through "->" like the original's owned sub-objects
// (Edit->Font->Color, Canvas->Brush->Color, ComboBox->Items->Add(...)).
template <class T>
class Sub {
 public:
  Sub() = default;
  template <class A0, class... A>
  explicit Sub(A0&& a0, A&&... a) : v_(std::forward<A0>(a0), std::forward<A>(a)...) {}
  Sub(const Sub&) = delete;
  T* operator->() { return &v_; }
  const T* operator->() const { return &v_; }
  T& operator*() { return v_; }
  const T& operator*() const { return v_; }
  operator T*() { return &v_; }
  operator const T*() const { return &v_; }
  T* get() { return &v_; }
  const T* get() const { return &v_; }

 private:
  T v_;
};

// ---- picture -------------------------------------------------------------------------
// Holds the file a picture was loaded from; the desktop driver decodes and paints it.
class EInvalidGraphic : public Exception { using Exception::Exception; };

class TPicture : public TObject {
 public:
  AnsiString ClassName() const override { return "TPicture"; }
  // EFOpenError when the file is missing, EInvalidGraphic when it is no picture the
  // front end can show (BMP, PNG, JPEG, GIF); the previous picture stays then.
  void LoadFromFile(const AnsiString& fileName);
  void Clear() { FileName = ""; }
  bool Empty() const { return FileName.IsEmpty(); }
  AnsiString FileName;
};

// ---- canvas --------------------------------------------------------------------------
enum class CanvasOpKind { FillRect, Rectangle, TextOut, TextRect, Line, Ellipse };

struct CanvasOp {
  CanvasOpKind Kind = CanvasOpKind::FillRect;
  TRect R;          // area (FillRect, Rectangle, TextRect clip, Ellipse)
  int X = 0, Y = 0; // text origin or line end
  int X0 = 0, Y0 = 0;  // line start
  AnsiString Text;
  TColor BrushColor = clWhite;
  TBrushStyle BrushStyle = bsSolid;
  TColor PenColor = clBlack;
  int PenWidth = 1;
  AnsiString FontName;
  int FontSize = 8;
  TColor FontColor = clBlack;
  TFontStyles FontStyle;
};

class TCanvas : public TObject {
 public:
  TCanvas() = default;
  AnsiString ClassName() const override { return "TCanvas"; }

  Sub<TFont> Font;
  Sub<TBrush> Brush;
  Sub<TPen> Pen;

  void FillRect(const TRect& r);
  void Rectangle(int l, int t, int r, int b);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int l, int t, int r, int b);
  void TextOut(int x, int y, const AnsiString& text);
  void TextRect(const TRect& r, int x, int y, const AnsiString& text);
  void MoveTo(int x, int y) { penPos_ = Point(x, y); }
  void LineTo(int x, int y);
  TPoint PenPos() const { return penPos_; }
  int TextWidth(const AnsiString& text) const;
  int TextHeight(const AnsiString& text) const;

  // The record of the drawing since the last Clear().
  const std::vector<CanvasOp>& Ops() const { return ops_; }
  void Clear() { ops_.clear(); }
  // Colour of the last fill or rectangle (clNone when nothing was filled), colour and
  // text of the last text drawn (empty / clNone when no text).
  TColor BackgroundColor() const;
  TColor TextColor() const;
  AnsiString LastText() const;

  // Text measuring: by default 7 px per character and 13 px per line; the desktop
  // driver installs a measurer that asks the real font.
  using Measurer = std::function<TPoint(const TFont&, const AnsiString&)>;
  static void SetMeasurer(Measurer m);

 private:
  void Record(CanvasOp op);
  std::vector<CanvasOp> ops_;
  TPoint penPos_;
};
