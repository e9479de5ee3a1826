#include "report/pdf_trim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "item/xml_utils.h"
#include "platform/exception.h"

namespace quenta {
namespace {

std::string Cell(std::string_view s) {
  return "(" + PdfText(s) + ")";
}

std::string Int(pugi::xml_node parent, const char* name) {
  return std::to_string(GetChildInt(parent, name));
}

std::string FormatG(double v) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

void SetRow(xTwoColumnRows<10>& rows, int column, int row, std::string field, std::string value) {
  rows.field[column][row - 1] = std::move(field);
  rows.value[column][row - 1] = std::move(value);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

xPDFTrimPage::xPDFTrimPage(pugi::xml_node item, std::uint8_t _section) : itemnode(item), section(_section) {}

void xPDFTrimPage::Load(const char* kind) {
  process_ = itemnode.child("process");
  const pugi::xml_node management = process_.child("management");
  if (GetChildBool(management, "trimreset")) throw Exception(std::string(kind) + " needs resizing.");
  if (GetChildBool(management, "trimrecalc")) throw Exception(std::string(kind) + " needs recalculating.");

  for (const pugi::xml_node s : process_.child("trimdesign").child("sections").children("section")) {
    if (GetChildFloat(s, "number") == section) {
      node_ = s;
      break;
    }
  }
  if (!node_) throw Exception("Error loading section data.");
  units_ = process_.child("units");
  engineering_ = GetChildBool(process_, "enguser") && GetChildBool(node_, "printengdata");
  General = MakeGeneralBlock(itemnode);
  SectionHeading = "Section " + std::to_string(section);
  graph = GetChildText(node_, "pdfgraph");

  stages_ = std::max(0, GetChildInt(node_, "stages"));
  const std::string pressure = GetChildText(units_, "pressure");
  const std::string distance = GetChildText(units_, "distance");
  const std::string vc = GetChildText(units_, "vc");
  const std::string power = GetChildText(units_, "power");
  const std::string velocity = GetChildText(units_, "velocity");
  const auto withUnit = [&](const char* name, const std::string& unit) {
    return PdfSigFigs(3, GetChildFloat(node_, name)) + " " + unit;
  };

  // Stage table: headings, then one row per stage that the section holds data for.
  const char* heads[12] = {"Stage", "Ratio", "P1", "P2", "deltaP", ""};
  for (int c = 0; c < 6; ++c) TableField[0][c] = heads[c];
  TableField[0][5] = vc;
  TableField[1][2] = "[ " + pressure + " ]";
  TableField[1][4] = GetChildText(units_, "pressuredrop");
  TableField[0][6] = "Power";
  TableField[1][6] = "[ " + power + " ]";
  if (engineering_) {
    TableField[0][7] = "Velocity";
    TableField[1][7] = "[ " + velocity + " ]";
    TableField[0][8] = "Area";
    TableField[1][8] = "[ " + distance + "\xC2\xB2 ]";
    TableField[0][9] = "Width";
    TableField[0][10] = "Depth";
    TableField[0][11] = "Diameter";
    for (int c = 9; c < 12; ++c) TableField[1][c] = "[ " + distance + " ]";
  }
  std::vector<pugi::xml_node> stageNodes;
  for (const pugi::xml_node st : node_.child("stagedata").children()) {
    if (static_cast<int>(stageNodes.size()) >= stages_) break;
    if (st.type() == pugi::node_element) stageNodes.push_back(st);
  }
  for (std::size_t i = 0; i < stageNodes.size(); ++i) {
    const pugi::xml_node stage = stageNodes[i];
    const int n = static_cast<int>(i) + 1;
    xTableRow row;
    row[0] = std::to_string(n);
    row[1] = PdfSigFigs(3, GetChildFloat(stage, "ratio"));
    row[2] = PdfSigFigs(3, GetChildFloat(stage, "p1"));
    row[3] = PdfSigFigs(3, GetChildFloat(stage, "p2"));
    row[4] = PdfSigFigs(3, GetChildFloat(stage, "dp"));
    row[5] = PdfSigFigs(3, GetChildFloat(stage, "vc"));
    row[6] = PdfSigFigs(3, GetChildFloat(stage, "power"));
    if (engineering_) {
      row[7] = PdfSigFigs(3, GetChildFloat(stage, "velocity"));
      row[8] = PdfSigFigs(3, GetChildFloat(stage, "area"));
      row[9] = PdfDisplay(stage, "width");
      row[10] = PdfDisplay(stage, "height");
      row[11] = PdfDisplay(stage, "diameter");
    }
    TableValue.push_back(std::move(row));
  }

  // The rows that disk stack and ZZ pages share; the CC page overwrites its own.
  SetRow(Side, 0, 1, "Number of Stages :", std::to_string(stages_));
  SetRow(Side, 0, 2, "P1 :", withUnit("p1", pressure));
  SetRow(Side, 0, 3, "P2 :", withUnit("p2", pressure));
  SetRow(Side, 0, 5, "PR Increment :", Int(node_, "princrement") + " %");
  SetRow(Side, 0, 6, "Offset :", withUnit("offset", pressure));
  SetRow(Side, 0, 7, "Factor :", FormatG(GetChildFloat(node_, "factor")));
  if (engineering_ && !stageNodes.empty())
    SetRow(Side, 0, 9,
           "Exit Velocity Head :", PdfSigFigs(3, GetChildFloat(stageNodes.back(), "velhead")) + " kPa ?");
  SetRow(Side, 1, 1, vc + " for Section:", PdfSigFigs(3, GetChildFloat(node_, "vc")));
  SetRow(Side, 1, 2, "Stroke for Section:", withUnit("stroke", distance));
  SetRow(Side, 1, 7, "Power per passage :", withUnit("totalpowerperpassage", power));
  SetRow(Side, 1, 8, "Total Power :", withUnit("totalpower", power));
}

std::vector<std::string> xPDFTrimPage::CreatePages() const {
  std::vector<std::string> pages;
  const int rows = static_cast<int>(TableValue.size());
  int first = 0;
  do {
    const bool firstPage = first == 0;
    const int count = HasTable() ? std::min(rows - first, firstPage ? kFirstPageRows : kFurtherPageRows) : 0;

    xPageText t;
    AddPageHeader(t, TitleX(), Title());
    AddGeneralBlock(t, General);
    t << "/F4 14.25 Tf";
    t << "115.5 -14.5  TD " + Cell(firstPage ? SectionHeading : SectionHeading + " (continued)") + " Tj";
    t << "-115.5 -28.5  TD";
    if (firstPage) {
      AddTwoColumnRows(t, Side);
      if (HasTable())
        t << "/F4 14.25 Tf"
          << "115.5 -14.5  TD () Tj"
          << "-115.5 -14.25  TD";
    }
    if (HasTable()) {
      t << "/F2 9  Tf";
      for (int c = 0; c < 12; ++c) t << Cell(TableField[0][c]) + " Tj 40 0  TD";
      t << "-480 -12  TD";
      for (int c = 0; c < 12; ++c) t << Cell(TableField[1][c]) + " Tj 40 0  TD";
      t << "/F3 9  Tf  -480 -16  TD";
      for (int c = 0; c < 12; ++c) {
        for (int r = first; r < first + count; ++r)
          t << Cell(TableValue[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]) + " Tj 0 -12  TD";
        t << "40 " + std::to_string(12 * count) + " TD";
      }
    }
    t << "ET";
    t << "BT"
      << "75 30 TD"
      << "/F3 9  Tf"
      << "ET";
    if (firstPage && HasTable())
      t << "q"
        << "1 0 0 1 75 75 cm" << graph << "Q";
    pages.push_back(t.str());
    first += count;
  } while (first < rows && HasTable());
  return pages;
}

xPDFEDDesign::xPDFEDDesign(pugi::xml_node item, std::uint8_t _section) : xPDFTrimPage(item, _section) {
  Load("Disk Stack");
  const std::string distance = GetChildText(units_, "distance");
  SetRow(Side, 1, 3, "Number of Disks :", Int(node_, "disks"));
  SetRow(Side, 1, 4, "Disk Thickness :", PdfSigFigs(3, GetChildFloat(node_, "thickness")) + " " + distance);
  SetRow(Side, 1, 5, "Passages per Disk :", Int(node_, "passages"));
  SetRow(Side, 1, 9, "Outlet Width Ratio :", PdfSigFigs(2, GetChildFloat(node_, "ratio1")) + "%");
  SetRow(Side, 1, 10, "Disk Area Ratio :", PdfSigFigs(2, GetChildFloat(node_, "ratio2")) + "%");
}

xPDFZZDesign::xPDFZZDesign(pugi::xml_node item, std::uint8_t _section) : xPDFTrimPage(item, _section) {
  Load("ZZ");
  SetRow(Side, 1, 3, "Passageways :", Int(node_, "passages"));
}

xPDFCCDesign::xPDFCCDesign(pugi::xml_node item, std::uint8_t _section) : xPDFTrimPage(item, _section) {
  Load("CC");
  Side = {};
  const std::string distance = GetChildText(units_, "distance");
  SetRow(Side, 0, 1, GetChildText(units_, "vc") + " for Section:", PdfSigFigs(3, GetChildFloat(node_, "vc")));
  SetRow(Side, 0, 2, "Stroke for Section:", PdfSigFigs(3, GetChildFloat(node_, "stroke")) + " " + distance);
  SetRow(Side, 0, 4, "Number of holes :", Int(node_, "holes"));
  SetRow(Side, 0, 5, "Hole diameter :", PdfSigFigs(4, GetChildFloat(node_, "holedia")) + " " + distance);
  TableValue.clear();
}

// ---------------------------------------------------------------------------------------------

xPDFTrim::xPDFTrim(pugi::xml_node item) : itemnode(item) {}

void xPDFTrim::MakePDF(xPDFCombo& combo) {
  const pugi::xml_node trimdesign = itemnode.child("process").child("trimdesign");
  if (!trimdesign) return;
  int number = 0;
  for (const pugi::xml_node s : trimdesign.child("sections").children()) {
    if (s.type() != pugi::node_element) continue;
    ++number;
    if (number > 255) break;
    const auto n = static_cast<std::uint8_t>(number);
    const std::string_view type = s.attribute("type").value();
    std::unique_ptr<xPDFTrimPage> page;
    if (type == "ed")
      page = std::make_unique<xPDFEDDesign>(itemnode, n);
    else if (type == "zz")
      page = std::make_unique<xPDFZZDesign>(itemnode, n);
    else if (type == "cc")
      page = std::make_unique<xPDFCCDesign>(itemnode, n);
    else
      continue;  // a kind without a page
    for (const std::string& text : page->CreatePages()) {
      combo.AddPage(text);
      AttachLogo(combo);
    }
  }
}

void xPDFTrim::MakePDF(const std::filesystem::path& file) {
  xPDFCombo combo(file, kReportPageWidth, kReportPageHeight);
  MakePDF(combo);
  combo.CreateFile();
}

}  // namespace quenta
