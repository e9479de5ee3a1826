// The quote template and the default item as installed beside the program.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>

#include "item/xml_utils.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

pugi::xml_document Load(const char* name) {
  pugi::xml_document doc;
  const auto file = platform::ProgramDataFile(name);
  const pugi::xml_parse_result parsed = doc.load_file(file.c_str());
  EXPECT_TRUE(parsed) << file << ": " << parsed.description();
  return doc;
}

pugi::xml_node DefaultItem(const pugi::xml_document& doc) {
  return doc.document_element().child("item");
}

TEST(TemplatesTest, TheBlankQuoteHoldsAnEmptyQuote) {
  const pugi::xml_document doc = Load("blankquote.xml");
  const pugi::xml_node quote = doc.document_element().child("quote");
  ASSERT_TRUE(quote);
  for (const char* name : {"customer", "number", "enquiry", "project", "quotedby", "contact", "tel", "fax"}) {
    EXPECT_TRUE(quote.child(name)) << name;
    EXPECT_EQ(GetChildText(quote, name), "") << name;
  }
  EXPECT_NO_THROW(GetChildFloat(quote, "date"));
  ASSERT_TRUE(quote.child("items"));
  EXPECT_FALSE(quote.child("items").first_child());
}

TEST(TemplatesTest, TheDefaultItemIsCompleteAndLeavesTheAnalysisTypeOpen) {
  const pugi::xml_document doc = Load("defaultitem.xml");
  const pugi::xml_node item = DefaultItem(doc);
  ASSERT_TRUE(item);
  // New items take the `item` child; "Save As Default Item" overwrites the first child.
  EXPECT_EQ(doc.document_element().first_child(), item);

  const pugi::xml_node process = item.child("process");
  ASSERT_TRUE(process);
  // The analysis type is the first child of process, empty until the engineer chooses one.
  EXPECT_STREQ(process.first_child().name(), "phase");
  EXPECT_EQ(GetChildText(process, "phase"), "");
  EXPECT_FALSE(process.child("conditions"));
  EXPECT_FALSE(process.child("fluid"));

  const pugi::xml_node options = item.child("pdfoptions");
  ASSERT_TRUE(options);
  for (const char* name : {"valve", "actuator", "trim", "specsheet"}) {
    EXPECT_TRUE(options.child(name)) << name;
    EXPECT_NO_THROW(GetChildBool(options, name)) << name;
  }

  const pugi::xml_node units = process.child("units");
  ASSERT_TRUE(units.child("flow"));
  ASSERT_TRUE(process.child("actuator"));
  const pugi::xml_node prices = process.child("pricebuildup");
  ASSERT_TRUE(prices);
  EXPECT_EQ(GetChildText(prices, "localcurrency"), "R");
  EXPECT_FALSE(GetChildBool(prices, "foreign"));
  // The price page calculates on a first visit only when the stored quantity differs from the
  // 4 its quantity box starts with.
  EXPECT_NE(GetChildInt(prices, "quantity"), 4);
  EXPECT_NE(GetChildFloat(prices, "exchange"), 0.0);
}

TEST(TemplatesTest, EveryNameOfTheDefaultItemIsInTheReferenceData) {
  const pugi::xml_document doc = Load("defaultitem.xml");
  const pugi::xml_node process = DefaultItem(doc).child("process");
  const pugi::xml_node units = process.child("units");
  auto db = OpenReferenceDatabase();
  struct Case {
    pugi::xml_node parent;
    const char* element;
    const char* table;
    const char* column;
    const char* condition;  // what the row must also satisfy
  };
  const Case cases[] = {
      {units, "pressure", "UnitsP", "Name", "1"},
      {units, "airsupply", "UnitsP", "Name", "1"},
      {units, "temp", "UnitsT", "Name", "1"},
      {units.child("flow"), "liquid", "UnitsQ", "Name", "LiquidSuitable<>0"},
      {units.child("flow"), "gas", "UnitsQ", "Name", "GasSuitable<>0"},
      {units, "rho", "UnitsRho", "Name", "1"},
      {units, "nu", "UnitsNu", "Name", "1"},
      {units, "vc", "UnitsFlowCapacity", "Name", "1"},
      {units, "power", "UnitsPower", "Name", "1"},
      {units, "velocity", "UnitsVelocity", "Name", "1"},
      {units, "force", "UnitsForce", "Name", "1"},
      {units, "distance", "UnitsDist", "Name", "1"},
      {process.child("actuator"), "shutoff", "Act_ShutOffClass", "Display", "1"},
  };
  for (const Case& c : cases) {
    const std::string value = GetChildText(c.parent, c.element);
    ASSERT_FALSE(value.empty()) << c.element;
    xQuery q(*db,
             FormatSQL("select * from %s where %s='%s' and %s ;", c.table, c.column, value, c.condition));
    EXPECT_EQ(q.RecordCount(), 1u) << c.element << " = " << value << " in " << c.table;
  }

  // The pressure-drop unit goes with the pressure unit.
  xQuery pressure(*db, FormatSQL("select * from UnitsP where Name='%s' ;", GetChildText(units, "pressure")));
  ASSERT_FALSE(pressure.IsEmpty());
  EXPECT_EQ(GetChildText(units, "pressuredrop"), pressure.FieldByName("DifferentialName").AsString());
  // The atmospheric pressure is stored in that unit too: 101.325 kPa.
  EXPECT_NEAR(GetChildFloat(process, "atmpressure") * pressure.FieldByName("Multiply").AsFloat(), 101.325,
              1e-9);
}

}  // namespace
}  // namespace quenta
