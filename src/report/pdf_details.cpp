#include "report/pdf_details.h"

#include <algorithm>
#include <string_view>

#include "flow/flow_intermediates.h"
#include "item/xml_utils.h"
#include "platform/numbers.h"
#include "report/pdf_text_fit.h"

namespace quenta {

namespace {

constexpr xPageFont kLabel = xPageFont::Helvetica;
constexpr xPageFont kValue = xPageFont::HelveticaBold;
constexpr double kSize = 8;
constexpr double kLabelX = 75;
constexpr double kFirstColumnX = 160;
// Nine columns of 47 points: the last value ends by 580, inside the page's text edge.
constexpr double kColumnPitch = 47;
constexpr double kGap = 3;  // kept clear before the next column
constexpr double kCellWidth = kColumnPitch - kGap;
constexpr double kHeadY = 631.25;
constexpr double kFirstRowY = 619.25;
constexpr double kRowPitch = 11.25;
constexpr double kLinePitch = 9.5;  // between the wrapped lines of one value

static_assert(kFirstColumnX + xPDFDetailsPage::kColumns * kColumnPitch - kGap <= kPageTextRight);

// The note of a page whose conditions hold no details yet (an item sized before they were stored).
constexpr const char* kNothingStored =
    "No calculation details are stored for these conditions: size or recalculate the valve to record them.";

double ColumnX(int c) {
  return kFirstColumnX + kColumnPitch * c;
}

// A number in its column: its 4 significant figures as every page shows them, or, when that
// text is wider than the column (a very small or very large value), the same figures as
// mantissa and exponent ("-1.235E-5"), so that a number is never cut.
std::string NumberText(double value, double width) {
  const std::string text = PdfSigFigs(4, value);
  if (text.empty() || TextWidth(text, kValue, kSize) <= width) return text;
  const std::string sci = FloatToStrExp(StrToFloat(text), 3);  // "-1.235e-05"
  const std::size_t e = sci.find('e');
  if (e == std::string::npos) return text;
  return sci.substr(0, e) + "E" + std::to_string(StrToInt(sci.substr(e + 1)));
}

std::string Cell(std::string_view text) {
  return "(" + PdfText(text) + ") Tj";
}

std::string At(double x, double y) {
  return "1 0 0 1 " + FloatToStr(x) + " " + FloatToStr(y) + " Tm";
}

}  // namespace

std::string DetailText(pugi::xml_node details, const xIntermediateField& field, double width) {
  const std::string stored = GetChildText(details, field.element);
  if (stored.find_first_not_of(" \t\r\n") == std::string::npos) return {};
  switch (field.kind) {
    case xIntermediateKind::Text:
      return stored;
    case xIntermediateKind::YesNo:
      return GetChildBool(details, field.element) ? "Yes" : "No";
    case xIntermediateKind::Count:
      return std::to_string(GetChildInt(details, field.element));
    case xIntermediateKind::Number:
      if (width <= 0) return PdfSigFigs(4, GetChildFloat(details, field.element));
      return NumberText(GetChildFloat(details, field.element), width);
  }
  return {};
}

xPDFDetailsPage::xPDFDetailsPage(pugi::xml_node Item, int first, int last) {
  General = MakeGeneralBlock(Item);

  std::vector<pugi::xml_node> all;
  for (pugi::xml_node c : Item.child("process").child("conditions").children("condition")) all.push_back(c);
  first = std::max(first, 1);
  last = std::min({last, first + kColumns - 1, static_cast<int>(all.size())});

  std::vector<pugi::xml_node> details;
  for (int n = first; n <= last; ++n) {
    Head[n - first] = std::to_string(n);
    details.push_back(all[static_cast<std::size_t>(n - 1)].child("details"));
  }
  for (const xIntermediateField& field : IntermediateFields()) {
    xRow row;
    row.label = field.label;
    bool held = false;
    for (std::size_t c = 0; c < details.size(); ++c) {
      row.value[c] = DetailText(details[c], field, kCellWidth);
      held = held || !row.value[c].empty();
    }
    if (held) Rows.push_back(std::move(row));
  }
}

std::string xPDFDetailsPage::Content() const {
  xPageText t;
  // The title is longer than the others: it starts further left, to stand centred under the
  // company name.
  AddPageHeader(t, "-29.75", "Calculation Details");
  AddGeneralBlock(t, General);
  t << "/F4 14.25 Tf"
    << "115.5 -14.5  TD (Intermediate Values) Tj"
    << "ET";

  // The heading row names the conditions by number under one label, which leaves the columns
  // narrow enough for nine of them.
  t << "BT"
    << "/F3 " + FloatToStr(kSize) + " Tf" << At(kLabelX, kHeadY) << Cell("Condition");
  for (int c = 0; c < kColumns; ++c)
    if (!Head[c].empty()) t << At(ColumnX(c), kHeadY) << Cell(FitText(Head[c], kLabel, kSize, kCellWidth));

  // Only the two text quantities can wrap, and at kMaxLines lines each the last row still ends
  // far above the footer, so the rows never need a further page.
  double y = kFirstRowY;
  if (Rows.empty()) t << At(kLabelX, y) << Cell(kNothingStored);
  for (const xRow& row : Rows) {
    t << "/F3 " + FloatToStr(kSize) + " Tf" << At(kLabelX, y)
      << Cell(FitText(row.label, kLabel, kSize, kFirstColumnX - kLabelX - kGap));
    t << "/F2 " + FloatToStr(kSize) + " Tf";
    std::size_t lines = 1;
    for (int c = 0; c < kColumns; ++c) {
      const std::vector<std::string> wrapped = WrapText(row.value[c], kValue, kSize, kCellWidth, kMaxLines);
      for (std::size_t l = 0; l < wrapped.size(); ++l)
        t << At(ColumnX(c), y - kLinePitch * static_cast<double>(l)) << Cell(wrapped[l]);
      lines = std::max(lines, wrapped.size());
    }
    y -= kRowPitch + kLinePitch * static_cast<double>(lines - 1);
  }
  t << "ET";

  t << "BT"
    << "350 30 TD"
    << "/F3 9  Tf"
    << "(Calculation based on IEC standard 60534-2-1) Tj"
    << "ET";
  return t.str();
}

void xPDFDetailsPage::MakePDF(xPDFCombo& _PdfFile) {
  _PdfFile.AddPage(Content());
  AttachLogo(_PdfFile);
}

bool DetailsWanted(pugi::xml_node item) {
  return GetChildBool(item.child("pdfoptions"), kDetailsOption);
}

}  // namespace quenta
