#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"

// Items built in the tests as the process pages write them, sized against the real catalogue.
namespace quenta::testing {

// One liquid operating condition in the item's units (the defaults: kPa(a), °C, m³/hr, kg/m³,
// cSt, m/s).
struct LiquidCond {
  double p1, p2, flow;
  double temp = 20;
  double rho = 998.2;
  double nu = 1.004;  // cSt
  double vp = 2.34;
  double c = 1482;
};

// One gas condition (kPa(a), °C, kg/hr, cSt).
struct GasCond {
  double p1, p2, flow;
  double temp = 20;
  double z = 1;
  double nu = 15.1;
};

// One two-phase condition: water with air (kPa(a), °C, kg/hr for both phases).
struct TwoPhaseCond {
  double p1, p2, liquidFlow, gasFlow;
  double temp = 20;
  double rho = 998.2;
  double vp = 2.34;
  double z = 1;
};

class SizingTest : public ::testing::Test {
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
  pugi::xml_node process() { return item_.child("process"); }
  pugi::xml_node units() { return process().child("units"); }
  pugi::xml_node valve() { return process().child("valve"); }
  std::vector<pugi::xml_node> conditions() {
    std::vector<pugi::xml_node> list;
    for (pugi::xml_node c : process().child("conditions").children("condition")) list.push_back(c);
    return list;
  }
  pugi::xml_node condition(std::size_t i) { return conditions().at(i); }

  // The frame every item shares: units, pipes (4" schedule 40 both sides), noise options and
  // the valve type, trim, flow direction, characteristic and rating.
  pugi::xml_node NewItem(const char* phase, int conditionCount, const char* vlvtype, const char* trim,
                         const char* flowdirn, const char* flowchar, const char* prating) {
    doc_.reset();
    item_ = doc_.append_child("item");
    pugi::xml_node p = ProcessOf(item_);
    SetChildText(p, "phase", phase);
    SetChildText(p, "vlvtype", vlvtype);
    SetChildText(p, "trim", trim);
    SetChildText(p, "flowdirn", flowdirn);
    SetChildText(p, "flowchar", flowchar);
    SetChildText(p, "prating", prating);
    SetChildFloat(p, "percentcv", 100);
    SetChildFloat(p, "factorcv", 1);
    SetChildFloat(p, "factorcc", 1);
    SetChildInt(p, "combotrim", 0);
    SetChildBool(p, "iecnoise", true);
    pugi::xml_node u = GetOrAddChild(p, "units");
    SetChildText(u, "pressure", "kPa(a)");
    SetChildText(u, "temp", "°C");
    SetChildText(u, "rho", "kg/m³");
    SetChildText(u, "nu", "cSt");
    SetChildText(u, "vc", "Cv");
    SetChildText(u, "power", "kW");
    SetChildText(u, "velocity", "m/s");
    pugi::xml_node flow = GetOrAddChild(u, "flow");
    SetChildText(flow, "liquid", "m³/hr");
    SetChildText(flow, "gas", "kg/hr");
    SetConditionCount(p, conditionCount);
    SetChildText(p, "pipein", "4\" - 100mm");
    SetChildText(p, "pipeout", "4\" - 100mm");
    SetChildFloat(p, "pipein_id", 102.3);
    SetChildFloat(p, "pipein_od", 114.3);
    SetChildFloat(p, "pipeout_id", 102.3);
    SetChildFloat(p, "pipeout_od", 114.3);
    SetChildFloat(p, "pipeatten", 0);
    SetChildFloat(p, "maxnoise", 85);
    SetChildFloat(p, "noiseattenuation", 0);
    SetChildInt(p, "noisedist", 1);
    SetChildFloat(p, "atmpressure", 101.325);
    return p;
  }

  // Water in a Globe/Standard/Over/Linear/ASME 300# valve.
  void LiquidItem(const std::vector<LiquidCond>& conds, const char* flowchar = "Linear") {
    pugi::xml_node p =
        NewItem("Liquid", static_cast<int>(conds.size()), "Globe", "Standard", "Over", flowchar, "ASME 300#");
    pugi::xml_node liquid = GetOrAddChild(GetOrAddChild(p, "fluid"), "liquid");
    SetChildText(liquid, "name", "Water");
    SetChildText(liquid, "base", "Water");
    SetChildFloat(liquid, "critp", 22064);
    auto it = conds.begin();
    for (pugi::xml_node c : conditions()) {
      const LiquidCond& d = *it++;
      SetChildNumber(c, "p1", d.p1, 4);
      SetChildNumber(c, "p2", d.p2, 4);
      SetChildNumber(c, "pout", d.p2, 4);
      SetChildNumber(c, "temp", d.temp, 4);
      pugi::xml_node l = GetOrAddChild(c, "liquid");
      SetChildNumber(l, "flow", d.flow, 4);
      SetChildNumber(l, "rho", d.rho, 4);
      SetChildNumber(l, "nu", d.nu, 4);
      SetChildNumber(l, "vp", d.vp, 4);
      SetChildNumber(l, "c", d.c, 4);
    }
  }

  // Air in a Globe/"Low Noise - 2 Stage"/Under/Linear/ASME 300# valve.
  void GasItem(const std::vector<GasCond>& conds, const char* trim = "Low Noise - 2 Stage") {
    pugi::xml_node p =
        NewItem("Gas", static_cast<int>(conds.size()), "Globe", trim, "Under", "Linear", "ASME 300#");
    pugi::xml_node gas = GetOrAddChild(GetOrAddChild(p, "fluid"), "gas");
    SetChildText(gas, "name", "Air");
    SetChildText(gas, "base", "Air");
    SetChildFloat(gas, "mw", 28.96);
    SetChildFloat(gas, "gamma", 1.4);
    SetChildFloat(gas, "critp", 3786);
    auto it = conds.begin();
    for (pugi::xml_node c : conditions()) {
      const GasCond& d = *it++;
      SetChildNumber(c, "p1", d.p1, 4);
      SetChildNumber(c, "p2", d.p2, 4);
      SetChildNumber(c, "pout", d.p2, 4);
      SetChildNumber(c, "temp", d.temp, 4);
      pugi::xml_node g = GetOrAddChild(c, "gas");
      SetChildNumber(g, "flow", d.flow, 4);
      SetChildNumber(g, "z", d.z, 4);
      SetChildNumber(g, "nu", d.nu, 4);
    }
  }

  // Water with air in a Globe/Standard/Over/Linear/ASME 300# valve.
  void TwoPhaseItem(const std::vector<TwoPhaseCond>& conds) {
    pugi::xml_node p = NewItem("Two Phase", static_cast<int>(conds.size()), "Globe", "Standard", "Over",
                               "Linear", "ASME 300#");
    SetChildText(units().child("flow"), "liquid", "kg/hr");
    pugi::xml_node fluid = GetOrAddChild(p, "fluid");
    SetChildFloat(GetOrAddChild(fluid, "liquid"), "critp", 22064);
    SetChildFloat(GetOrAddChild(fluid, "gas"), "mw", 28.96);
    SetChildFloat(GetOrAddChild(fluid, "gas"), "gamma", 1.4);
    auto it = conds.begin();
    for (pugi::xml_node c : conditions()) {
      const TwoPhaseCond& d = *it++;
      SetChildNumber(c, "p1", d.p1, 4);
      SetChildNumber(c, "p2", d.p2, 4);
      SetChildNumber(c, "pout", d.p2, 4);
      SetChildNumber(c, "temp", d.temp, 4);
      pugi::xml_node l = GetOrAddChild(c, "liquid");
      SetChildNumber(l, "flow", d.liquidFlow, 4);
      SetChildNumber(l, "rho", d.rho, 4);
      SetChildNumber(l, "vp", d.vp, 4);
      pugi::xml_node g = GetOrAddChild(c, "gas");
      SetChildNumber(g, "flow", d.gasFlow, 4);
      SetChildNumber(g, "z", d.z, 4);
    }
  }

  // The names of an element's children in document order.
  static std::vector<std::string> ChildNames(pugi::xml_node e) {
    std::vector<std::string> names;
    for (pugi::xml_node c : e.children()) names.emplace_back(c.name());
    return names;
  }
  // "value|sigfigs|error|text" of a result element: what the results pages read back.
  static std::string Result(pugi::xml_node parent, const char* name) {
    pugi::xml_node e = parent.child(name);
    if (!e) return "<missing>";
    std::string s = e.text().get();
    for (pugi::xml_attribute a : e.attributes()) s += std::string("|") + a.name() + "=" + a.value();
    return s;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
};

inline xConnection* SizingTest::db_ = nullptr;
inline xUnitConverters* SizingTest::units_ = nullptr;

}  // namespace quenta::testing
