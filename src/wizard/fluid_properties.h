#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "item/grid_obj.h"
#include "item/page_args.h"
#include "refdata/database.h"
#include "wizard/page_logic.h"

// The fluid property dialogs of the process pages: the fluid's name and critical constants (for
// a gas also its specific heat ratio and molecular mass), which the engineer may change, and its
// tabulated properties drawn against temperature, which are only shown. "Ok" writes the General
// values into the item's fluid and marks it modified; its base table row stays.
//
// Control ids: PageControl (the tabs, as a Choice), gridGeneral (Grid("gridGeneral"): one
// column, rows "Name", "Critical Temperature", "Critical Pressure" and for a gas "Specific Heat
// Ratio", "Molecular Mass", with their units), lblTemp, lblPressure (unit labels), the charts
// chartDensity, chartVapourPressure, chartViscosity, chartSoundSpeed (liquid) or
// chartVapourPressure, chartViscosity (gas), and the buttons btnOk ("Ok") and btnCancel
// ("Cancel").
namespace quenta {

class TfrmFluidProperties : public TPageDialog {
 public:
  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;
  xChart Chart(std::string_view id) const override;

  // Typing into the General grid: row 0 renames the fluid (an empty name keeps the old one),
  // rows 1 and on take a number (text that is no number keeps the value).
  void GeneralEdited(int row, const std::string& text);
  // Writes the General values into the item's fluid and marks it modified.
  bool Ok() override;

  xPageArgs Args;
  std::string press, temp;  // the page's pressure and temperature units
  std::string Name;
  std::vector<xGridObj> Values;  // General rows 1 and on

 protected:
  // dataset is positioned on the fluid's table row and must outlive the dialog. The General
  // values and the charts are filled at once; a curve text that cannot be read is reported
  // through UI and leaves its chart and those after it without points.
  TfrmFluidProperties(const xPageArgs& Arguments, xPageUI& UI, std::string press, std::string temp,
                      const xQuery& dataset, bool gas);

 private:
  struct xNamedChart {
    std::string id, tab;
    xChart chart;
  };
  void FormShow(const xQuery& dataset);
  pugi::xml_node Fluid() const;
  // Adds a red line series of a curve text (kelvin against the stored unit) converted into the
  // shown units. Throws Exception "Malformed curve." for a text that is empty or ends inside a
  // point.
  void Plot(xNamedChart& chart, std::string_view curve, xConverter& converter, const std::string& from,
            const std::string& to);

  bool gas_;
  std::vector<xNamedChart> charts_;
};

class TfrmLiquidProperties : public TfrmFluidProperties {
 public:
  TfrmLiquidProperties(const xPageArgs& Arguments, xPageUI& UI, std::string press, std::string temp,
                       const xQuery& dataset)
      : TfrmFluidProperties(Arguments, UI, std::move(press), std::move(temp), dataset, false) {}
  std::string Caption() const override { return "Liquid Properties"; }
};

class TfrmGasProperties : public TfrmFluidProperties {
 public:
  TfrmGasProperties(const xPageArgs& Arguments, xPageUI& UI, std::string press, std::string temp,
                    const xQuery& dataset)
      : TfrmFluidProperties(Arguments, UI, std::move(press), std::move(temp), dataset, true) {}
  std::string Caption() const override { return "Gas Properties"; }
};

}  // namespace quenta
