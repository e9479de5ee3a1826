#include "report/pdf_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/platform.h"
#include "report/pdf_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;

struct Printed {
  std::string text;
  std::uint64_t count;
};

Printed Print(const xPDFObject& obj) {
  std::ostringstream out;
  const std::uint64_t n = obj.print(out);
  return {out.str(), n};
}

std::unique_ptr<xPDFNumber> Num(double v) {
  return std::make_unique<xPDFNumber>(v);
}

// The print count is what the cross-reference table is built from, so it must equal the bytes
// really written for every kind of object, nested ones included.
TEST(PDFObjectTest, EachObjectPrintsItsTextAndCountsItsBytes) {
  auto array = std::make_unique<xPDFArray>();
  array->addElement(Num(0));
  array->addElement(std::make_unique<xPDFName>("PDF"));
  auto dict = std::make_unique<xPDFDictionary>();
  dict->addElement("Type", std::make_unique<xPDFName>("Page"));
  dict->addElement("Box", std::move(array));
  xPDFIndirectObject target(7, 0, std::make_unique<xPDFBoolean>(true));

  struct Case {
    std::unique_ptr<xPDFObject> obj;
    std::string text;
  };
  std::vector<Case> cases;
  cases.push_back({std::make_unique<xPDFBoolean>(true), "true"});
  cases.push_back({std::make_unique<xPDFBoolean>(false), "false"});
  cases.push_back({std::make_unique<xPDFString>("a (b) c\\"), "(a (b) c\\)"});
  cases.push_back({std::make_unique<xPDFName>("Helvetica-Bold"), "/Helvetica-Bold"});
  cases.push_back({std::make_unique<xPDFArray>(), "[ ]"});
  cases.push_back({std::move(dict), "<<\r\n/Type /Page\r\n/Box [ 0 /PDF ]\r\n>>"});
  cases.push_back(
      {std::make_unique<xPDFStream>("BT ET"), "<<\r\n/Length 5\r\n>>\r\nstream\r\nBT ET\r\nendstream"});
  cases.push_back({std::make_unique<xPDFObjectReference>(&target), "7 0 R"});
  cases.push_back({std::make_unique<xPDFIndirectObject>(12, 0, Num(3)), "12 0 obj\r\n3\r\nendobj\r\n"});
  for (const Case& c : cases) {
    const Printed p = Print(*c.obj);
    EXPECT_EQ(p.text, c.text);
    EXPECT_EQ(p.count, p.text.size()) << c.text;
  }
}

TEST(PDFObjectTest, NumbersUseAPointWhateverTheUsersSeparator) {
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  const std::vector<std::pair<double, std::string>> cases = {
      {612, "612"},
      {0.5, "0.5"},
      {1, "1"},
      {-2.25, "-2.25"},
      {596.0000000000001, "596"},
      {1e-7, "0.0000001"},
      {2.5e20, "250000000000000000000"},
      {-1.234567890123456e-9, "-0.00000000123456789012346"},
      {1.0000000000000002e300, "1" + std::string(300, '0')},
      {0, "0"},
      {-0.0, "0"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(Print(xPDFNumber(value)).text, text) << value;
  EXPECT_EQ(Print(xPDFNumber(std::nan(""))).text, "0");
  platform::SetDecimalSeparator(saved);
}

TEST(PDFObjectTest, DictionaryKeepsDuplicateKeysAndFindsTheFirst) {
  xPDFDictionary d;
  d.addElement("A", Num(1));
  d.addElement("A", Num(2));
  EXPECT_EQ(Print(d).text, "<<\r\n/A 1\r\n/A 2\r\n>>");
  EXPECT_EQ(dynamic_cast<xPDFNumber*>(d.find("A"))->value, 1);
  EXPECT_EQ(d.find("a"), nullptr);
}

TEST(PDFObjectTest, EmptyStreamAndEmptyBodyCannotBeWritten) {
  EXPECT_EQ(MessageOf([] { Print(xPDFStream("")); }), "Error with stream object.");
  xPDFBody body;
  body.version = "1.3";
  std::ostringstream out;
  EXPECT_NE(MessageOf([&] { body.print(out); }), "<no exception>");
}

// Every entry of the cross-reference table must point at "n 0 obj" of its own object, and
// startxref at the table; checked on the written bytes, not on the writer's own arithmetic.
void ExpectXrefMatchesObjects(const std::string& file, std::uint32_t objects) {
  const std::size_t sx = file.rfind("startxref\r\n");
  ASSERT_NE(sx, std::string::npos);
  const std::size_t xref = std::stoul(file.substr(sx + 11));
  ASSERT_EQ(file.substr(xref, 6), "xref\r\n");
  const std::string header = "0 " + std::to_string(objects + 1) + "\r\n";
  ASSERT_EQ(file.substr(xref + 6, header.size()), header);
  const std::size_t entries = xref + 6 + header.size();
  EXPECT_EQ(file.substr(entries, 20), "0000000000 65535 f\r\n");
  for (std::uint32_t n = 1; n <= objects; ++n) {
    const std::string entry = file.substr(entries + 20 * n, 20);
    ASSERT_EQ(entry.substr(10), " 00000 n\r\n") << entry;
    const std::size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(file.substr(offset, std::to_string(n).size() + 8), std::to_string(n) + " 0 obj\r\n") << n;
  }
  EXPECT_EQ(file.substr(entries + 20 * (objects + 1), 2 + 9), "\r\ntrailer\r\n");
}

TEST(PDFFileTest, CrossReferenceOffsetsMatchTheObjectsInTheFile) {
  testing::TempDir dir;
  for (const std::string version : {"1.3", "1.10"}) {
    xPDFFile f;
    f.body.version = version;
    auto pages = std::make_unique<xPDFIndirectObject>(0, 0, std::make_unique<xPDFDictionary>());
    auto catalog = std::make_unique<xPDFDictionary>();
    catalog->addElement("Type", std::make_unique<xPDFName>("Catalog"));
    catalog->addElement("Pages", std::make_unique<xPDFObjectReference>(pages.get()));
    f.body.addObject(std::move(catalog));
    f.body.addObject(std::move(pages));
    const std::filesystem::path file = dir.path() / "two.pdf";
    f.SaveFile(file);
    const std::string bytes = testing::ReadBytes(file);

    EXPECT_EQ(bytes.substr(0, 9 + version.size()), "%PDF-" + version + "\r\n\r\n");
    ExpectXrefMatchesObjects(bytes, 2);
    EXPECT_NE(
        bytes.find("\r\n1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 2 0 R\r\n>>\r\nendobj\r\n\r\n2 0 obj"),
        std::string::npos);
    EXPECT_NE(bytes.find("trailer\r\n<<\r\n/Size 3\r\n/Root 1 0 R\r\n>>\r\nstartxref\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 7), "%%EOF\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "two.pdf.tmp"));
  }
}

// A minimal file in the writer's layout, objects numbered 5 and 7 so that reading has to join
// the references to renumbered targets.
const std::string kRenumbered =
    "%PDF-1.3\r\n\r\n"
    "5 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 7 0 R\r\n>>\r\nendobj\r\n\r\n"
    "7 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids [ ]\r\n/Count 0\r\n/T (a b)\r\n/H <0aff>\r\n/B "
    "true\r\n>>\r\nendobj\r\n"
    "\r\nxref\r\n";

TEST(PDFFileTest, ReadingJoinsReferencesToTheirRenumberedTargets) {
  testing::TempDir dir;
  const std::filesystem::path in = dir.path() / "in.pdf", out = dir.path() / "out.pdf";
  testing::WriteBytes(in, kRenumbered);
  xPDFFile f;
  f.OpenFile(in);
  ASSERT_EQ(f.body.count, 2u);
  EXPECT_EQ(f.body.version, "1.3");
  f.SaveFile(out);
  const std::string bytes = testing::ReadBytes(out);
  EXPECT_NE(bytes.find("/Pages 2 0 R"), std::string::npos);
  EXPECT_NE(bytes.find("/T (a b)\r\n/H <0aff>\r\n/B true"), std::string::npos);
  testing::ExpectQpdfClean(out);
}

// Truncated and hostile data: every failure is one of the reader's own messages, and the
// sanitizer build proves that none of them reads past the end.
TEST(PDFFileTest, HostileDataEndsInTheReadersMessages) {
  const std::string head = "%PDF-1.3\r\n\r\n1 0 obj\r\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "Not a valid PDF file."},
      {"%PDF", "Not a valid PDF file."},
      {"%PDF-", "Not a valid PDF file."},
      {"%PDF-1.3\r\n", "Not a valid PDF file."},
      {"GIF89a", "Not a valid PDF file."},
      {"%PDF-1.3\r\nx 0 obj 1 endobj xref", "Error creating indirect object."},
      {"%PDF-1.3\r\n1 0 bj 1 endobj xref", "Error creating indirect object."},
      {"%PDF-1.3\r\n70000 0 obj 1 endobj xref", "Error creating indirect object."},
      {head + "1 xref", "Error creating indirect object."},
      {head + "<< /A 1", "Error creating dictionary object."},
      {head + "<< A 1 >> endobj xref", "Error creating dictionary object."},
      {head + "<< /A >> endobj xref", "Error creating dictionary object."},
      {head + "[ 1 2", "Error creating array object."},
      {head + "(abc", "Error creating string object."},
      {head + "<abc endobj xref", "Error creating string object."},
      {head + "null endobj xref", "Not a valid PDF file."},
      {head + "2 0 R endobj xref", "Not a valid PDF file."},  // a reference to no object
      {head + "<< /Length 99 >>\r\nstream\r\nabc\r\nendstream endobj xref", "Error creating stream object."},
      {head + "<< /Length 3 >>\r\nstream abc\r\nendstream endobj xref", "Error creating stream object."},
      {head + "<< >>\r\nstream\r\nabc", "Error creating stream object."},
      {head + "[ 1 ]\r\nstream\r\nabc\r\nendstream endobj xref", "Error creating stream object."},
      {head + "<< /Length -1 >>\r\nstream\r\nabc\r\nendstream endobj xref", "Error creating stream object."},
      // Lengths no integer holds, or with a fraction, are refused before any conversion.
      {head + "<< /Length 4" + std::string(76, '0') + " >> stream\r\nabc\r\nendstream endobj xref",
       "Error creating stream object."},
      {head + "<< /Length 1.5 >>\r\nstream\r\nabc\r\nendstream endobj xref", "Error creating stream object."},
      {head + "<< /Length 18446744073709551616 >>\r\nstream\r\nabc\r\nendstream endobj xref",
       "Error creating stream object."},
      {head + std::string(200, '[') + std::string(200, ']'), "Not a valid PDF file."},
  };
  for (const auto& [data, message] : cases) {
    xPDFFile f;
    const std::string got = MessageOf([&] { f.OpenData(data); });
    EXPECT_EQ(got, message) << data;
    EXPECT_EQ(f.body.count, 0u) << data;
  }
}

TEST(PDFFileTest, StreamWithoutANumericLengthRunsToEndstream) {
  xPDFFile f;
  f.OpenData(
      "%PDF-1.3\r\n1 0 obj\r\n<<\r\n/Length 9 0 R\r\n/K 1\r\n>>\r\nstream\r\nab)c\r\nendstream\r\nendobj\r\n"
      "9 0 obj\r\n4\r\nendobj\r\nxref");
  const auto* s = dynamic_cast<const xPDFStream*>(f.body.objects().front()->value.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->stream, "ab)c");
  EXPECT_EQ(Print(*s).text, "<<\r\n/Length 4\r\n/K 1\r\n>>\r\nstream\r\nab)c\r\nendstream");
}

// A write that fails half-way leaves the earlier file as it was, and no temporary file.
TEST(PDFFileTest, FailedWriteKeepsTheOldFile) {
  testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "quote.pdf";
  testing::WriteBytes(file, "old quote");
  xPDFFile f;
  f.body.version = "1.3";
  f.body.addObject(std::make_unique<xPDFDictionary>());
  f.body.addObject(std::make_unique<xPDFStream>(""));
  EXPECT_EQ(MessageOf([&] { f.SaveFile(file); }), "Error with stream object.");
  EXPECT_EQ(testing::ReadBytes(file), "old quote");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_NE(MessageOf([&] { f.SaveFile(dir.path() / "missing" / "quote.pdf"); }), "<no exception>");
}

TEST(PDFFileTest, MissingFileIsReported) {
  xPDFFile f;
  EXPECT_EQ(MessageOf([&] { f.OpenFile("/nonexistent/quenta.pdf"); }), "File does not exist");
}

}  // namespace
}  // namespace quenta
