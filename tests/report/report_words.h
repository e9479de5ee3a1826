#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <pugixml.hpp>
#include <regex>
#include <string>
#include <vector>

#include "report/pdf_fixture.h"

// What the report tests need beyond the PDF checkers: the words a viewer finds with their places
// on the page, and example items set in a quote.
namespace quenta::testing {

// One word as pdftotext -bbox gives it, in page points from the lower left corner: x where it
// starts and its baseline (the bottom of the box, which lies a little below it for descenders).
struct PageWord {
  int page = 0;  // from 1
  double x = 0, xEnd = 0, bottom = 0;
  std::string text;
};

inline std::vector<PageWord> PageWords(const std::filesystem::path& file) {
  const std::string html = Run("pdftotext -bbox '" + file.string() + "' -").output;
  std::vector<PageWord> words;
  int page = 0;
  double height = 842;
  static const std::regex token(
      R"re(<page width="([0-9.]+)" height="([0-9.]+)">|<word xMin="([-0-9.]+)" yMin="[-0-9.]+" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(html.begin(), html.end(), token), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (m[1].matched) {
      ++page;
      height = std::stod(m[2]);
      continue;
    }
    std::string text = m[6];
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"&amp;", "&"},
                                   {"&lt;", "<"},
                                   {"&gt;", ">"},
                                   {"&quot;", "\""}}) {
      for (std::size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + 1))
        text.replace(p, from.size(), to);
    }
    words.push_back({page, std::stod(m[3]), std::stod(m[4]), height - std::stod(m[5]), text});
  }
  return words;
}

// The words standing at x on the baseline y of page: the box starts within half a point of x
// and its bottom lies between the baseline and 5 points below it (the font's descent).
inline std::vector<std::string> WordsAt(const std::vector<PageWord>& words, double x, double y,
                                        int page = 1) {
  std::vector<std::string> found;
  for (const PageWord& w : words)
    if (w.page == page && std::fabs(w.x - x) < 0.5 && w.bottom <= y + 0.5 && w.bottom > y - 5)
      found.push_back(w.text);
  return found;
}

// The one word at x on baseline y, or a marker naming the place when there is none or several.
inline std::string WordAt(const std::vector<PageWord>& words, double x, double y, int page = 1) {
  const std::vector<std::string> found = WordsAt(words, x, y, page);
  if (found.size() == 1) return found.front();
  return found.empty() ? "<nothing>" : "<" + std::to_string(found.size()) + " words>";
}

inline int PageCount(const std::vector<PageWord>& words) {
  int n = 0;
  for (const PageWord& w : words) n = std::max(n, w.page);
  return n;
}

// The folder of the report test items.
inline std::filesystem::path ItemsFolder() {
  return std::filesystem::path(__FILE__).parent_path() / "items";
}

// A quote document holding one copy of the item file: its particulars are fixed test values,
// and the item is its second item (an empty one goes first).
inline pugi::xml_node QuoteWithItem(pugi::xml_document& doc, const std::filesystem::path& itemFile) {
  doc.load_string(
      "<quote><customer>Riverside Chemicals</customer><number>Q24-0315</number>"
      "<project>Feed pumps</project><quotedby>A. Engineer</quotedby><contact>J. Smith</contact>"
      "<enquiry>ENQ-77</enquiry><fax>555-0100</fax><date>45000</date><items><item/></items></quote>");
  pugi::xml_document item;
  const pugi::xml_parse_result loaded = item.load_file(itemFile.c_str());
  EXPECT_TRUE(loaded) << itemFile << ": " << loaded.description();
  return doc.child("quote").child("items").append_copy(item.document_element());
}

}  // namespace quenta::testing
