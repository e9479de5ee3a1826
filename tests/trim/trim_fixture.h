#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>
#include <string>

#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "support/message_of.h"

// Items with a trim design, built as the earlier wizard pages leave them, against the real
// reference database: a 4" valve of Cv 10 with a 2" seat (50.8 mm) and a 20 mm stroke, water or
// air, one straight characteristic section unless a test says otherwise.
namespace quenta::testing {

class TrimTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    units_ = nullptr;
    delete db_;
    db_ = nullptr;
  }

  xPageArgs Args() {
    xPageArgs a;
    a.DBConnection = db_;
    a.Item = item_;
    a.Units = UnitsOf(*units_);
    return a;
  }

  // pressureUnit is an absolute unit; the atmosphere is written in it.
  pugi::xml_node NewItem(const char* phase, const char* pressureUnit = "kPa(a)", double kPaPerUnit = 1) {
    doc_.reset();
    item_ = doc_.append_child("item");
    process_ = ProcessOf(item_);
    SetChildText(process_, "phase", phase);
    SetChildText(process_, "flowdirn", "Over");
    pugi::xml_node u = GetOrAddChild(process_, "units");
    SetChildText(u, "pressure", pressureUnit);
    SetChildText(u, "temp", "°C");
    SetChildText(u, "rho", "kg/m³");
    SetChildText(u, "vc", "Cv");
    SetChildText(u, "power", "kW");
    SetChildText(u, "velocity", "m/s");
    SetChildText(u, "distance", "mm");
    pugi::xml_node flow = GetOrAddChild(u, "flow");
    SetChildText(flow, "liquid", "m³/hr");
    SetChildText(flow, "gas", "kg/hr");
    SetChildFloat(process_, "atmpressure", 101.325 / kPaPerUnit);
    pugi::xml_node gas = GetOrAddChild(GetOrAddChild(process_, "fluid"), "gas");
    SetChildFloat(gas, "mw", 28.97);
    SetChildFloat(gas, "gamma", 1.4);
    SetChildText(process_, "valvechar", "0\\0\\0\\0\\1\\1\\1\\1\\");
    pugi::xml_node valve = GetOrAddChild(process_, "valve");
    SetChildText(valve, "size", "4\"");
    SetChildFloat(valve, "vc", 10);
    SetChildFloat(valve, "seatdia", 50.8);
    pugi::xml_node actuator = GetOrAddChild(process_, "actuator");
    SetChildFloat(actuator, "stroke", 20);
    SetChildFloat(actuator, "seatdia", 50);
    return process_;
  }

  // A condition with its sized outlet pressure p2, in the item's units.
  pugi::xml_node AddCondition(double p1, double p2, double rho = 999, double temp = 20) {
    pugi::xml_node c = GetOrAddChild(process_, "conditions").append_child("condition");
    SetChildNumber(c, "p1", p1, 4);
    SetChildNumber(c, "pout", p2, 4);
    SetChildNumber(c, "p2", p2, 4);
    SetChildNumber(c, "temp", temp, 4);
    SetChildNumber(GetOrAddChild(c, "liquid"), "rho", rho, 4);
    SetChildNumber(GetOrAddChild(c, "gas"), "z", 1, 4);
    return c;
  }

  pugi::xml_node AddSection(const char* type) {
    pugi::xml_node s =
        GetOrAddChild(GetOrAddChild(process_, "trimdesign"), "sections").append_child("section");
    s.append_attribute("type") = type;
    return s;
  }

  // The reference disk-stack design as the page saves it: 1000 to 100 kPa(a)
  // (given in the item's pressure unit), 5 % increment, offset 3000 kPa(a), factor 0.6, Cv 10,
  // 10 passages, 20 mm stroke.
  void WriteReferenceInputs(pugi::xml_node section, int disks, double kPaPerUnit = 1) {
    SetChildInt(section, "number", 1);
    SetChildInt(section, "condition", 1);
    SetChildFloat(section, "p1", 1000 / kPaPerUnit);
    SetChildFloat(section, "p2", 100 / kPaPerUnit);
    SetChildInt(section, "stages", 0);
    SetChildInt(section, "princrement", 5);
    SetChildFloat(section, "factor", 0.6);
    SetChildFloat(section, "offset", 3000 / kPaPerUnit);
    SetChildFloat(section, "vc", 10);
    SetChildFloat(section, "stroke", 20);
    SetChildInt(section, "disks", disks);
    SetChildFloat(section, "od", 100);
    SetChildInt(section, "passages", 10);
  }

  static double Float(pugi::xml_node parent, const char* name) { return GetChildFloat(parent, name); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  pugi::xml_node process_;
};

inline xConnection* TrimTest::db_ = nullptr;
inline xUnitConverters* TrimTest::units_ = nullptr;

}  // namespace quenta::testing
