// quenta-cli demo [--appdata DIR]: a customer, a quote and three engineered items, printed as
// one PDF, made the way an engineer makes them: each item starts from the default item and goes
// through the wizard's steps in the wizard's order.
#include "demo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "actuator.h"
#include "app/project_store.h"
#include "app/quote_file.h"
#include "app/quote_items.h"
#include "commands.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "size.h"
#include "sizing/spec_recommendation.h"
#include "trim.h"
#include "wizard/frame_page.h"
#include "wizard/item_script.h"
#include "wizard/plates_logic.h"
#include "wizard/process_logic.h"
#include "wizard/valve_spec_logic.h"

namespace quenta::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDemoCustomer = "Demo Customer";
constexpr const char* kDemoQuote = "DEMO-001";

// A file the demo made: in the store's quotes folder (links and ".." followed) and named as
// AddQuote names the demo quote's file, "DEMO-001.qqf" or "DEMO-001_N.qqf".
bool IsDemoQuoteFile(const xProjectStore& store, const fs::path& file) {
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(file.parent_path(), ec);
  if (ec || folder != fs::weakly_canonical(store.QuotesFolder(), ec) || ec) return false;
  if (file.extension() != kQuoteFileExtension) return false;
  const std::string stem = file.stem().string();
  const std::string prefix = std::string(kDemoQuote) + "_";
  if (stem == kDemoQuote) return true;
  return stem.size() > prefix.size() && stem.rfind(prefix, 0) == 0 &&
         std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(prefix.size()), stem.end(),
                     [](unsigned char c) { return c >= '0' && c <= '9'; });
}

// What the engineer types into the wizard's first pages for each demo item.
struct DemoItem {
  const char* description;
  const char* tag;
  xItemScript script;
};

// Pressures in bar(g), temperatures in °C, liquid flows in m³/hr, gas flows in the gas flow unit.
const std::vector<DemoItem>& DemoItems() {
  static const std::vector<DemoItem> items = {
      {"Boiler feedwater recirculation to the deaerator",
       "FV-5101",
       {kPhaseLiquid,
        "Water",
        "",
        "",
        "6\" - 150mm",
        "Sched 80",
        "6\" - 150mm",
        "Sched 80",
        0,
        {{"Minimum", 100, 5, 40, 180, 0}, {"Normal", 98, 5, 40, 300, 0}, {"Maximum", 95, 5, 40, 400, 0}}}},
      {"Natural gas pressure reduction, city gate station",
       "PCV-3105",
       {kPhaseGas,
        "",
        "Natural Gas (typical)",
        "Nm³/hr",
        "6\" - 150mm",
        "Sched 40",
        "8\" - 200mm",
        "Sched 40",
        1,
        {{"Minimum", 62, 24, 15, 0, 15000},
         {"Normal", 55, 24, 12, 0, 28000},
         {"Maximum", 48, 24, 10, 0, 38000}}}},
      {"Aerated water from flotation tank to clarifier",
       "LCV-4102",
       {kPhaseTwoPhase,
        "Water",
        "Air",
        "kg/hr",
        "4\" - 100mm",
        "Sched 40",
        "4\" - 100mm",
        "Sched 40",
        0,
        {{"Minimum", 7, 2.5, 25, 40, 80},
         {"Normal", 6.5, 2.5, 25, 60, 120},
         {"Maximum", 6, 2.5, 25, 75, 150}}}},
  };
  return items;
}

bool HasTrimDesign(pugi::xml_node process) {
  return GetChildBool(process, "edtrim") || GetChildBool(process, "zztrim") ||
         GetChildBool(process, "cctrim");
}

void Engineer(const ReferenceData& ref, pugi::xml_node item, const DemoItem& d, DemoItemSummary& summary) {
  SetChildText(item, "description", d.description);
  SetChildText(item, "tag", d.tag);
  xPageManagement management(item, nullptr);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  const pugi::xml_node process = ProcessOf(item);

  ScriptAnalysisType(args, d.script);
  ScriptProcess(args, d.script);
  ScriptValveSpec(args);
  FitPlates(args, d.script.plates);
  SizeItemValve(ref, item);
  // Back on the valve specification page, the recommendation now knows the sized valve's noise
  // and capacity; the engineer takes it and sizes again until it stands.
  for (int pass = 0; pass < 3; ++pass) {
    xPageManagement sized(item, nullptr);
    const xPageArgs again{ref.db.get(), item, UnitsOf(*ref.units), &sized, ref.engUser};
    xVlvSpecRecommendation recommendation;
    const rVlvSpecRecommendation proposal = recommendation.Recommend(again);
    if (proposal.vlvtype.empty() || (proposal.vlvtype == GetChildText(process, "vlvtype") &&
                                     proposal.vlvtrim == GetChildText(process, "trim")))
      break;
    ChooseValveSpec(again, proposal.vlvtype, proposal.vlvtrim);
    DesignFromConditions(again);
    FitPlates(again, d.script.plates);
    SizeItemValve(ref, item);
  }
  summary.notes = SizeItemActuator(ref, item);
  const bool trim = HasTrimDesign(process);
  if (trim) DesignItemTrim(ref, item);
  CompleteSpecSheetAndPrice(ref, item);

  const pugi::xml_node options = GetOrAddChild(item, "pdfoptions");
  SetChildBool(options, "valve", true);
  SetChildBool(options, "actuator", true);
  SetChildBool(options, "trim", trim);
  SetChildBool(options, "specsheet", true);
}

std::string Summary(int n, pugi::xml_node item) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node valve = process.child("valve");
  std::string line = "Item " + std::to_string(n) + " (" + GetChildText(item, "tag") +
                     "): " + GetChildText(process, "phase") + ", " + GetChildText(valve, "name") + " " +
                     GetChildText(valve, "size") + " " + GetChildText(process, "trim") + ", rated " +
                     GetChildDisplay(valve, "vc") + " " + GetChildText(process.child("units"), "vc") +
                     "; travel";
  double noise = 0;
  std::vector<std::string> warnings;
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    line += " " + GetChildDisplay(c, "percentopen");
    noise = std::max(noise, GetChildFloat(c, "noise"));
    for (const char* name : {"warning1", "warning2", "warning3"}) {
      const std::string w = GetChildText(c, name);
      if (!w.empty() && std::find(warnings.begin(), warnings.end(), w) != warnings.end()) continue;
      if (!w.empty()) warnings.push_back(w);
    }
  }
  line += " %";
  // The two-phase method gives no noise figure.
  if (noise > 0) line += "; noise " + FormatSigFigs(3, noise) + " dBA";
  if (const int plates = StoredPlateCount(process); plates > 0)
    line += "; " + std::to_string(plates) + " plate" + (plates == 1 ? "" : "s");
  std::string joined;
  for (const std::string& w : warnings) joined += (joined.empty() ? "" : "; ") + w;
  line += "; warnings: " + (joined.empty() ? std::string("none") : joined);
  return line;
}

struct DemoArgs {
  bool json = false;
  std::optional<std::string> appdata;
};

DemoArgs ParseDemoArgs(const std::vector<std::string>& args) {
  DemoArgs a;
  bool seen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& w = args[i];
    if (w == "--json") {
      a.json = true;
    } else if (w == "--appdata") {
      if (i + 1 >= args.size()) throw CommandUsageError("--appdata needs a folder");
      a.appdata = args[++i];
    } else if (!seen && w == "demo") {
      seen = true;
    } else {
      throw CommandUsageError("demo does not take " + w);
    }
  }
  return a;
}

}  // namespace

DemoResult RunDemo(const fs::path& appdata) {
  return RunDemo(appdata, OpenReferenceData());
}

DemoResult RunDemo(const fs::path& appdata, const ReferenceData& ref) {
  // New items and the default item are looked up in the app-data folder of the run.
  ::setenv("QUENTA_APPDATA", appdata.c_str(), 1);
  xProjectStore store(appdata);

  pugi::xml_node customer = store.FindCustomer(kDemoCustomer);
  if (!customer) customer = store.AddCustomer(kDemoCustomer);
  // An earlier demo quote is replaced: its reference goes, and its file too when it is one the
  // demo made in the quotes folder. A quote file imported from elsewhere under the same customer
  // and number is the engineer's, and stays where it is.
  if (const pugi::xml_node old = xProjectStore::FindQuote(customer, kDemoQuote)) {
    const fs::path file = GetChildText(old, "file");
    if (IsDemoQuoteFile(store, file.is_absolute() ? file : appdata / file)) {
      std::error_code ec;
      fs::remove(file.is_absolute() ? file : appdata / file, ec);
    }
    // Another program may have changed the store meanwhile: the customer node to go on with is
    // the one the removal answers, made again if that program removed the customer.
    customer = store.RemoveQuote(old);
    if (!customer) customer = store.AddCustomer(kDemoCustomer);
  }
  xQuoteDocument quote;
  const xAddedQuote added = AddQuote(store, customer, kDemoQuote, quote);

  DemoResult result;
  result.quoteFile = added.File;
  int n = 0;
  for (const DemoItem& d : DemoItems()) {
    ++n;
    const pugi::xml_node item = NewItem(quote);
    DemoItemSummary summary;
    try {
      Engineer(ref, item, d, summary);
    } catch (const std::exception& e) {
      throw Exception("Item " + std::to_string(n) + " (" + d.tag + "): " + e.what());
    }
    summary.line = Summary(n, item);
    result.items.push_back(summary);
  }
  quote.Save();

  result.pdfFile = QuotePdfFileName(appdata, kDemoCustomer, kDemoQuote);
  result.messages = MakeDemoPdf(quote.Quote(), result.pdfFile);
  return result;
}

int DemoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const DemoArgs a = ParseDemoArgs(args);
  const fs::path appdata = a.appdata ? fs::absolute(*a.appdata) : platform::AppDataFolder();
  const std::optional<ReferenceData> ref = OpenReferenceData(err);
  if (!ref) return kExitDatabase;
  try {
    const DemoResult r = RunDemo(appdata, *ref);
    out << "Quote " << kDemoQuote << " for " << kDemoCustomer << ": " << r.quoteFile.string() << '\n';
    for (const DemoItemSummary& s : r.items) out << "  " << s.line << '\n';
    for (const std::string& m : r.messages) err << m << '\n';
    out << "PDF: " << r.pdfFile.string() << '\n';
    return r.messages.empty() ? 0 : kExitFailure;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace quenta::cli
