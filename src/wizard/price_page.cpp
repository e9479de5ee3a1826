#include "wizard/price_page.h"

#include <algorithm>
#include <cmath>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "refdata/sql_format.h"
#include "report/pdf_price.h"

namespace quenta {

namespace {

const char* const kValveFieldsSQL =
    "select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display"
    " from Spec_Fields,Spec_Options,Spec_Pages"
    " where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>'"
    " and Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display<>'Downstream Devices' ;";
const char* const kDeviceFieldsSQL =
    "select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display"
    " from Spec_Fields,Spec_Options,Spec_Pages"
    " where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>'"
    " and Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display='Downstream Devices' ;";
const char* const kValvePricesSQL = "select * from Spec_Prices where";
const char* const kDevicePricesSQL = "select * from Spec_DiffuserPrices where";

// A number text of the list; a text that is no number counts nothing.
double LineNumber(const std::string& text) {
  try {
    return StrToFloat(text);
  } catch (const ConvertError&) {
    return 0;
  }
}

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string PriceInputProblem(int row, double value) {
  switch (row) {
    case kRowDiscount:
      return value >= 0 && value <= 100 ? "" : "The discount must be from 0 to 100 %.";
    case kRowFreight:
      return value >= 0 ? "" : "The freight must not be negative.";
    case kRowDuty:
      return value >= 0 ? "" : "The duty must not be negative.";
    case kRowMarkup:
      return value >= 0 ? "" : "The markup must not be negative.";
    default:
      return "";
  }
}

TPriceBuildUpPage::TPriceBuildUpPage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_),
      ADOQueryGeneral(*Arguments.DBConnection),
      ADOQueryPrices(*Arguments.DBConnection) {}

pugi::xml_node TPriceBuildUpPage::Section() const {
  return GetOrAddChild(ProcessOf(Args.Item), "pricebuildup");
}

void TPriceBuildUpPage::InitPage() {
  number = 9;
  pPage = kSpecSheetPage;
  nPage.clear();
  pPageEnabled = true;
  nPageEnabled = false;
  GridOutput.assign(6, xGridPriceObj(false, false));
  gridTotals.assign(2, xGridPriceObj(false, false));
  gridSelling.assign(2, xGridPriceObj(false, false));
  LoadPriceBuildUp();
}

// ---------------------------------------------------------------------------------------------
// Loading

void TPriceBuildUpPage::LoadPriceBuildUp() {
  listAdditional.clear();
  for (const pugi::xml_node item : Section().child("additional").children("item"))
    listAdditional.emplace_back(item.text().get());
  BuildPriceList();
  for (std::size_t i = 0; i + 1 < lvBuildUp.size(); ++i) {
    const double stored = FindActualPrice(lvBuildUp[i].Description);
    // Adding 0 turns a rounded -0 into 0.
    if (stored >= 0) lvBuildUp[i].Actual = FloatToUserStr(std::nearbyint(stored) + 0.0);
  }
  LoadPriceInputs();
  ShowPriceOutputs();
}

double TPriceBuildUpPage::FindActualPrice(const std::string& description) {
  const pugi::xml_node items = GetOrAddChild(Section(), "items");
  for (const pugi::xml_node item : items.children("item")) {
    if (description != item.text().get()) continue;
    try {
      return StrToFloat(item.attribute("actual").value());
    } catch (const ConvertError&) {
      return -1;  // a damaged price is priced afresh
    }
  }
  return -1;
}

void TPriceBuildUpPage::BuildPriceList() {
  lvBuildUp.clear();
  Selected = -1;
  AddOptionLines(kValveFieldsSQL, kValvePricesSQL, false);
  AddOptionLines(kDeviceFieldsSQL, kDevicePricesSQL, true);
  for (const std::string& description : listAdditional)
    lvBuildUp.push_back({description, "0", "0", true, false});
  lvBuildUp.push_back({kMoreLine, "", "", false, true});
}

void TPriceBuildUpPage::AddOptionLines(const char* fieldsSQL, const char* priceSQL, bool needsTwoLookups) {
  const pugi::xml_node specsheet = ProcessOf(Args.Item).child("specsheet");
  ADOQueryGeneral.Open(fieldsSQL);
  std::string sql;
  for (ADOQueryGeneral.First(); !ADOQueryGeneral.Eof(); ADOQueryGeneral.Next()) {
    const auto number = ADOQueryGeneral.FieldByName("Number").AsInteger();
    const pugi::xml_node node = specsheet.child(("item" + std::to_string(number)).c_str());
    if (!node) continue;
    const pugi::xml_attribute selected = node.attribute("selected");
    const std::string option = selected ? selected.value() : node.text().get();
    const auto id = ADOQueryGeneral.FieldByName("ID").AsInteger();
    sql += FormatSQL(sql.empty() ? "select * from Spec_Options where ((FieldID=%d and Item='%s')"
                                 : " or (FieldID=%d and Item='%s')",
                     id, option);
  }
  // No field of the group is on the spec sheet: an option query without a condition would
  // price every option of the database, so the group gives no line.
  if (sql.empty()) return;
  sql += ") and FileField<>'<none>' ;";
  ADOQueryGeneral.Open(sql);

  ADOQueryGeneral.SetFilter([](const xQuery& q) { return q.FieldByName("Lookup").AsBoolean(); });
  if (needsTwoLookups && ADOQueryGeneral.RecordCount() != 2) return;
  std::string prices = priceSQL;
  bool first = true;
  for (ADOQueryGeneral.First(); !ADOQueryGeneral.Eof(); ADOQueryGeneral.Next()) {
    prices += FormatSQL(first ? " %s=%s" : " and %s=%s", ADOQueryGeneral.FieldByName("FileField").AsString(),
                        ADOQueryGeneral.FieldByName("Value").AsString());
    first = false;
  }
  prices += " ;";
  ADOQueryPrices.Open(prices);

  ADOQueryGeneral.SetFilter([](const xQuery& q) { return !q.FieldByName("Lookup").AsBoolean(); });
  for (ADOQueryGeneral.First(); !ADOQueryGeneral.Eof(); ADOQueryGeneral.Next()) {
    const double price =
        ADOQueryGeneral.FieldByName("Value").AsFloat() *
        ADOQueryPrices.FieldByName(ADOQueryGeneral.FieldByName("FileField").AsString()).AsFloat();
    const std::string text = FloatToUserStr(price);
    lvBuildUp.push_back({ADOQueryGeneral.FieldByName("Display").AsString(), text, text, false, false});
  }
  ADOQueryGeneral.SetFilter(nullptr);
}

void TPriceBuildUpPage::LoadPriceInputs() {
  const pugi::xml_node section = Section();
  LocalSymbol = GetChildText(section, "localcurrency");
  SetLocalSymbol(LocalSymbol);
  Discount.SetValue(GetChildFloat(section, "discount"));
  Freight.SetValue(GetChildFloat(section, "freight"));
  Duty.SetValue(GetChildFloat(section, "duty"));
  Markup.SetValue(GetChildFloat(section, "markup"));
  ForeignSymbol = GetChildText(section, "foreigncurrency");
  SetForeignSymbol(ForeignSymbol);
  Exchange.SetValue(GetChildFloat(section, "exchange"));

  // Both boxes take their stored states before the calculation that a change of either runs:
  // run from the currency box alone, it would store the quantity box's initial value over the
  // stored quantity. A section that was never calculated is calculated now.
  const bool foreign = GetChildBool(section, "foreign");
  const int quantity = std::clamp(GetChildInt(section, "quantity"), 1, 100);
  const bool changed = foreign != chkCurrency || quantity != edtQuantity || !section.child("sellingprice");
  chkCurrency = foreign;
  gridForeignEnabled = foreign;
  edtQuantity = quantity;
  if (changed) CalculatePrices();
}

void TPriceBuildUpPage::StorePriceInputs() {
  const pugi::xml_node section = Section();
  SetChildText(section, "localcurrency", LocalSymbol);
  SetChildFloat(section, "discount", Discount.Value());
  SetChildFloat(section, "freight", Freight.Value());
  SetChildFloat(section, "duty", Duty.Value());
  SetChildFloat(section, "markup", Markup.Value());
  SetChildBool(section, "foreign", chkCurrency);
  SetChildText(section, "foreigncurrency", ForeignSymbol);
  SetChildFloat(section, "exchange", Exchange.Value());
  SetChildInt(section, "quantity", edtQuantity);
}

void TPriceBuildUpPage::CalculatePrices() {
  StorePriceInputs();
  const pugi::xml_node s = Section();
  // Each result is stored and read back, so every figure shown and printed is the stored one.
  // A result too large to be a number is stored as 0.
  auto store = [&s](const char* name, double value) {
    SetChildFloat(s, name, std::isfinite(value) ? value : 0.0);
    return GetChildFloat(s, name);
  };
  double totalDefault = 0, totalActual = 0;
  for (std::size_t i = 0; i + 1 < lvBuildUp.size(); ++i) {
    totalDefault += LineNumber(lvBuildUp[i].Default);
    totalActual += LineNumber(lvBuildUp[i].Actual);
  }
  store("totaldefault", totalDefault);
  totalActual = store("totalactual", totalActual);
  const double discount = GetChildFloat(s, "discount");
  const double freight = GetChildFloat(s, "freight");
  const double duty = GetChildFloat(s, "duty");
  const double markup = GetChildFloat(s, "markup");
  const double quantity = GetChildInt(s, "quantity");
  const double totalDiscount = store("totaldiscount", totalActual * (1 - discount / 100));
  const double totalCIF = store("totalcif", totalDiscount + freight);
  const double totalDuty = store("totalduty", totalCIF * duty / 100);
  const double selling = store("sellingprice", totalCIF * (1 + markup / 100) + totalDuty);
  store("extsellingprice", selling * quantity);
  const double exchange = GetChildFloat(s, "exchange");
  // Without an exchange rate there is no foreign price to work out.
  if (GetChildBool(s, "foreign") && exchange != 0) {
    const double foreignSelling = store("foreignsellingprice", selling / exchange);
    store("foreignlandedcost", (totalCIF + totalDuty) / exchange);
    store("foreignextsellingprice", foreignSelling * quantity);
  } else {
    store("foreignsellingprice", 0);
    store("foreignlandedcost", 0);
    store("foreignextsellingprice", 0);
  }
  ShowPriceOutputs();
}

void TPriceBuildUpPage::ShowPriceOutputs() {
  const pugi::xml_node s = Section();
  gridTotals[0].SetValue(GetChildFloat(s, "totaldefault"));
  gridTotals[1].SetValue(GetChildFloat(s, "totalactual"));
  const char* outputs[] = {"totaldiscount",       "totalcif",         "totalduty", "sellingprice",
                           "foreignsellingprice", "foreignlandedcost"};
  for (std::size_t row = 0; row < GridOutput.size(); ++row)
    GridOutput[row].SetValue(GetChildFloat(s, outputs[row]));
  gridSelling[0].SetValue(GetChildFloat(s, "extsellingprice"));
  gridSelling[1].SetValue(GetChildFloat(s, "foreignextsellingprice"));
}

void TPriceBuildUpPage::SetLocalSymbol(const std::string& s) {
  Freight.SetSymbol(s);
  for (int row = kRowDiscountedTotal; row <= kRowSellingPrice; ++row)
    GridOutput[static_cast<std::size_t>(row)].SetSymbol(s);
  for (xGridPriceObj& total : gridTotals) total.SetSymbol(s);
  gridSelling[0].SetSymbol(s);
}

void TPriceBuildUpPage::SetForeignSymbol(const std::string& s) {
  GridOutput[kRowForeignSellingPrice].SetSymbol(s);
  GridOutput[kRowForeignLandedCost].SetSymbol(s);
  gridSelling[1].SetSymbol(s);
}

// ---------------------------------------------------------------------------------------------
// Grids

xGridObj* TPriceBuildUpPage::Cell(xPriceGrid grid, int row) {
  auto at = [row](std::vector<xGridPriceObj>& cells) -> xGridObj* {
    return row >= 0 && row < static_cast<int>(cells.size()) ? &cells[static_cast<std::size_t>(row)] : nullptr;
  };
  switch (grid) {
    case xPriceGrid::Input:
      switch (row) {
        case kRowDiscount:
          return &Discount;
        case kRowFreight:
          return &Freight;
        case kRowDuty:
          return &Duty;
        case kRowMarkup:
          return &Markup;
        default:
          return nullptr;
      }
    case xPriceGrid::Output:
      return at(GridOutput);
    case xPriceGrid::Totals:
      return at(gridTotals);
    case xPriceGrid::Selling:
      return at(gridSelling);
    case xPriceGrid::Foreign:
      return row == kRowExchange ? &Exchange : nullptr;
  }
  return nullptr;
}

bool TPriceBuildUpPage::CanEdit(xPriceGrid grid, int row) {
  if (grid == xPriceGrid::Foreign && !gridForeignEnabled) return false;
  if (const xGridObj* cell = Cell(grid, row)) return cell->editable;
  // The plain text cells are the two currency symbols.
  return (grid == xPriceGrid::Input && row == kRowSymbol) ||
         (grid == xPriceGrid::Foreign && row == kRowForeignSymbol);
}

std::string TPriceBuildUpPage::CellText(xPriceGrid grid, int row) {
  if (xGridObj* cell = Cell(grid, row)) return cell->Display();
  if (grid == xPriceGrid::Input && row == kRowSymbol) return LocalSymbol;
  if (grid == xPriceGrid::Foreign && row == kRowForeignSymbol) return ForeignSymbol;
  return {};
}

std::string TPriceBuildUpPage::EditText(xPriceGrid grid, int row) {
  if (const xGridObj* cell = Cell(grid, row)) return cell->Actual();
  return CellText(grid, row);
}

bool TPriceBuildUpPage::GridSetEditText(xPriceGrid grid, int row, const std::string& text) {
  auto event = Event();
  if (!CanEdit(grid, row)) return false;
  if (grid == xPriceGrid::Input) {
    std::string problem;
    try {
      problem = PriceInputProblem(row, StrToFloat(text));
    } catch (const ConvertError&) {
      // Not a number: the cell keeps its value, as for every grid.
    }
    if (!problem.empty()) {
      UI.MessageDlg(problem, xMsgKind::Error, {xMsgButton::OK});
      return false;
    }
  }
  if (xGridObj* cell = Cell(grid, row)) cell->SetActual(text);
  if (grid != xPriceGrid::Input && grid != xPriceGrid::Foreign) return true;
  if (row == kRowSymbol) {  // also the foreign grid's symbol row
    if (grid == xPriceGrid::Input) {
      LocalSymbol = text;
      SetLocalSymbol(text);
    } else {
      ForeignSymbol = text;
      SetForeignSymbol(text);
    }
    StorePriceInputs();
  } else {
    CalculatePrices();
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// List and buttons

void TPriceBuildUpPage::SelectLine(int line) {
  auto event = Event();
  Selected = line >= 0 && line < static_cast<int>(lvBuildUp.size()) ? line : -1;
}

void TPriceBuildUpPage::chkCurrencyClick(bool ticked) {
  auto event = Event();
  chkCurrency = ticked;
  gridForeignEnabled = ticked;
  CalculatePrices();
}

void TPriceBuildUpPage::edtQuantityChange(int value) {
  auto event = Event();
  edtQuantity = std::clamp(value, 1, 100);
  CalculatePrices();
}

void TPriceBuildUpPage::btnUpdateClick() {
  auto event = Event();
  for (std::size_t i = 0; i + 1 < lvBuildUp.size(); ++i) lvBuildUp[i].Actual = lvBuildUp[i].Default;
  CalculatePrices();
}

void TPriceBuildUpPage::EditClick() {
  auto event = Event();
  if (Selected < 0 || Selected >= static_cast<int>(lvBuildUp.size())) return;
  xPriceLine& line = lvBuildUp[static_cast<std::size_t>(Selected)];
  if (line.More) return;
  std::string text = line.Actual;
  if (UI.InputQuery("Edit Price", line.Description, text)) {
    try {
      StrToFloat(text);
      line.Actual = Trimmed(text);
    } catch (const ConvertError&) {
      // Not a price: the line keeps the one it had.
    }
  }
  CalculatePrices();
}

bool TPriceBuildUpPage::AddClick() {
  auto event = Event();
  if (AdditionalCount() >= kMaxAdditionalPrices) {
    UI.MessageDlg(kTooManyPrices, xMsgKind::Information, {xMsgButton::OK});
    return false;
  }
  std::string text;
  if (!UI.InputQuery("Additional Price", "Enter text", text) || text.empty()) return false;
  lvBuildUp.insert(lvBuildUp.end() - 1, {text, "0", "0", true, false});
  listAdditional.push_back(text);
  return true;
}

void TPriceBuildUpPage::RemoveClick() {
  auto event = Event();
  if (Selected < 0 || Selected >= static_cast<int>(lvBuildUp.size())) return;
  if (!lvBuildUp[static_cast<std::size_t>(Selected)].User) return;
  const auto position = lvBuildUp.begin() + Selected;
  const auto userIndex =
      std::count_if(lvBuildUp.begin(), position, [](const xPriceLine& l) { return l.User; });
  lvBuildUp.erase(position);
  if (userIndex < static_cast<long>(listAdditional.size()))
    listAdditional.erase(listAdditional.begin() + userIndex);
  Selected = -1;
}

void TPriceBuildUpPage::DoubleClick(int line) {
  auto event = Event();
  if (line < 0 || line >= static_cast<int>(lvBuildUp.size())) return;
  Selected = line;
  if (lvBuildUp[static_cast<std::size_t>(line)].More) {
    AddClick();
  } else {
    EditClick();
  }
}

xPricePopup TPriceBuildUpPage::RightClick(int line) {
  auto event = Event();
  if (line < 0 || line >= static_cast<int>(lvBuildUp.size())) return {};
  Selected = line;
  const xPriceLine& l = lvBuildUp[static_cast<std::size_t>(line)];
  if (!l.User && !l.More) return {xPriceMenu::Normal, true, false, false};
  return {xPriceMenu::Additional, !l.More, true, !l.More};
}

bool TPriceBuildUpPage::btnCreateClick() {
  auto event = Event();
  SaveData();
  try {
    xPDFPriceBuildUp(Args.Item).MakePDF(kPriceReportFile);
  } catch (const std::exception& e) {
    UI.MessageDlg(e.what(), xMsgKind::Error, {xMsgButton::OK});
    return false;
  }
  UI.OpenFile(kPriceReportFile);
  return true;
}

// ---------------------------------------------------------------------------------------------
// What the view shows

namespace {

xControl LabelOf(const char* id, const char* text, xCue cue = xCue::Normal) {
  return LabelControl(id, text, cue);
}

// A price the engineer set apart from the one the reference data give.
bool Overridden(const xPriceLine& line) {
  if (line.More || line.User) return false;
  return LineNumber(line.Actual) != LineNumber(line.Default);
}

}  // namespace

std::vector<xControl> TPriceBuildUpPage::Controls() const {
  std::vector<xControl> c;
  xControl list;
  list.id = "lvBuildUp";
  list.kind = xControlKind::List;
  for (const xPriceLine& line : lvBuildUp) list.items.push_back(line.Description);
  if (Selected >= 0) list.selected = {Selected};
  c.push_back(list);
  for (const char* grid : {"Gridinput", "GridOutput", "gridTotals", "gridSelling", "gridForeign"}) {
    xControl g;
    g.id = grid;
    g.kind = xControlKind::Grid;
    g.enabled = std::string_view(grid) != "gridForeign" || gridForeignEnabled;
    c.push_back(g);
  }
  xControl currency;
  currency.id = "chkCurrency";
  currency.kind = xControlKind::Check;
  currency.caption = "Foreign Currency";
  currency.checked = chkCurrency;
  c.push_back(currency);
  xControl quantity;
  quantity.id = "edtQuantity";
  quantity.kind = xControlKind::Spin;
  quantity.caption = "Quantity";
  quantity.value = edtQuantity;
  quantity.minimum = 1;
  quantity.maximum = 100;
  c.push_back(quantity);
  xControl update;
  update.id = "btnUpdate";
  update.kind = xControlKind::Button;
  update.caption = "Reset Defaults";
  c.push_back(update);
  xControl create;
  create.id = "btnCreate";
  create.kind = xControlKind::Button;
  create.caption = "Create PDF";
  c.push_back(create);
  c.push_back(LabelOf("lblTotal", "Total"));
  const xCue foreign = ForeignLabelsGrey() ? xCue::Grey : xCue::Normal;
  c.push_back(LabelOf("lblSymbol", "Symbol", foreign));
  c.push_back(LabelOf("lblExchange", "Rand/$", foreign));
  c.push_back(LabelOf("lblForeignSellingPrice", "Selling Price", foreign));
  c.push_back(LabelOf("lblForeignLandedCost", "Landed Cost", foreign));
  c.push_back(LabelOf("lblForeignExtendedSellingPrice", "Extended Selling Price", foreign));
  return c;
}

xGrid TPriceBuildUpPage::Grid(std::string_view id) const {
  // The cell accessors serve the edit events too; reading through them changes nothing.
  auto* page = const_cast<TPriceBuildUpPage*>(this);
  xGrid g;
  if (id == "lvBuildUp") {
    g.Resize(static_cast<int>(lvBuildUp.size()), 3);
    g.colHeadings = {"Description", "Default", "Actual"};
    for (std::size_t i = 0; i < lvBuildUp.size(); ++i) {
      const xPriceLine& line = lvBuildUp[i];
      const int row = static_cast<int>(i);
      g.At(row, 0) = {line.Description, false, xCue::Normal, {}};
      g.At(row, 1) = {line.Default, false, xCue::Normal, {}};
      g.At(row, 2) = {line.Actual, false, Overridden(line) ? xCue::Blue : xCue::Normal, {}};
    }
    return g;
  }
  struct xLayout {
    const char* id;
    xPriceGrid grid;
    std::vector<std::string> headings, units;
  };
  const xLayout layouts[] = {
      {"Gridinput",
       xPriceGrid::Input,
       {"", "Discount", "Freight", "Duty", "Markup"},
       {"", "%", "", "%", "%"}},
      {"GridOutput",
       xPriceGrid::Output,
       {"Discounted Total", "CIF Discounted Total", "Duty", "Selling Price", "Selling Price", "Landed Cost"},
       {}},
      {"gridTotals", xPriceGrid::Totals, {}, {}},
      {"gridSelling", xPriceGrid::Selling, {"Extended Selling Price", "Extended Selling Price"}, {}},
      {"gridForeign", xPriceGrid::Foreign, {"Symbol", "Rand/$"}, {}},
  };
  for (const xLayout& layout : layouts) {
    if (id != layout.id) continue;
    // The totals are one row of two cells; every other grid one column.
    const bool totals = layout.grid == xPriceGrid::Totals;
    const int cells = totals                              ? 2
                      : layout.grid == xPriceGrid::Output ? 6
                      : layout.grid == xPriceGrid::Input  ? 5
                                                          : 2;
    g.Resize(totals ? 1 : cells, totals ? 2 : 1);
    g.rowHeadings = layout.headings;
    g.units = layout.units;
    if (totals) g.colHeadings = {"Default", "Actual"};
    for (int k = 0; k < cells; ++k) {
      xCell& cell = totals ? g.At(0, k) : g.At(k, 0);
      if (const xGridObj* value = page->Cell(layout.grid, k))
        cell = CellOf(*value);
      else
        cell.text = page->CellText(layout.grid, k);
      cell.editable = page->CanEdit(layout.grid, k);
      if (!cell.editable && cell.cue == xCue::Normal) cell.cue = xCue::Grey;
    }
  }
  return g;
}

// ---------------------------------------------------------------------------------------------
// Saving

void TPriceBuildUpPage::OnPrev(TAction& Action) {
  TFramePage::OnPrev(Action);
  SaveData();
}

void TPriceBuildUpPage::SaveData() {
  pugi::xml_node section = Section();
  while (const pugi::xml_node old = section.child("additional")) section.remove_child(old);
  pugi::xml_node additional = section.append_child("additional");
  for (const std::string& description : listAdditional)
    additional.append_child("item").text().set(description.c_str());
  while (const pugi::xml_node old = section.child("items")) section.remove_child(old);
  pugi::xml_node items = section.append_child("items");
  for (std::size_t i = 0; i + 1 < lvBuildUp.size(); ++i) {
    pugi::xml_node item = items.append_child("item");
    item.text().set(lvBuildUp[i].Description.c_str());
    item.append_attribute("default").set_value(lvBuildUp[i].Default.c_str());
    item.append_attribute("actual").set_value(lvBuildUp[i].Actual.c_str());
  }
}

}  // namespace quenta
