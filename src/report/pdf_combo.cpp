#include "report/pdf_combo.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace {

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->escape, 1);
}

void JpegSilence(j_common_ptr, int) {}

struct JpegHeader {
  bool ok = false;
  int width = 0;
  int height = 0;
  int components = 0;
  J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
  char message[JMSG_LENGTH_MAX] = {};
};

// Only the header is decoded. The library leaves by longjmp on failure, so this frame holds
// nothing that needs a destructor.
JpegHeader ReadJpegHeader(const unsigned char* data, unsigned long size) {
  JpegHeader header;
  jpeg_decompress_struct cinfo;
  JpegErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = JpegErrorExit;
  err.base.emit_message = JpegSilence;
  err.message[0] = '\0';
  if (setjmp(err.escape)) {
    std::snprintf(header.message, sizeof header.message, "%s", err.message);
    jpeg_destroy_decompress(&cinfo);
    return header;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  header.width = static_cast<int>(cinfo.image_width);
  header.height = static_cast<int>(cinfo.image_height);
  header.components = cinfo.num_components;
  header.colorSpace = cinfo.jpeg_color_space;
  header.ok = true;
  jpeg_destroy_decompress(&cinfo);
  return header;
}

// Windows-1252 bytes 0x80..0x9F and the characters they stand for; 0 where the code page has
// no character.
constexpr char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c && c != 0) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::unique_ptr<xPDFName> Name(std::string value) {
  return std::make_unique<xPDFName>(std::move(value));
}

std::unique_ptr<xPDFIndirectObject> FontObject(const char* name, const char* subtype, const char* base,
                                               bool winAnsi) {
  auto font = std::make_unique<xPDFDictionary>();
  font->addElement("Type", Name("Font"));
  font->addElement("Subtype", Name(subtype));
  font->addElement("Name", Name(name));
  font->addElement("BaseFont", Name(base));
  if (winAnsi) font->addElement("Encoding", Name("WinAnsiEncoding"));
  return std::make_unique<xPDFIndirectObject>(0, 0, std::move(font));
}

}  // namespace

std::string ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      c = lead & 0x07;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool valid = i + extra < utf8.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(utf8[i + k]);
      if ((b & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kShortest[4] = {0, 0x80, 0x800, 0x10000};
    if (!valid || c < kShortest[extra]) {
      out += '?';
      ++i;
      continue;
    }
    out += Windows1252Byte(c);
    i += 1 + extra;
  }
  return out;
}

xJPEGPicture LoadJPEGPicture(std::string bytes) {
  const JpegHeader h = ReadJpegHeader(reinterpret_cast<const unsigned char*>(bytes.data()),
                                      static_cast<unsigned long>(bytes.size()));
  if (!h.ok) throw Exception(std::string("The picture is not a readable JPEG image: ") + h.message);
  if (h.components != 3 || (h.colorSpace != JCS_YCbCr && h.colorSpace != JCS_RGB)) {
    throw Exception("The picture is not an RGB JPEG image (" + std::to_string(h.components) +
                    " colour components); only three-component RGB pictures can be placed on a page.");
  }
  return {std::move(bytes), h.width, h.height};
}

xJPEGPicture LoadJPEGPictureFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot open picture " + path.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw Exception("Cannot read picture " + path.string());
  return LoadJPEGPicture(std::move(bytes));
}

xPDFCombo::xPDFCombo(std::filesystem::path _fname, double _pageWidth, double _pageHeight)
    : fname_(std::move(_fname)), pageWidth_(_pageWidth), pageHeight_(_pageHeight) {
  PDFFile_.body.version = "1.3";

  auto pages = std::make_unique<xPDFDictionary>();
  pages->addElement("Type", Name("Pages"));
  auto kids = std::make_unique<xPDFArray>();
  PagesKidsArray = kids.get();
  pages->addElement("Kids", std::move(kids));
  auto count = std::make_unique<xPDFNumber>(0);
  PagesKidsCount = count.get();
  pages->addElement("Count", std::move(count));
  auto pagesObject = std::make_unique<xPDFIndirectObject>(0, 0, std::move(pages));

  auto catalog = std::make_unique<xPDFDictionary>();
  catalog->addElement("Type", Name("Catalog"));
  catalog->addElement("Pages", std::make_unique<xPDFObjectReference>(pagesObject.get()));

  PDFFile_.body.addObject(std::move(catalog));
  Pages = PDFFile_.body.addObject(std::move(pagesObject));
  fonts_[0] = PDFFile_.body.addObject(FontObject("F0", "Type1", "Times-Roman", true));
  fonts_[1] = PDFFile_.body.addObject(FontObject("F1", "Type1", "Times-Bold", true));
  fonts_[2] = PDFFile_.body.addObject(FontObject("F2", "Type1", "Helvetica-Bold", true));
  fonts_[3] = PDFFile_.body.addObject(FontObject("F3", "Type1", "Helvetica", true));
  fonts_[4] = PDFFile_.body.addObject(FontObject("F4", "Type1", "Helvetica-BoldOblique", true));
  fonts_[5] = PDFFile_.body.addObject(FontObject("F5", "TrueType", "Symbol", false));
}

void xPDFCombo::AddPage(std::string_view content) {
  auto contents =
      std::make_unique<xPDFIndirectObject>(0, 0, std::make_unique<xPDFStream>(ToWindows1252(content)));

  auto page = std::make_unique<xPDFDictionary>();
  page->addElement("Type", Name("Page"));
  page->addElement("Parent", std::make_unique<xPDFObjectReference>(Pages));
  auto box = std::make_unique<xPDFArray>();
  box->addElement(std::make_unique<xPDFNumber>(0));
  box->addElement(std::make_unique<xPDFNumber>(0));
  box->addElement(std::make_unique<xPDFNumber>(pageWidth_));
  box->addElement(std::make_unique<xPDFNumber>(pageHeight_));
  page->addElement("MediaBox", std::move(box));
  page->addElement("Contents", std::make_unique<xPDFObjectReference>(contents.get()));

  auto resources = std::make_unique<xPDFDictionary>();
  auto fonts = std::make_unique<xPDFDictionary>();
  for (int i = 0; i < 6; ++i) {
    fonts->addElement("F" + std::to_string(i), std::make_unique<xPDFObjectReference>(fonts_[i]));
  }
  resources->addElement("Font", std::move(fonts));
  auto procSet = std::make_unique<xPDFArray>();
  for (const char* p : {"PDF", "Text", "ImageB", "ImageC", "ImageI"}) procSet->addElement(Name(p));
  resources->addElement("ProcSet", std::move(procSet));
  xPDFDictionary* resourcesRaw = resources.get();
  page->addElement("Resources", std::move(resources));

  CurrentPage = PDFFile_.body.addObject(std::move(page));
  CurrentPageResources = resourcesRaw;
  PDFFile_.body.addObject(std::move(contents));
  PagesKidsArray->addElement(std::make_unique<xPDFObjectReference>(CurrentPage));
  PagesKidsCount->value += 1;
  pages_.push_back({CurrentPage, CurrentPageResources});
}

xPDFDictionary& xPDFCombo::CurrentXObjects() {
  if (!CurrentPageResources) throw Exception("An image needs a page: add a page first.");
  if (auto* existing = dynamic_cast<xPDFDictionary*>(CurrentPageResources->find("XObject"))) return *existing;
  auto created = std::make_unique<xPDFDictionary>();
  xPDFDictionary* raw = created.get();
  CurrentPageResources->addElement("XObject", std::move(created));
  return *raw;
}

void xPDFCombo::AddImage(const xJPEGPicture& image, std::string_view name) {
  auto stream = std::make_unique<xPDFStream>(image.bytes);
  xPDFDictionary& d = *stream->dictionary;
  d.addElement("Type", Name("XObject"));
  d.addElement("Subtype", Name("Image"));
  d.addElement("Name", Name(std::string(name)));
  d.addElement("Filter", Name("DCTDecode"));
  d.addElement("Width", std::make_unique<xPDFNumber>(image.width));
  d.addElement("Height", std::make_unique<xPDFNumber>(image.height));
  d.addElement("BitsPerComponent", std::make_unique<xPDFNumber>(8));
  d.addElement("ColorSpace", Name("DeviceRGB"));
  AddImage(std::move(stream));
}

void xPDFCombo::AddImage(std::unique_ptr<xPDFStream> image) {
  const auto* name = dynamic_cast<const xPDFName*>(image->dictionary->find("Name"));
  if (!name) throw Exception("An image stream needs a Name entry.");
  xPDFDictionary& xobjects = CurrentXObjects();
  const std::string key = name->value;
  const xPDFIndirectObject* obj = PDFFile_.body.addObject(std::move(image));
  xobjects.addElement(key, std::make_unique<xPDFObjectReference>(obj));
}

bool xPDFCombo::LocateImage(std::string_view name) {
  if (!CurrentPageResources) throw Exception("An image needs a page: add a page first.");
  for (const Page& p : pages_) {
    const auto* xobjects = dynamic_cast<const xPDFDictionary*>(p.resources->find("XObject"));
    if (!xobjects) continue;
    const auto* ref = dynamic_cast<const xPDFObjectReference*>(xobjects->find(name));
    if (!ref) continue;
    CurrentXObjects().addElement(name, std::make_unique<xPDFObjectReference>(ref->value));
    return true;
  }
  return false;
}

void xPDFCombo::CreateFile() {
  PDFFile_.SaveFile(fname_);
}

void AttachLogo(xPDFCombo& combo) {
  AttachLogo(combo, platform::ProgramDataFile("data/tarvik.jpg"));
}

void AttachLogo(xPDFCombo& combo, const std::filesystem::path& logoFile) {
  if (combo.LocateImage("logo")) return;
  combo.AddImage(LoadJPEGPictureFile(logoFile), "logo");
}

}  // namespace quenta
