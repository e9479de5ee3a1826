#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "item/grid_obj.h"
#include "refdata/database.h"
#include "wizard/frame_page.h"

// The logic of the price build-up page: the price lines that the spec sheet's options give in
// the reference data, the engineer's overrides and own lines, and the selling price worked out
// from discount, freight, duty and mark-up for one valve and for the quantity ordered, in the
// local and optionally a foreign currency. Everything lives in process/pricebuildup.
//
// Controls (ids): lvBuildUp (list of the lines' descriptions with the selected line; its three
// columns through Grid("lvBuildUp"), an overridden Actual price blue); the grids Gridinput,
// GridOutput, gridTotals, gridSelling and gridForeign (disabled while the foreign currency is
// off); chkCurrency (check box); edtQuantity (spin, 1 to 100); btnUpdate, btnCreate (buttons);
// the labels lblTotal, and lblSymbol, lblExchange, lblForeignSellingPrice, lblForeignLandedCost,
// lblForeignExtendedSellingPrice, grey while the foreign currency is off.
namespace quenta {

inline constexpr const char* kMoreLine = "More ...";
inline constexpr const char* kTooManyPrices = "Can't add more than 5 additional prices.";
inline constexpr int kMaxAdditionalPrices = 5;
inline constexpr const char* kPriceReportFile = "output.pdf";

// One line of the build-up list.
struct xPriceLine {
  std::string Description;
  std::string Default;  // the price the reference data give, as text
  std::string Actual;   // the price used, as text
  bool User = false;    // a line the engineer added
  bool More = false;    // the closing "More ..." line
};

// The page's five grids.
enum class xPriceGrid { Input, Output, Totals, Selling, Foreign };

// Rows of the input grid.
inline constexpr int kRowSymbol = 0, kRowDiscount = 1, kRowFreight = 2, kRowDuty = 3, kRowMarkup = 4;
// Why a value typed into the input grid's row cannot be taken ("" when it can): a discount is
// from 0 to 100 %; markup, freight and duty are never negative. The message names the field.
std::string PriceInputProblem(int row, double value);
// Rows of the output grid.
inline constexpr int kRowDiscountedTotal = 0, kRowCIFTotal = 1, kRowDutyTotal = 2, kRowSellingPrice = 3,
                     kRowForeignSellingPrice = 4, kRowForeignLandedCost = 5;
// Rows of the foreign-currency grid.
inline constexpr int kRowForeignSymbol = 0, kRowExchange = 1;

// The pop-up menu a right-click on the list opens.
enum class xPriceMenu { None, Normal, Additional };
struct xPricePopup {
  xPriceMenu Menu = xPriceMenu::None;
  bool EditEnabled = false;
  bool AddEnabled = false;
  bool RemoveEnabled = false;
};

class TPriceBuildUpPage : public TFramePage {
 public:
  TPriceBuildUpPage(const xPageArgs& Arguments, xPageUI& UI);

  static std::string GetHeading() { return "Price Build Up"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Writes the user lines and the list into the section; inputs and results are kept current
  // by StorePriceInputs and CalculatePrices.
  void SaveData() override;
  // Leaving backwards saves as well.
  void OnPrev(TAction& Action) override;

  void LoadPriceBuildUp();
  // Rebuilds the list from the spec sheet's options, the user lines and "More ...". Fails with
  // the database's or the conversion's error when the options give no price row.
  void BuildPriceList();
  // The stored actual price of a line of that description; -1 when none is stored.
  double FindActualPrice(const std::string& description);
  void LoadPriceInputs();
  void StorePriceInputs();
  void ShowPriceOutputs();
  void CalculatePrices();
  void SetLocalSymbol(const std::string& s);
  void SetForeignSymbol(const std::string& s);

  // Grid cells. The value object of a cell; null for a plain text cell or no cell.
  xGridObj* Cell(xPriceGrid grid, int row);
  // May the engineer type into the cell?
  bool CanEdit(xPriceGrid grid, int row);
  // The cell's text as shown, and the text its editing starts from.
  std::string CellText(xPriceGrid grid, int row);
  std::string EditText(xPriceGrid grid, int row);
  // The engineer typed text into a cell. False, and nothing changes, for a cell that cannot be
  // edited.
  bool GridSetEditText(xPriceGrid grid, int row, const std::string& text);

  // List and buttons.
  // The engineer selects a line (-1 for none); a line outside the list selects none.
  void SelectLine(int line);
  void chkCurrencyClick(bool ticked);
  void edtQuantityChange(int value);
  // "Reset Defaults".
  void btnUpdateClick();
  // "Edit" on the selected line.
  void EditClick();
  // "Add": false when nothing was added.
  bool AddClick();
  // "Remove" on the selected line, when it is a user line.
  void RemoveClick();
  void DoubleClick(int line);
  xPricePopup RightClick(int line);
  // "Create PDF": saves, writes the report into output.pdf in the current folder and opens it.
  // A failure is shown as an error message; returns false then.
  bool btnCreateClick();

  // The foreign labels are grey while the foreign currency is off.
  bool ForeignLabelsGrey() const { return !chkCurrency; }
  int AdditionalCount() const { return static_cast<int>(listAdditional.size()); }

  // Page state.
  std::vector<xPriceLine> lvBuildUp;
  int Selected = -1;
  std::vector<std::string> listAdditional;
  std::string LocalSymbol;  // input grid row 0
  xGridObj Discount{true, false};
  xGridPriceObj Freight{true, false};
  xGridObj Duty{true, false};
  xGridObj Markup{true, false};
  std::vector<xGridPriceObj> GridOutput;
  std::vector<xGridPriceObj> gridTotals;
  std::vector<xGridPriceObj> gridSelling;
  std::string ForeignSymbol;  // foreign grid row 0
  xGridObj Exchange{true, false};
  bool chkCurrency = false;
  bool gridForeignEnabled = false;
  int edtQuantity = 4;

 protected:
  void InitPage() override;

 private:
  pugi::xml_node Section() const;
  // One group of price lines: the options of the spec sheet fields that fieldsSQL lists, priced
  // by the row of the price table that their lookup options select.
  void AddOptionLines(const char* fieldsSQL, const char* priceSQL, bool needsTwoLookups);

  xQuery ADOQueryGeneral;
  xQuery ADOQueryPrices;
};

}  // namespace quenta
