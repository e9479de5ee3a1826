#include "report/pdf_combo.h"

#include <gtest/gtest.h>

#include <set>

#include "report/pdf_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;

const char* kPage1 = "BT /F3 12 Tf 72 700 Td (Quenta valve report) Tj ET";
const char* kPage2 =
    "BT /F0 12 Tf 72 700 Td (Actuator report 50 \xC2\xB0"
    "C) Tj ET";

class PDFComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    logo_ = dir_.path() / "tarvik.jpg";
    testing::WriteBytes(logo_, testing::MakeJpeg(24, 16, 3));
  }

  // A report page as every report makes it: the page, then the logo drawn on it.
  void AddReportPage(xPDFCombo& combo, const std::string& text) {
    combo.AddPage(text + "\r\nq 48 0 0 32 500 780 cm /logo Do Q");
    AttachLogo(combo, logo_);
  }

  std::string Written(xPDFCombo& combo) {
    combo.CreateFile();
    testing::ExpectQpdfClean(combo.fname());
    return testing::ReadBytes(combo.fname());
  }

  testing::TempDir dir_;
  std::filesystem::path logo_;
};

TEST_F(PDFComboTest, OnePageFileHoldsObjectsOneToElevenWithCountOne) {
  xPDFCombo combo(dir_.path() / "one.pdf", kReportPageWidth, kReportPageHeight);
  AddReportPage(combo, kPage1);
  const std::string bytes = Written(combo);

  EXPECT_EQ(combo.PDFFile().body.count, 11u);
  EXPECT_NE(bytes.find("1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 2 0 R\r\n>>"), std::string::npos);
  EXPECT_NE(bytes.find("2 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids [ 9 0 R ]\r\n/Count 1\r\n>>"),
            std::string::npos);
  EXPECT_NE(
      bytes.find("3 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Name /F0\r\n/BaseFont /Times-Roman\r\n"
                 "/Encoding /WinAnsiEncoding\r\n>>"),
      std::string::npos);
  EXPECT_NE(bytes.find(
                "8 0 obj\r\n<<\r\n/Type /Font\r\n/Subtype /TrueType\r\n/Name /F5\r\n/BaseFont /Symbol\r\n>>"),
            std::string::npos);
  EXPECT_NE(bytes.find("9 0 obj\r\n<<\r\n/Type /Page\r\n/Parent 2 0 R\r\n/MediaBox [ 0 0 596 842 ]\r\n"
                       "/Contents 10 0 R\r\n/Resources <<\r\n/Font <<\r\n/F0 3 0 R\r\n"),
            std::string::npos);
  EXPECT_NE(
      bytes.find("/ProcSet [ /PDF /Text /ImageB /ImageC /ImageI ]\r\n/XObject <<\r\n/logo 11 0 R\r\n>>"),
      std::string::npos);
  EXPECT_NE(bytes.find("11 0 obj\r\n<<\r\n/Length "), std::string::npos);
  EXPECT_NE(
      bytes.find("/Type /XObject\r\n/Subtype /Image\r\n/Name /logo\r\n/Filter /DCTDecode\r\n/Width 24\r\n"
                 "/Height 16\r\n/BitsPerComponent 8\r\n/ColorSpace /DeviceRGB\r\n>>"),
      std::string::npos);
  EXPECT_NE(bytes.find(testing::ReadBytes(logo_)), std::string::npos);  // embedded unchanged
  EXPECT_NE(testing::PdfText(combo.fname()).find("Quenta valve report"), std::string::npos);
}

TEST_F(PDFComboTest, TwoPagesShareOneLogoObject) {
  xPDFCombo combo(dir_.path() / "two.pdf", kReportPageWidth, kReportPageHeight);
  AddReportPage(combo, kPage1);
  AddReportPage(combo, kPage2);
  const std::string bytes = Written(combo);

  EXPECT_EQ(combo.PDFFile().body.count, 13u);
  std::size_t images = 0;
  for (std::size_t at = bytes.find("/Subtype /Image"); at != std::string::npos;
       at = bytes.find("/Subtype /Image", at + 1)) {
    ++images;
  }
  EXPECT_EQ(images, 1u);
  EXPECT_NE(bytes.find("/Kids [ 9 0 R 12 0 R ]\r\n/Count 2"), std::string::npos);
  const std::size_t page2 = bytes.find("12 0 obj\r\n");
  ASSERT_NE(page2, std::string::npos);
  EXPECT_NE(bytes.find("/XObject <<\r\n/logo 11 0 R\r\n>>", page2), std::string::npos);

  const std::string text = testing::PdfText(combo.fname());
  EXPECT_NE(text.find("Quenta valve report"), std::string::npos);
  EXPECT_NE(text.find("Actuator report 50 \xC2\xB0"
                      "C"),
            std::string::npos)
      << text;  // ° through Windows-1252
}

TEST_F(PDFComboTest, QuoteWithoutPagesIsAValidFileWithCountZero) {
  xPDFCombo combo(dir_.path() / "empty.pdf", kReportPageWidth, kReportPageHeight);
  const std::string bytes = Written(combo);
  EXPECT_EQ(combo.PDFFile().body.count, 8u);
  EXPECT_NE(bytes.find("/Kids [ ]\r\n/Count 0"), std::string::npos);
}

TEST_F(PDFComboTest, WrittenReadAndWrittenAgainIsByteIdentical) {
  xPDFCombo combo(dir_.path() / "first.pdf", kReportPageWidth, kReportPageHeight);
  AddReportPage(combo, kPage1);
  AddReportPage(combo, kPage2);
  const std::string first = Written(combo);

  xPDFFile again;
  again.OpenFile(combo.fname());
  const std::filesystem::path second = dir_.path() / "second.pdf";
  again.SaveFile(second);
  EXPECT_EQ(testing::ReadBytes(second), first);
}

// Every cut of a real file, from nothing to one byte short, is refused with one of the
// reader's messages; none reads past the cut (the sanitizer build watches).
TEST_F(PDFComboTest, EveryTruncationOfAWrittenFileIsRefused) {
  xPDFCombo combo(dir_.path() / "cut.pdf", kReportPageWidth, kReportPageHeight);
  AddReportPage(combo, kPage1);
  const std::string bytes = Written(combo);
  const std::set<std::string> messages = {"Not a valid PDF file.",
                                          "Error creating indirect object.",
                                          "Error creating dictionary object.",
                                          "Error creating array object.",
                                          "Error creating name object.",
                                          "Error creating string object.",
                                          "Error creating boolean object.",
                                          "Error creating stream object."};
  const std::size_t xref = bytes.rfind("xref\r\n0 ");
  for (std::size_t n = 0; n < xref; ++n) {
    // A copy of exactly n bytes, so that nothing after the cut is addressable.
    const std::unique_ptr<char[]> cut(new char[n + 1]);
    std::copy(bytes.data(), bytes.data() + n, cut.get());
    xPDFFile f;
    const std::string got = MessageOf([&] { f.OpenData(std::string_view(cut.get(), n)); });
    EXPECT_TRUE(messages.count(got)) << "cut at " << n << ": " << got;
  }
}

TEST_F(PDFComboTest, PicturesMustBeRGBJpegs) {
  const xJPEGPicture rgb = LoadJPEGPicture(testing::MakeJpeg(5, 3, 3));
  EXPECT_EQ(rgb.width, 5);
  EXPECT_EQ(rgb.height, 3);
  EXPECT_NE(MessageOf([] { LoadJPEGPicture(testing::MakeJpeg(5, 3, 1)); }).find("not an RGB JPEG"),
            std::string::npos);
  EXPECT_NE(MessageOf([] { LoadJPEGPicture("not a picture"); }).find("not a readable JPEG"),
            std::string::npos);
  EXPECT_NE(MessageOf([&] { LoadJPEGPictureFile(dir_.path() / "missing.jpg"); }), "<no exception>");

  xPDFCombo combo(dir_.path() / "x.pdf", kReportPageWidth, kReportPageHeight);
  EXPECT_NE(MessageOf([&] { combo.AddImage(rgb, "pic"); }), "<no exception>");  // no page yet
  EXPECT_FALSE([&] {
    combo.AddPage("q Q");
    return combo.LocateImage("pic");
  }());
  EXPECT_EQ(combo.PDFFile().body.count, 10u);  // nothing was added by the failed lookup
}

TEST(Windows1252Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Valve 4\"", "Valve 4\""},
      {"50 \xC2\xB0"
       "C",
       "50 \xB0"
       "C"},                           // degree sign
      {"m\xC2\xB3/hr", "m\xB3/hr"},    // superscript three
      {"\xE2\x82\xAC 10", "\x80 10"},  // euro sign from the 0x80 row
      {"\xE2\x80\x93", "\x96"},        // en dash
      {"\xCE\xA9", "?"},               // Greek omega
      {"\xF0\x9F\x98\x80!", "?!"},     // outside the basic plane
      {"\xFF\xC3", "??"},              // not UTF-8, truncated sequence
      {"\xC0\x80", "??"},              // overlong NUL
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ToWindows1252(in), out) << in;
}

}  // namespace
}  // namespace quenta
