#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "commands.h"
#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "wizard/price_page.h"

namespace quenta::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kSpecSheetFirst = "Fill in the spec sheet first (quenta-cli specsheet).";

// The input grid's rows that options set, in the order they are typed in.
struct InputOption {
  const char* option;
  int row;
};
constexpr InputOption kInputs[] = {
    {"--discount", kRowDiscount}, {"--freight", kRowFreight}, {"--duty", kRowDuty}, {"--markup", kRowMarkup}};

struct PriceInputs {
  std::vector<std::pair<int, std::string>> rows;  // input grid row, text as typed
  std::optional<int> quantity;
};

PriceInputs ReadInputs(const ItemOptions& o) {
  PriceInputs in;
  for (const InputOption& i : kInputs) {
    const auto v = o.values.find(i.option);
    if (v == o.values.end()) continue;
    try {
      StrToFloat(v->second);
    } catch (const ConvertError&) {
      throw CommandUsageError(std::string(i.option) + " takes a number, not " + v->second);
    }
    if (const std::string problem = PriceInputProblem(i.row, StrToFloat(v->second)); !problem.empty())
      throw CommandUsageError(std::string(i.option) + ": " + problem);
    in.rows.emplace_back(i.row, v->second);
  }
  if (const auto q = o.values.find("--quantity"); q != o.values.end()) {
    long long n = 0;
    try {
      n = StrToInt(q->second);
    } catch (const ConvertError&) {
      n = 0;
    }
    if (n < 1 || n > 100)
      throw CommandUsageError("--quantity takes a whole number from 1 to 100, not " + q->second);
    in.quantity = static_cast<int>(n);
  }
  return in;
}

// Opens the page as the wizard does (a first visit works out every total), types the inputs
// asked for and saves the list.
xPagePtr<TPriceBuildUpPage> PriceItem(const ReferenceData& ref, pugi::xml_node item, const PriceInputs& in,
                                      xPageManagement& management, xScriptedPageUI& ui) {
  if (!ProcessOf(item).child("specsheet")) throw Exception(kSpecSheetFirst);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  xPagePtr<TPriceBuildUpPage> page = CreatePage<TPriceBuildUpPage>(args, ui);
  for (const auto& [row, text] : in.rows) page->GridSetEditText(xPriceGrid::Input, row, text);
  if (in.quantity) page->edtQuantityChange(*in.quantity);
  page->SaveData();
  return page;
}

std::string Percent(double v) {
  return FormatSigFigs(3, v) + " %";
}

void PrintItem(std::ostream& out, int index, pugi::xml_node item, TPriceBuildUpPage& page) {
  out << ItemName(index, item);
  if (const std::string d = GetChildText(item, "description"); !d.empty()) out << "  " << d;
  out << "\n";
  std::vector<std::vector<std::string>> lines = {{"Description", "Default", "Actual"}};
  for (const xPriceLine& l : page.lvBuildUp)
    if (!l.More) lines.push_back({l.Description + (l.User ? " *" : ""), l.Default, l.Actual});
  lines.push_back({"Total", page.CellText(xPriceGrid::Totals, 0), page.CellText(xPriceGrid::Totals, 1)});
  out << FormatTable(lines, 2);

  std::vector<std::vector<std::string>> results = {
      {"", "", "", ""},
      {"Discount", Percent(page.Discount.Value()), "Discounted Total",
       page.CellText(xPriceGrid::Output, kRowDiscountedTotal)},
      {"Freight", page.CellText(xPriceGrid::Input, kRowFreight), "CIF Discounted Total",
       page.CellText(xPriceGrid::Output, kRowCIFTotal)},
      {"Duty", Percent(page.Duty.Value()), "Duty", page.CellText(xPriceGrid::Output, kRowDutyTotal)},
      {"Mark up", Percent(page.Markup.Value()), "Selling Price",
       page.CellText(xPriceGrid::Output, kRowSellingPrice)},
      {"Quantity", std::to_string(page.edtQuantity), "Extended Selling Price",
       page.CellText(xPriceGrid::Selling, 0)},
  };
  if (page.chkCurrency) {
    results.push_back(
        {"Exchange rate",
         FormatSigFigs(4, page.Exchange.Value()) + " " + page.LocalSymbol + "/" + page.ForeignSymbol,
         "Foreign Selling Price", page.CellText(xPriceGrid::Output, kRowForeignSellingPrice)});
    results.push_back(
        {"", "", "Foreign Landed Cost", page.CellText(xPriceGrid::Output, kRowForeignLandedCost)});
    results.push_back({"", "", "Foreign Extended Selling Price", page.CellText(xPriceGrid::Selling, 1)});
  }
  out << FormatTable(results, 2, true);
  if (page.AdditionalCount() > 0) out << "  * the engineer's own line\n";
}

json Number(pugi::xml_node parent, const char* name) {
  const std::optional<double> v = NumberOf(parent, name);
  return v ? json(*v) : json(nullptr);
}

json ItemJson(int index, pugi::xml_node item, const TPriceBuildUpPage& page) {
  const pugi::xml_node s = item.child("process").child("pricebuildup");
  json lines = json::array();
  for (const xPriceLine& l : page.lvBuildUp) {
    if (l.More) continue;
    lines.push_back({{"description", l.Description},
                     {"default", StrToFloat(l.Default)},
                     {"actual", StrToFloat(l.Actual)},
                     {"additional", l.User}});
  }
  json inputs{{"localcurrency", GetChildText(s, "localcurrency")},
              {"discount", Number(s, "discount")},
              {"freight", Number(s, "freight")},
              {"duty", Number(s, "duty")},
              {"markup", Number(s, "markup")},
              {"foreign", GetChildBool(s, "foreign")},
              {"foreigncurrency", GetChildText(s, "foreigncurrency")},
              {"exchange", Number(s, "exchange")},
              {"quantity", GetChildInt(s, "quantity")}};
  json results = json::object();
  for (const char* name :
       {"totaldefault", "totalactual", "totaldiscount", "totalcif", "totalduty", "sellingprice",
        "extsellingprice", "foreignsellingprice", "foreignlandedcost", "foreignextsellingprice"})
    results[name] = Number(s, name);
  return json{{"item", index},
              {"tag", GetChildText(item, "tag")},
              {"lines", lines},
              {"inputs", inputs},
              {"results", results}};
}

}  // namespace

int PriceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ItemOptions o =
      ParseItemOptions(args, "price", {"--discount", "--freight", "--duty", "--markup", "--quantity"});
  const PriceInputs inputs = ReadInputs(o);
  return RunItemCommand<json>(
      o, "an item could not be priced", out, err,
      [&inputs](const ReferenceData& ref, int index, pugi::xml_node item, bool asJson) {
        xScriptedPageUI ui;
        xPageManagement management(item, nullptr);
        const xPagePtr<TPriceBuildUpPage> page = PriceItem(ref, item, inputs, management, ui);
        return Answer<json>(
            asJson, [&] { return ItemJson(index, item, *page); },
            [&](std::ostream& text) { PrintItem(text, index, item, *page); });
      });
}

}  // namespace quenta::cli
