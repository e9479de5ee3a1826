#include "report/page_text.h"

#include <cmath>

#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "report/pdf_text_fit.h"

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

namespace {

std::string WithDot(std::string text) {
  const char sep = platform::DecimalSeparator();
  if (sep != '.')
    for (char& c : text)
      if (c == sep) c = '.';
  return text;
}

}  // namespace

std::string PdfSigFigs(int n, double x) {
  if (!std::isfinite(x)) return {};
  return WithDot(FormatSigFigs(n, x));
}

std::string PdfDisplay(pugi::xml_node parent, std::string_view name) {
  const pugi::xml_node child = parent.child(std::string(name).c_str());
  if (const pugi::xml_attribute text = child.attribute("text")) return text.value();
  return WithDot(GetChildDisplay(parent, name));
}

void AddPageHeader(xPageText& text, std::string_view titleX, std::string_view title,
                   std::string_view logoX) {
  text << "BT"
       << "239.25 801  TD"
       << "0 0 0 rg"
       << "/F0 9  Tf"
       << "0.1442  Tc -0.1442  Tw () Tj"
       << "41.25 -12  TD -0.166  Tc 0.166  Tw () Tj"
       << "-32.25 -24.75  TD /F1 24  Tf"
       << "-0.168  Tc 0  Tw (TARVIK) Tj";
  text << std::string(titleX) + " -26.25  TD /F0 20.25  Tf";
  text << "-0.2504  Tc 0.4379  Tw (" + PdfText(title) + ") Tj";
  text << "ET"
       << "q"
       << "75 0 0 75 " + std::string(logoX) + " 730 cm"
       << "/logo Do"
       << "Q";
}

std::vector<std::string> FitRow(const std::vector<xRowCell>& cells, double size, double rightEdge) {
  std::vector<std::string> out(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    double limit = rightEdge;
    for (std::size_t j = i + 1; j < cells.size(); ++j) {
      if (cells[j].text.empty()) continue;
      limit = cells[j].x;
      break;
    }
    out[i] = FitText(cells[i].text, cells[i].font, size, limit - cells[i].x);
  }
  return out;
}

void AddTwoColumnRow(xPageText& text, const std::string& leftField, const std::string& rightField,
                     const std::string& leftValue, const std::string& rightValue) {
  constexpr xPageFont label = xPageFont::Helvetica;
  constexpr xPageFont value = xPageFont::HelveticaBold;
  const std::vector<std::string> fit = FitRow({{75, leftField, label},
                                               {169.5, leftValue, value},
                                               {358.5, rightField, label},
                                               {453, rightValue, value}},
                                              9, kPageTextRight);
  text << "/F3 9  Tf";
  text << "(" + PdfText(fit[0]) + ") Tj 283.5 0  TD";
  text << "(" + PdfText(fit[2]) + ") Tj -189  0  TD";
  text << "/F2 9  Tf";
  text << "(" + PdfText(fit[1]) + ") Tj 283.5 0  TD";
  text << "(" + PdfText(fit[3]) + ") Tj -378 -12 TD";
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
  text << "BT"
       << "75 708 TD";
  AddTwoColumnRows(text, block);
}

}  // namespace quenta
