#pragma once
// Exact sum of numbers as they are shown: each value counts as its 15-significant-digit
// decimal form (what FloatToStr prints), and the sum keeps every digit, so a total of
// amounts in cents is the exact sum of the printed amounts, however large.
#include "platform/core/AnsiString.h"

namespace tv {

class DecimalSum {
 public:
  void Add(double v);
  void Clear() { *this = DecimalSum(); }
  double Value() const;
  // All the digits of the sum, DecimalSeparator, no grouping, no trailing zeros, no exponent
  // (FloatToStr of the plain double sum if a value fell outside the exact range).
  AnsiString Text() const;

 private:
  __int128 units_ = 0;  // sum = units_ / 10^scale_
  int scale_ = 0;
  bool inexact_ = false;
  double plain_ = 0;
};

}  // namespace tv
