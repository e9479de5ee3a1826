#include "item/characteristic_item.h"

#include <gtest/gtest.h>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

TEST(CharacteristicItemTest, SaveWritesTheCurveFactorsAndFlags) {
  pugi::xml_document doc;
  pugi::xml_node item = doc.append_child("item");
  xPageManagement m(item, nullptr);
  m.SetValveRecalc(false);
  m.SetTrimReset(false);
  xPageArgs args;
  args.Item = item;
  args.Management = &m;

  const xUserCharacteristic uc = SaveUserCharacteristic(args, {{40, 10}}, true, false, 5);
  const pugi::xml_node process = item.child("process");
  EXPECT_EQ(GetChildText(process, "valvechar"),
            "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\");
  EXPECT_EQ(GetChildFloat(process, "percentcv"), 10);  // typed 5
  EXPECT_EQ(GetChildInt(process, "combotrim"), 2);
  EXPECT_DOUBLE_EQ(GetChildFloat(process, "factorcv"), 4);
  EXPECT_NEAR(GetChildFloat(process, "factorcc"), 0.667, 5e-4);
  EXPECT_EQ(uc.slopes.size(), 2u);
  EXPECT_TRUE(m.ValveRecalc());
  EXPECT_TRUE(m.TrimReset());

  SaveUserCharacteristic(args, {{40, 10}}, false, false, 150);
  EXPECT_EQ(GetChildFloat(process, "percentcv"), 100);
  EXPECT_EQ(GetChildInt(process, "combotrim"), 0);
  EXPECT_NEAR(GetChildFloat(process, "factorcv"), 0.667, 5e-4);
  EXPECT_EQ(GetChildFloat(process, "factorcc"), 1);
}

TEST(CharacteristicItemTest, UserDefinedMeansTheItemsOwnCurve) {
  testing::TempDatabase db(
      "CREATE TABLE Valves (ID INTEGER PRIMARY KEY, Name TEXT, Characteristic TEXT);"
      "INSERT INTO Valves VALUES (1, 'Linear', '0\\0\\0.3\\0.3\\0.7\\0.7\\1\\1\\'),"
      " (2, 'Custom', '<user defined>');");
  xConnection c(db.file());
  xQuery valves(c, "select * from Valves order by ID ;");
  pugi::xml_document doc;
  pugi::xml_node item = doc.append_child("item");
  SetChildText(ProcessOf(item), "valvechar", "0\\0\\0\\0\\1\\1\\1\\1\\");
  xPageArgs args;
  args.Item = item;

  EXPECT_EQ(xCharacteristic(args, valves).Curve(), "0\\0\\0.3\\0.3\\0.7\\0.7\\1\\1\\");
  valves.Next();
  const xCharacteristic custom(args, valves);
  EXPECT_EQ(custom.Curve(), "0\\0\\0\\0\\1\\1\\1\\1\\");
  EXPECT_EQ(custom.Args().Item, item);
}

}  // namespace
}  // namespace quenta
