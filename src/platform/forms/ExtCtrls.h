#pragma once
// Panels, bevels, shapes, images, radio groups and timers.
#include "platform/forms/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* AOwner) : TWinControl(AOwner) {}
  AnsiString ClassName() const override { return "TPanel"; }
  TControlKind ControlKind() const override { return TControlKind::Panel; }
  TBevelCut BevelOuter = bvRaised;
  TBevelCut BevelInner = bvNone;
  int BevelWidth = 1;
  TBorderStyle BorderStyle = bsNone;
  TAlignment Alignment = taCenter;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {}
  AnsiString ClassName() const override { return "TBevel"; }
  TControlKind ControlKind() const override { return TControlKind::Bevel; }
  TBevelShape Shape = bsBox;
  TBevelStyle Style = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* AOwner) : TGraphicControl(AOwner) {}
  AnsiString ClassName() const override { return "TShape"; }
  TControlKind ControlKind() const override { return TControlKind::Shape; }
  TShapeType Shape = stRectangle;
  Sub<TBrush> Brush;
  Sub<TPen> Pen;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner) : TGraphicControl(AOwner) {}
  AnsiString ClassName() const override { return "TImage"; }
  TControlKind ControlKind() const override { return TControlKind::Image; }
  Sub<TPicture> Picture;
  bool Stretch = false;
  bool Center = false;
  bool Proportional = false;
  bool Transparent = false;
  bool AutoSize = false;
};

class TRadioGroup : public TWinControl {
 public:
  explicit TRadioGroup(TComponent* AOwner);
  AnsiString ClassName() const override { return "TRadioGroup"; }
  TControlKind ControlKind() const override { return TControlKind::RadioGroup; }
  Sub<TStringList> Items;
  // Writing ItemIndex from code fires OnClick when it changes to an item, as the
  // original's buttons did.
  TProp<int> ItemIndex;
  int Columns = 1;
  // ---- user input ----
  void UserSelect(int index);  // focus, ItemIndex (OnClick)
  void KeyDown(Word& key, TShiftState shift) override;
  bool WantsKey(Word key, TShiftState shift) const override;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  AnsiString ClassName() const override { return "TTimer"; }
  TProp<bool> Enabled;         // true at creation
  TProp<unsigned> Interval;    // milliseconds, 1000 at creation
  TNotifyEvent OnTimer;
  // The interval has elapsed: runs OnTimer when enabled (drivers call this).
  void Fire();
};
