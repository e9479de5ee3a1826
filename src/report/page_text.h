#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "report/pdf_text_fit.h"

// What every report page shares: content text built line by line, values made safe to stand
// between "(" and ")", the page header with the company name, title and logo, and the general
// block of quote and item facts under it.
namespace quenta {

// Value text safe between "(" and ")" of a content stream: "\", "(" and ")" are escaped, so a
// tag or a customer name holding them cannot end the string early or corrupt the page.
std::string PdfText(std::string_view value);

// Number text for a page: x to n significant figures (FormatSigFigs) with "." as the decimal
// separator whatever the user's setting; "" for a value that is not finite.
std::string PdfSigFigs(int n, double x);
// The display text of a result element for a page: its text attribute when it has one, else its
// number at its sigfigs (4 without) with "." as the decimal separator; "" when missing or empty.
// Numbers are read with the user's separator, as documents store them.
std::string PdfDisplay(pugi::xml_node parent, std::string_view name);

// A page's content: lines, each ended by CR LF.
class xPageText {
 public:
  xPageText& operator<<(std::string_view line) {
    text_.append(line);
    text_.append("\r\n");
    return *this;
  }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

// The 15 header lines: "TARVIK" in Times-Bold 24 at (248.25, 764.25), the title in Times-Roman
// 20.25 (titleX is line 9's first number: 18 on the valve and plates pages puts the title at
// x 266.25), and the logo drawn 75 by 75 points at (logoX, 730): x 100 on every page but the
// price build-up's. The title is escaped.
void AddPageHeader(xPageText& text, std::string_view titleX, std::string_view title,
                   std::string_view logoX = "100");

// The right edge of the text on a page: a value may run to here when nothing stands beside it.
inline constexpr double kPageTextRight = 586;

// One cell of a row of text: where it starts, its text and its font.
struct xRowCell {
  double x;
  std::string text;
  xPageFont font;
};
// The texts of a row (cells in order of x), each cut with "..." so that it ends before the next
// filled cell to its right, or before rightEdge: a long value never runs over another.
std::vector<std::string> FitRow(const std::vector<xRowCell>& cells, double size, double rightEdge);

// Labels and values of a two-column block of rows (the general block and the valve page's
// specification rows): field[0][i]/value[0][i] left, field[1][i]/value[1][i] right.
template <int Rows>
struct xTwoColumnRows {
  std::string field[2][Rows];
  std::string value[2][Rows];
};
using xGeneralBlock = xTwoColumnRows<4>;

// Writes each row: labels in Helvetica 9 at x 75 and 358.5, values in Helvetica-Bold 9 at
// 169.5 and 453, the cursor 12 points lower after each row. Values and labels are escaped, and
// cut where they would run into the next cell (FitRow).
void AddTwoColumnRow(xPageText& text, const std::string& leftField, const std::string& rightField,
                     const std::string& leftValue, const std::string& rightValue);
template <int Rows>
void AddTwoColumnRows(xPageText& text, const xTwoColumnRows<Rows>& rows) {
  for (int i = 0; i < Rows; ++i)
    AddTwoColumnRow(text, rows.field[0][i], rows.field[1][i], rows.value[0][i], rows.value[1][i]);
}

// The general block of an item: quote number, item number (its position among its parent's
// children, from 1), customer, date (the quote's day number in the user's short date format),
// project, quoted by, tag and enquiry. The quote is the item's grandparent.
xGeneralBlock MakeGeneralBlock(pugi::xml_node item);

// "BT", "75 708 TD" and the four general rows; the text object stays open for what follows.
void AddGeneralBlock(xPageText& text, const xGeneralBlock& block);

}  // namespace quenta
