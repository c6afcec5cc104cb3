// Colour and font dialogs answered with a chosen value through the headless driver.
#include <gtest/gtest.h>

#include "platform/forms/Headless.h"
#include "platform/forms/Vcl.h"

using tv::forms::HeadlessDriver;
using tv::forms::UiScriptError;

TEST(ColorFontDialog, ChosenValuesFillTheDialogsInOrder) {
  HeadlessDriver ui;
  TColorDialog color(nullptr);
  TFontDialog font(nullptr);
  color.Color = clRed;
  ui.answerColor(static_cast<TColor>(0x123456));
  ui.cancelDialog();
  ui.answerFont("Arial", 12, {fsBold}, clBlue);
  EXPECT_TRUE(color.Execute());
  EXPECT_EQ(color.Color, static_cast<TColor>(0x123456));
  // A cancelled dialog keeps its colour.
  EXPECT_FALSE(color.Execute());
  EXPECT_EQ(color.Color, static_cast<TColor>(0x123456));
  EXPECT_TRUE(font.Execute());
  EXPECT_EQ(font.Font->Name, "Arial");
  EXPECT_EQ(font.Font->Size, 12);
  EXPECT_TRUE(font.Font->Style.Contains(fsBold));
  EXPECT_EQ(font.Font->Color, clBlue);
  EXPECT_EQ(ui.unused(), "");
}

TEST(ColorFontDialog, ColourAnswerToAFontDialogFails) {
  HeadlessDriver ui;
  TFontDialog font(nullptr);
  ui.answerColor(clRed);
  EXPECT_THROW(font.Execute(), UiScriptError);
}
