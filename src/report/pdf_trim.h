#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "report/page_text.h"
#include "report/pdf_combo.h"

namespace quenta {

// The trim pages of one item: one page per designed trim section (disk stack, ZZ or CC), and
// further pages for a stage table longer than the first page holds.
class xPDFTrim {
 public:
  explicit xPDFTrim(pugi::xml_node item);
  // Appends the pages of every section in order. The first section that fails throws its
  // message; the pages of the sections before it stay in the composer.
  void MakePDF(xPDFCombo& combo);
  // Writes the pages alone into file.
  void MakePDF(const std::filesystem::path& file);

 private:
  pugi::xml_node itemnode;
};

// The page of one trim section. Throws on creation when the item's trim needs resizing or
// recalculating, and "Error loading section data." when the item has no section numbered
// _section (1-based).
class xPDFTrimPage {
 public:
  using xTableRow = std::array<std::string, 12>;

  xPDFTrimPage(pugi::xml_node item, std::uint8_t _section);
  virtual ~xPDFTrimPage() = default;

  // The content text of the section's first page.
  std::string CreatePage() const { return CreatePages().front(); }
  // The content texts of all the section's pages: the first page with the design data, the
  // stage table and the chart; further pages for the stage rows the first cannot hold.
  virtual std::vector<std::string> CreatePages() const;

  // Stage rows on the first page (above the chart) and on each further page.
  static constexpr int kFirstPageRows = 17;
  static constexpr int kFurtherPageRows = 46;

  pugi::xml_node itemnode;
  std::uint8_t section;
  xGeneralBlock General;
  xTwoColumnRows<10> Side;
  std::string TableField[2][12];
  std::vector<xTableRow> TableValue;
  std::string SectionHeading;
  std::string graph;

 protected:
  // Reads what every kind shows; kind names the kind in the failure messages.
  void Load(const char* kind);
  virtual const char* Title() const = 0;
  virtual const char* TitleX() const = 0;
  virtual bool HasTable() const = 0;

  pugi::xml_node process_, units_, node_;
  bool engineering_ = false;
  int stages_ = 0;
};

class xPDFEDDesign : public xPDFTrimPage {
 public:
  xPDFEDDesign(pugi::xml_node item, std::uint8_t _section);

 protected:
  const char* Title() const override { return "Disk Stack"; }
  const char* TitleX() const override { return "18"; }
  bool HasTable() const override { return true; }
};

class xPDFZZDesign : public xPDFTrimPage {
 public:
  xPDFZZDesign(pugi::xml_node item, std::uint8_t _section);

 protected:
  const char* Title() const override { return "ZZ"; }
  const char* TitleX() const override { return "38"; }
  bool HasTable() const override { return true; }
};

class xPDFCCDesign : public xPDFTrimPage {
 public:
  xPDFCCDesign(pugi::xml_node item, std::uint8_t _section);

 protected:
  const char* Title() const override { return "CC"; }
  const char* TitleX() const override { return "38"; }
  bool HasTable() const override { return false; }
};

}  // namespace quenta
