#include "report/page_text.h"

#include <cmath>

#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/platform.h"

namespace quenta {

std::string PdfText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '\\' || c == '(' || c == ')') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

xDotDecimals::xDotDecimals() : saved_(platform::DecimalSeparator()) { platform::SetDecimalSeparator('.'); }
xDotDecimals::~xDotDecimals() { platform::SetDecimalSeparator(saved_); }

void AddPageHeader(xPageText& text, std::string_view titleX, std::string_view title) {
  text << "BT" << "239.25 801  TD" << "0 0 0 rg" << "/F0 9  Tf" << "0.1442  Tc -0.1442  Tw () Tj"
       << "41.25 -12  TD -0.166  Tc 0.166  Tw () Tj" << "-32.25 -24.75  TD /F1 24  Tf"
       << "-0.168  Tc 0  Tw (TARVIK) Tj";
  text << std::string(titleX) + " -26.25  TD /F0 20.25  Tf";
  text << "-0.2504  Tc 0.4379  Tw (" + PdfText(title) + ") Tj";
  text << "ET" << "q" << "75 0 0 75 100 730 cm" << "/logo Do" << "Q";
}

void AddTwoColumnRow(xPageText& text, const std::string& leftField, const std::string& rightField,
                     const std::string& leftValue, const std::string& rightValue) {
  text << "/F3 9  Tf";
  text << "(" + PdfText(leftField) + ") Tj 283.5 0  TD";
  text << "(" + PdfText(rightField) + ") Tj -189  0  TD";
  text << "/F2 9  Tf";
  text << "(" + PdfText(leftValue) + ") Tj 283.5 0  TD";
  text << "(" + PdfText(rightValue) + ") Tj -378 -12 TD";
}

xGeneralBlock MakeGeneralBlock(pugi::xml_node item) {
  const pugi::xml_node quote = item.parent().parent();
  int position = 1;
  for (pugi::xml_node n = item.previous_sibling(); n; n = n.previous_sibling())
    if (n.type() == pugi::node_element) ++position;

  xGeneralBlock b;
  b.field[0][0] = "Quote No :";
  b.value[0][0] = GetChildText(quote, "number");
  b.field[1][0] = "Item No :";
  b.value[1][0] = std::to_string(position);
  b.field[0][1] = "Customer :";
  b.value[0][1] = GetChildText(quote, "customer");
  b.field[1][1] = "Date :";
  const double date = GetChildFloat(quote, "date");
  b.value[1][1] = std::isfinite(date) && std::fabs(date) < 3e6
                      ? FormatShortDate(static_cast<int>(std::floor(date)))
                      : std::string();
  b.field[0][2] = "Project :";
  b.value[0][2] = GetChildText(quote, "project");
  b.field[1][2] = "Quoted By :";
  b.value[1][2] = GetChildText(quote, "quotedby");
  b.field[0][3] = "Tag No :";
  b.value[0][3] = GetChildText(item, "tag");
  b.field[1][3] = "Enquiry No :";
  b.value[1][3] = GetChildText(quote, "enquiry");
  return b;
}

void AddGeneralBlock(xPageText& text, const xGeneralBlock& block) {
  text << "BT" << "75 708 TD";
  AddTwoColumnRows(text, block);
}

}  // namespace quenta
