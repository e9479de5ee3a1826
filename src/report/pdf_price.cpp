#include "report/pdf_price.h"

#include <cmath>
#include <cstdio>

#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "report/page_text.h"
#include "report/pdf_text_fit.h"

namespace quenta {
namespace {

std::string Cell(std::string_view s) {
  return "(" + PdfText(s) + ")";
}

// A stored total or price; a missing or malformed one throws ConvertError.
double Stored(std::string_view text) {
  const double v = StrToFloat(text);
  if (!std::isfinite(v))
    throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return v;
}

// An amount: the symbol and the value rounded to a whole number, halves to even.
std::string Amount(const std::string& symbol, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f", std::nearbyint(value));
  return Cell(symbol + (std::string(buf) == "-0" ? std::string("0") : std::string(buf)));
}

std::string Percent(double value) {
  return Cell(PdfSigFigs(3, value) + " %");
}

// The page header with the title placed for this page and the logo at x 75.
void AddPriceHeader(xPageText& t) {
  AddPageHeader(t, "-98.5", "Dazuv Uvoruda Vuzuv Price Build Up", "75");
}

struct PriceLine {
  std::string description;
  double actual;
};

}  // namespace

xPDFPriceBuildUp::xPDFPriceBuildUp(pugi::xml_node item) : itemnode(item) {}

std::vector<std::string> xPDFPriceBuildUp::PageTexts() const {
  const pugi::xml_node quote = itemnode.parent().parent();
  const pugi::xml_node section = itemnode.child("process").child("pricebuildup");
  const auto stored = [&](const char* name) { return Stored(GetChildText(section, name)); };

  // Everything is read first, so that a value the section lacks fails before any text is made.
  std::vector<PriceLine> lines;
  for (const pugi::xml_node line : section.child("items").children("item"))
    lines.push_back({line.text().get(), Stored(line.attribute("actual").value())});
  const std::string local = GetChildText(section, "localcurrency");
  const std::string foreignSymbol = GetChildText(section, "foreigncurrency");
  const bool foreign = GetChildBool(section, "foreign");
  const double totalactual = stored("totalactual");
  const double totaldiscount = stored("totaldiscount");
  const double totalcif = stored("totalcif");
  const double totalduty = stored("totalduty");
  const double sellingprice = stored("sellingprice");
  double extsellingprice = 0, foreignsellingprice = 0, foreignlandedcost = 0, foreignext = 0;
  if (foreign) {
    foreignsellingprice = stored("foreignsellingprice");
    foreignlandedcost = stored("foreignlandedcost");
    foreignext = stored("foreignextsellingprice");
  } else {
    extsellingprice = stored("extsellingprice");
  }

  std::vector<std::string> pages;
  xPageText t;
  AddPriceHeader(t);
  t << "BT"
    << "130 705 TD";
  t << "/F0 11 Tf"
    << "(Quote No:) Tj 200 0  TD"
    << "(Customer:) Tj -100 0  TD"
    << "/F1 11 Tf"
    << Cell(FitText(GetChildText(quote, "number"), xPageFont::TimesBold, 11, 96)) + " Tj 200 0  TD"
    << Cell(FitText(GetChildText(quote, "customer"), xPageFont::TimesBold, 11, 130)) + " Tj -300 -20  TD";
  t << "/F0 11 Tf"
    << "(Enquiry Number:) Tj 200 0  TD"
    << "(Contact:) Tj -100 0  TD"
    << "/F1 11 Tf"
    << Cell(FitText(GetChildText(quote, "enquiry"), xPageFont::TimesBold, 11, 96)) + " Tj 200 0  TD"
    << Cell(FitText(GetChildText(quote, "contact"), xPageFont::TimesBold, 11, 130)) + " Tj -300 -20  TD";
  t << "/F0 11 Tf"
    << "(Tag Number:) Tj 100 0  TD"
    << "/F1 11 Tf"
    << Cell(FitText(GetChildText(itemnode, "tag"), xPageFont::TimesBold, 11, 330)) + " Tj -80 -45  TD";
  t << "/F0 10 Tf 250 0  TD"
    << "-250 -30  TD";

  // Price lines, 20 points apart from y 590 (from 705 on further pages) down to y 40; what
  // does not fit goes on the next page.
  const auto nextPage = [&](double top) {
    t << "ET";
    pages.push_back(t.str());
    t = xPageText();
    AddPriceHeader(t);
    t << "BT"
      << "150 " + std::to_string(static_cast<int>(top)) + " TD"
      << "/F0 10 Tf";
  };
  double y = 590;
  for (const PriceLine& line : lines) {
    if (y < 40) {
      nextPage(705);
      y = 705;
    }
    t << Cell(FitText(line.description, xPageFont::TimesRoman, 10, 296)) + " Tj 300 0  TD"
      << Amount(local, line.actual) + " Tj -300 -20  TD";
    y -= 20;
  }
  // The totals need 180 points below "Total" with foreign amounts, 140 without.
  if (y - 20 - (foreign ? 180 : 140) < 40) nextPage(725);

  t << "200 -20  TD"
    << "(Total) Tj 100 0  TD" << Amount(local, totalactual) + " Tj -275 -40  TD";
  const auto row = [&](const char* left, const std::string& value, const char* right,
                       const std::string& amount) {
    t << Cell(left) + " Tj 75 0  TD" << value + " Tj 100 0  TD" << Cell(right) + " Tj 100 0  TD"
      << amount + " Tj -275 -20  TD";
  };
  row("Discount", Percent(GetChildFloat(section, "discount")), "Discounted Total",
      Amount(local, totaldiscount));
  row("Freight", Amount(local, GetChildFloat(section, "freight")), "CIF Discounted Total",
      Amount(local, totalcif));
  row("Duty", Percent(GetChildFloat(section, "duty")), "Duty", Amount(local, totalduty));
  row("Mark up", Percent(GetChildFloat(section, "markup")), "Selling Price", Amount(local, sellingprice));
  const std::string quantity = "(" + std::to_string(GetChildInt(section, "quantity")) + ")";
  if (foreign) {
    t << "(Exchage rate) Tj 75 0  TD"
      << Cell(PdfSigFigs(4, GetChildFloat(section, "exchange")) + " " + local + "/" + foreignSymbol) +
             " Tj 100 0  TD"
      << "(Selling Price) Tj 100 0  TD" << Amount(foreignSymbol, foreignsellingprice) + " Tj -100 -20  TD"
      << "(Landed Cost) Tj 100 0  TD" << Amount(foreignSymbol, foreignlandedcost) + " Tj -275 -20  TD";
    t << "0 -20  TD"
      << "(Quantity) Tj 75 0  TD" << quantity + " Tj 100 0  TD"
      << "(Extended Selling Price) Tj 100 0  TD" << Amount(foreignSymbol, foreignext) + " Tj -275 -20  TD";
  } else {
    t << "0 -20  TD"
      << "(Quantity) Tj 75 0  TD" << quantity + " Tj 100 0  TD"
      << "(Extended Selling Price) Tj 100 0  TD" << Amount(local, extsellingprice) + " Tj -275 -20  TD";
  }
  t << "ET";
  pages.push_back(t.str());
  return pages;
}

void xPDFPriceBuildUp::MakePDF(xPDFCombo& combo) {
  for (const std::string& text : PageTexts()) {
    combo.AddPage(text);
    AttachLogo(combo);
  }
}

void xPDFPriceBuildUp::MakePDF(const std::filesystem::path& file) {
  xPDFCombo combo(file, kReportPageWidth, kReportPageHeight);
  MakePDF(combo);
  combo.CreateFile();
}

}  // namespace quenta
