#include <gtest/gtest.h>

#include "platform/core/SysUtils.h"
#include "platform/core/Variant.h"

namespace {

class VariantTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
};

TEST_F(VariantTest, Conversions) {
  EXPECT_EQ(Variant(1.5).AsString(), "1,5");
  EXPECT_EQ(Variant(7).AsString(), "7");
  EXPECT_EQ(Variant(EncodeDate(2021, 3, 5)).AsString(), "05/03/2021");
  EXPECT_DOUBLE_EQ(Variant("1,5").AsDouble(), 1.5);
  EXPECT_THROW(Variant("1.5").AsDouble(), EConvertError);
  EXPECT_THROW(Variant("abc").AsInt(), EConvertError);
  EXPECT_EQ(Variant("42").AsInt(), 42);
  EXPECT_EQ(Variant(2.5).AsInt(), 2);  // ties to even, as the original
  EXPECT_EQ(Variant(3.5).AsInt(), 4);
  EXPECT_TRUE(Variant("1").AsBool());
  EXPECT_FALSE(Variant(0).AsBool());
  EXPECT_TRUE(Variant("True").AsBool());
  EXPECT_EQ(Variant("05/03/2021").AsDateTime().Val, EncodeDate(2021, 3, 5).Val);
  for (const Variant& v : {Variant::Null(), Variant()}) {
    EXPECT_EQ(v.AsString(), "");
    EXPECT_EQ(v.AsDouble(), 0);
    EXPECT_FALSE(v.AsBool());
    EXPECT_EQ(v.AsDateTime().Val, 0);
  }
}

TEST_F(VariantTest, EqualityByValue) {
  EXPECT_TRUE(Variant(5) == Variant(5.0));
  EXPECT_TRUE(Variant(true) == Variant(1));
  EXPECT_TRUE(Variant("abc") == Variant(AnsiString("abc")));
  EXPECT_FALSE(Variant("abc") == Variant("ABC"));
  EXPECT_TRUE(Variant::Null() == Variant::Null());
  EXPECT_FALSE(Variant::Null() == Variant(0));
  EXPECT_FALSE(Variant::Null() == Variant(""));
  EXPECT_TRUE(Variant("2,5") == Variant(2.5));
  EXPECT_FALSE(Variant("x") == Variant(0));
  EXPECT_TRUE(Variant(EncodeDate(2021, 3, 5)) == Variant(44260));
}

TEST_F(VariantTest, Arrays) {
  Variant a = VarArrayOf({"111005", 2, Variant::Null()});
  ASSERT_TRUE(a.IsArray());
  EXPECT_EQ(a.ArrayHighBound(), 2);
  EXPECT_EQ(a[0].AsString(), "111005");
  EXPECT_TRUE(a[2].IsNull());
  EXPECT_THROW(a[3], EOutOfRange);
  EXPECT_TRUE(a == VarArrayOf({"111005", 2.0, Variant::Null()}));
  EXPECT_FALSE(a == VarArrayOf({"111005", 2}));
  EXPECT_EQ(Variant(1).ArrayHighBound(), -1);
}

}  // namespace
