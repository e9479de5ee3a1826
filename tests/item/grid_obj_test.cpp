#include "item/grid_obj.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace quenta {
namespace {

TEST(GridObjTest, NewCellShowsZeroAndIsUnchanged) {
  xGridObj cell(true, false);
  EXPECT_TRUE(cell.modified);
  EXPECT_FALSE(cell.changed);
  EXPECT_EQ(cell.SigFigs(), 3);
  EXPECT_EQ(cell.Display(), "0");
  EXPECT_TRUE(cell.modified);  // reading is pure; only the view's shown step clears it
  cell.MarkShown();
  EXPECT_FALSE(cell.modified);
  EXPECT_TRUE(cell.editable);
}

TEST(GridObjTest, DisplayUsesTextThenSignificantFigures) {
  xGridObj cell(false, true);
  cell.SetValue(1234.5678);
  EXPECT_TRUE(cell.changed);
  EXPECT_EQ(cell.Display(), "1230");
  cell.SetSigFigs(6);
  EXPECT_TRUE(cell.modified);
  EXPECT_EQ(cell.Display(), "1234.57");
  cell.text = "N/A";
  EXPECT_EQ(cell.Display(), "N/A");
  EXPECT_EQ(cell.Value(), 1234.5678);  // the exact value stays
}

TEST(GridObjTest, ActualTakesTypedTextAndKeepsTheValueOnASlip) {
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  xGridObj cell(true, true);
  cell.SetValue(2.5);
  EXPECT_EQ(cell.Actual(), "2,5");
  cell.changed = false;
  cell.modified = false;

  cell.SetActual("2,5");  // the same text: nothing changes but the refresh
  EXPECT_TRUE(cell.modified);
  EXPECT_FALSE(cell.changed);
  cell.SetActual("");
  EXPECT_EQ(cell.Value(), 2.5);
  for (const char* slip : {"12x", "inf", "nan", "1e999"}) {
    cell.SetActual(slip);
    EXPECT_EQ(cell.Value(), 2.5) << slip;
  }
  EXPECT_FALSE(cell.changed);
  cell.SetActual("0,000125");
  EXPECT_EQ(cell.Value(), 0.000125);
  EXPECT_TRUE(cell.changed);
  cell.SetActual("1.5");  // a period is read too
  EXPECT_EQ(cell.Value(), 1.5);
  platform::SetDecimalSeparator(saved);
}

TEST(GridPriceObjTest, WholeAmountRoundedHalfToEvenAfterTheSymbol) {
  xGridPriceObj price(true, false);
  price.SetValue(1234.5);
  EXPECT_EQ(price.Display(), "R1234");
  price.SetValue(1235.5);
  EXPECT_EQ(price.Display(), "R1236");
  price.SetValue(999999.49);
  EXPECT_EQ(price.Display(), "R999999");  // no grouping
  price.modified = false;
  price.SetSymbol("$");
  EXPECT_TRUE(price.modified);
  price.SetValue(1234.5);
  EXPECT_EQ(price.Display(), "$1234");
  price.SetValue(-0.4);
  EXPECT_EQ(price.Display(), "$0");
}

}  // namespace
}  // namespace quenta
