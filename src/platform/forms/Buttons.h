#pragma once
// Bit buttons and speed buttons.
#include "platform/forms/StdCtrls.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry,
                   bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* AOwner);
  AnsiString ClassName() const override { return "TBitBtn"; }
  TControlKind ControlKind() const override { return TControlKind::BitBtn; }
  // Writing Kind gives the button its modal result (bkOK mrOk, bkCancel mrCancel, ...),
  // Default for bkOK/bkYes, Cancel for bkCancel/bkNo, and a Spanish caption when it has
  // none. bkClose closes the form; bkHelp does nothing more than OnClick.
  TProp<TBitBtnKind> Kind;
  Sub<TPicture> Glyph;
  TButtonLayout Layout = blGlyphLeft;
  void Click() override;
};

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {}
  AnsiString ClassName() const override { return "TSpeedButton"; }
  TControlKind ControlKind() const override { return TControlKind::SpeedButton; }
  bool Flat = false;
  bool Down = false;
  int GroupIndex = 0;
  bool AllowAllUp = false;
  Sub<TPicture> Glyph;
  // A speed button never takes the focus: the focused control is not left.
  void UserClick() override;
};
