#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/pdf_objects.h"

// The one tool with which every report page goes into a PDF file: a fixed skeleton (catalog,
// page tree, six standard fonts), pages given as ready content-stream text, JPEG pictures on
// the current page, and pictures shared with earlier pages. Several reports go into one file by
// sharing one composer.
namespace quenta {

// A JPEG picture as it is embedded: its bytes unchanged and its size in pixels.
struct xJPEGPicture {
  std::string bytes;
  int width = 0;
  int height = 0;
};

// Reads the header of JPEG bytes. Throws Exception when the bytes are not a JPEG picture, and
// when the picture is not three-component RGB (images are always declared DeviceRGB).
xJPEGPicture LoadJPEGPicture(std::string bytes);
// The same from a file; a missing or unreadable file throws Exception naming it.
xJPEGPicture LoadJPEGPictureFile(const std::filesystem::path& path);

// Page text in the single bytes of Windows-1252: UTF-8 in, each character outside the code page
// (and each byte that is not UTF-8) becomes "?".
std::string ToWindows1252(std::string_view utf8);

class xPDFCombo {
 public:
  // The document with version 1.3: catalog, page tree (no pages yet) and fonts F0 to F5.
  xPDFCombo(std::filesystem::path _fname, double _pageWidth, double _pageHeight);

  // A new page whose content stream is content (UTF-8, stored as Windows-1252); it becomes the
  // current page.
  void AddPage(std::string_view content);
  // A picture on the current page under name. Throws Exception before the first page.
  void AddImage(const xJPEGPicture& image, std::string_view name);
  // An image stream already built; entered under its own Name entry.
  void AddImage(std::unique_ptr<xPDFStream> image);
  // Shares with the current page the image name of the first page (first to last, the current
  // one included) that carries it. False, and nothing changed, when no page carries it.
  bool LocateImage(std::string_view name);
  // Writes the document to the file named at creation.
  void CreateFile();

  const std::filesystem::path& fname() const { return fname_; }
  double pageWidth() const { return pageWidth_; }
  double pageHeight() const { return pageHeight_; }
  xPDFFile& PDFFile() { return PDFFile_; }
  // The number of pages added.
  int PageCount() const { return static_cast<int>(pages_.size()); }

 private:
  struct Page {
    xPDFIndirectObject* page;
    xPDFDictionary* resources;
  };
  xPDFDictionary& CurrentXObjects();

  std::filesystem::path fname_;
  double pageWidth_;
  double pageHeight_;
  xPDFFile PDFFile_;
  xPDFIndirectObject* fonts_[6] = {};
  xPDFIndirectObject* Pages = nullptr;
  xPDFArray* PagesKidsArray = nullptr;
  xPDFNumber* PagesKidsCount = nullptr;
  xPDFIndirectObject* CurrentPage = nullptr;
  xPDFDictionary* CurrentPageResources = nullptr;
  std::vector<Page> pages_;
};

// The page size of every report: A4 taken up to whole points.
inline constexpr double kReportPageWidth = 596;
inline constexpr double kReportPageHeight = 842;

// The logo that every report page carries: shared from an earlier page when one has it, else
// read from logoFile (by default data/tarvik.jpg among the program's installed data files) and added
// as "logo".
void AttachLogo(xPDFCombo& combo);
void AttachLogo(xPDFCombo& combo, const std::filesystem::path& logoFile);

}  // namespace quenta
