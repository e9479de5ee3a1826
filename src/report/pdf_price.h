#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "report/pdf_combo.h"

namespace quenta {

// The price build-up of one item: the quote's particulars, every price line with its actual
// price, the totals and the selling prices, as the price build-up page stored them. A list
// too long for one page goes on over further pages, the totals after its last line.
class xPDFPriceBuildUp {
 public:
  explicit xPDFPriceBuildUp(pugi::xml_node item);
  // Appends the page(s). A total or result the item lacks throws ConvertError before anything
  // is added.
  void MakePDF(xPDFCombo& combo);
  // Writes the page(s) alone into file; nothing is written when the report fails.
  void MakePDF(const std::filesystem::path& file);

  // The content texts of the pages.
  std::vector<std::string> PageTexts() const;

  // Price lines on the first page and on each further one.
  static constexpr int kFirstPageLines = 28;
  static constexpr int kFurtherPageLines = 34;

 private:
  pugi::xml_node itemnode;
};

}  // namespace quenta
