#include <gtest/gtest.h>

#include "item/page_args.h"
#include "item/xml_utils.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

// The wizard's page buttons, as many as pages reached.
class Buttons : public xPageButtons {
 public:
  explicit Buttons(int n) : count(n) {}
  int Count() const override { return count; }
  void Delete(int position) override {
    ASSERT_EQ(position, count - 1) << "buttons go from the end";
    --count;
  }
  int count;
};

class PageManagementTest : public ::testing::Test {
 protected:
  pugi::xml_document doc;
  pugi::xml_node item = doc.append_child("item");
  pugi::xml_node management() { return item.child("process").child("management"); }
  std::string stored(const char* name) { return GetChildText(management(), name); }
};

TEST_F(PageManagementTest, NewItemHasEveryPageDue) {
  xPageManagement m(item, nullptr);
  ASSERT_TRUE(management());
  EXPECT_TRUE(m.ValveRecalc() && m.ValveReset() && m.DiffuserRecalc() && m.DiffuserReset() &&
              m.ActuatorRecalc() && m.ActuatorReset() && m.TrimRecalc() && m.TrimReset() &&
              m.SpecSheetReset());
  EXPECT_EQ(m.Pages(), 1);
  EXPECT_FALSE(m.bespoke);
}

TEST_F(PageManagementTest, ValveResetCascadesAndCutsToFivePages) {
  Buttons buttons(8);
  xPageManagement m(item, &buttons);
  m.SetPages(8);
  m.SetActuatorReset(false);
  EXPECT_EQ(buttons.count, 8);  // false never cuts
  m.SetValveReset(true);
  EXPECT_EQ(buttons.count, 5);
  EXPECT_EQ(m.Pages(), 5);
  for (const char* flag : {"valvereset", "actuatorreset", "trimreset", "specsheetreset"})
    EXPECT_EQ(stored(flag), "True") << flag;
}

TEST_F(PageManagementTest, EachFlagCutsToItsPage) {
  struct Case {
    void (xPageManagement::*set)(bool);
    bool (xPageManagement::*get)() const;
    const char* element;
    int keep;  // 9: no cut
  };
  const Case cases[] = {
      {&xPageManagement::SetValveRecalc, &xPageManagement::ValveRecalc, "valverecalc", 5},
      {&xPageManagement::SetDiffuserRecalc, &xPageManagement::DiffuserRecalc, "diffuserrecalc", 4},
      {&xPageManagement::SetDiffuserReset, &xPageManagement::DiffuserReset, "diffuserreset", 4},
      {&xPageManagement::SetActuatorRecalc, &xPageManagement::ActuatorRecalc, "actuatorrecalc", 9},
      {&xPageManagement::SetActuatorReset, &xPageManagement::ActuatorReset, "actuatorreset", 6},
      {&xPageManagement::SetTrimRecalc, &xPageManagement::TrimRecalc, "trimrecalc", 9},
      {&xPageManagement::SetTrimReset, &xPageManagement::TrimReset, "trimreset", 7},
      {&xPageManagement::SetSpecSheetReset, &xPageManagement::SpecSheetReset, "specsheetreset", 9},
  };
  for (const auto& c : cases) {
    pugi::xml_document d;
    pugi::xml_node it = d.append_child("item");
    Buttons buttons(9);
    xPageManagement m(it, &buttons);
    m.SetPages(9);
    (m.*c.set)(false);
    EXPECT_FALSE((m.*c.get)()) << c.element;
    EXPECT_EQ(GetChildText(it.child("process").child("management"), c.element), "False");
    EXPECT_EQ(buttons.count, 9) << c.element;
    (m.*c.set)(true);
    EXPECT_TRUE((m.*c.get)()) << c.element;
    EXPECT_EQ(buttons.count, c.keep) << c.element;
    EXPECT_EQ(m.Pages(), c.keep) << c.element;
  }
}

TEST_F(PageManagementTest, CutsNeverRaiseTheCount) {
  Buttons buttons(3);
  xPageManagement m(item, &buttons);
  m.SetPages(3);
  m.SetDiffuserRecalc(true);
  EXPECT_EQ(buttons.count, 3);
  EXPECT_EQ(m.Pages(), 3);
  EXPECT_EQ(stored("pagecount"), "3");
}

TEST_F(PageManagementTest, FlagsSurviveReopeningAndResetAllPages) {
  {
    Buttons buttons(6);
    xPageManagement m(item, &buttons);
    m.SetPages(6);
    m.SetTrimRecalc(false);
    m.SetValveRecalc(false);
  }
  Buttons buttons(6);
  xPageManagement again(item, &buttons);
  EXPECT_FALSE(again.TrimRecalc());
  EXPECT_FALSE(again.ValveRecalc());
  EXPECT_EQ(again.Pages(), 6);
  again.ResetAllPages();
  EXPECT_EQ(buttons.count, 1);
  EXPECT_EQ(again.Pages(), 1);
}

TEST_F(PageManagementTest, BespokeComesFromTheValve) {
  GetOrAddChild(GetOrAddChild(item, "process"), "valve").append_child("bespoke").text().set("True");
  EXPECT_TRUE(xPageManagement(item, nullptr).bespoke);
}

TEST(EngineeringUserTest, ExactlyOneRowNamesTheComputer) {
  testing::TempDatabase db(
      "CREATE TABLE EngUsers (ID INTEGER PRIMARY KEY, computer TEXT);"
      "INSERT INTO EngUsers (computer) VALUES ('ENG-01'), ('TWICE'), ('TWICE'), ('O''Hara');");
  xConnection c(db.file());
  EXPECT_TRUE(IsEngineeringUser(c, "ENG-01"));
  EXPECT_TRUE(IsEngineeringUser(c, "O'Hara"));
  EXPECT_FALSE(IsEngineeringUser(c, "TWICE"));
  EXPECT_FALSE(IsEngineeringUser(c, "SALES-07"));
  EXPECT_FALSE(IsEngineeringUser(c, ""));
  EXPECT_FALSE(IsEngineeringUser(c, "x' or '1'='1"));
}

}  // namespace
}  // namespace quenta
