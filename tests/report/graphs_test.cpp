#include "report/graphs.h"

#include <gtest/gtest.h>

#include <sstream>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "report/pdf_combo.h"
#include "report/pdf_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    out.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  out.push_back(text.substr(start));
  return out;
}

std::vector<double> Numbers(const std::string& line) {
  std::vector<double> out;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    if (word.find_first_not_of("-.0123456789") == std::string::npos) out.push_back(std::stod(word));
  }
  return out;
}

// Puts a graph on a report page, where it is pasted after a cm that moves its origin, and
// checks the page with qpdf and pdftotext.
std::string PageText(const std::string& graph, const std::filesystem::path& file) {
  xPDFCombo combo(file, kReportPageWidth, kReportPageHeight);
  combo.AddPage("q 1 0 0 1 75 500 cm /F2 9 Tf\r\n" + graph + "\r\nQ");
  combo.CreateFile();
  testing::ExpectQpdfClean(file);
  return testing::PdfText(file);
}

class CharacteristicGraphTest : public ::testing::Test {
 protected:
  CharacteristicGraphTest()
      : db_("CREATE TABLE Valves (ID INTEGER PRIMARY KEY, Characteristic TEXT);"
            "INSERT INTO Valves VALUES (1, '0\\0\\0.3\\0.3\\0.7\\0.7\\1\\1\\'), (2, '<user defined>');"),
        connection_(db_.file()),
        valves_(connection_, "select * from Valves where ID = 1 ;") {
    item_ = doc_.append_child("item");
    const pugi::xml_node process = ProcessOf(item_);
    SetChildText(GetOrAddChild(process, "units"), "vc", "Cv");
    SetChildFloat(GetOrAddChild(process, "valve"), "vc", 100);
    SetConditionCount(process, 2);
    auto condition = process.child("conditions").children("condition").begin();
    SetChildFloat(*condition, "percentopen", 50);
    SetChildFloat(*++condition, "percentopen", 100);
    args_.Item = item_;
  }

  std::string Graph() { return makePDFGraph(xCharacteristic(args_, valves_)); }

  testing::TempDatabase db_;
  xConnection connection_;
  xQuery valves_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  xPageArgs args_;
};

TEST_F(CharacteristicGraphTest, ConditionAtHalfOpenSitsOnTheLinearCurve) {
  const std::vector<std::string> lines = Lines(Graph());
  std::vector<std::vector<double>> diamonds;
  std::vector<std::string> labels;
  for (const std::string& l : lines) {
    if (l.size() > 4 && l.substr(l.size() - 4) == " l b") diamonds.push_back(Numbers(l));
    if (l.rfind("BT ", 0) == 0 && l.find(") Tj ET") != std::string::npos) labels.push_back(l);
  }
  ASSERT_EQ(diamonds.size(), 2u);
  // x0 + W / 2 = 50 + 343.2 / 2, y0 + H / 2 = 30 + 136.2 / 2; the diamond's corners are 1.25 off.
  const std::vector<double> expected = {220.35, 98.1, 221.6, 99.35, 222.85, 98.1, 221.6, 96.85};
  ASSERT_EQ(diamonds[0].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(diamonds[0][i], expected[i], 1e-6) << i;
  EXPECT_NEAR(diamonds[1][0] + 1.25, 393.2, 1e-6);  // fully open: the top right corner
  EXPECT_NEAR(diamonds[1][1], 166.2, 1e-6);
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[1].substr(labels[1].size() - 9), "(2) Tj ET");
  const std::vector<double> first = Numbers(labels[0]);
  EXPECT_NEAR(first[0], 218.6, 1e-6);
  EXPECT_NEAR(first[1], 101.1, 1e-6);
}

TEST_F(CharacteristicGraphTest, AxisLabelsEndAtTheirGridLinesWithAPointSeparator) {
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  SetChildFloat(ProcessOf(item_).child("valve"), "vc", 12.5);  // stored as 12,5
  const std::string graph = Graph();
  platform::SetDecimalSeparator(saved);

  EXPECT_EQ(graph.find(','), std::string::npos);
  const std::vector<std::string> lines = Lines(graph);
  // The vertical labels move up by H / 10 and left by the change in label width.
  std::vector<std::string> vertical;
  for (const std::string& l : lines) {
    if (l.find(" 13.62 Td (") != std::string::npos) vertical.push_back(l);
  }
  ASSERT_EQ(vertical.size(), 10u);
  EXPECT_EQ(vertical[0], "-12 13.62 Td (1.25) Tj");  // first label: 4 characters, 12 points
  EXPECT_EQ(vertical[7], "6 13.62 Td (10) Tj");      // after "8.75"
  EXPECT_EQ(vertical[8], "-6 13.62 Td (11.2) Tj");   // 11.25 to 3 figures, halves to even
  EXPECT_EQ(vertical[9], "0 13.62 Td (12.5) Tj");
  EXPECT_NE(graph.find("(Cv vs %Open) Tj"), std::string::npos);
  // Percent labels: "0" ends at x0 (50) after the start at x0 - W/10.
  EXPECT_NE(graph.find("\r\n15.68 20 Td\r\n31.32 0 Td (0) Tj\r\n31.32 0 Td (10) Tj\r\n"), std::string::npos);
}

TEST_F(CharacteristicGraphTest, ValveWithVc100IsLabelledTenToHundredOnAPage) {
  const std::string graph = Graph();
  std::string labels;
  for (const std::string& l : Lines(graph)) {
    const std::size_t at = l.find(" 13.62 Td (");
    if (at != std::string::npos) labels += l.substr(at + 11, l.size() - at - 11 - 4) + " ";
  }
  EXPECT_EQ(labels, "10 20 30 40 50 60 70 80 90 100 ");

  testing::TempDir dir;
  const std::string text = PageText(graph, dir.path() / "chart.pdf");
  EXPECT_NE(text.find("Percent Open"), std::string::npos) << text;
  EXPECT_NE(text.find("Cv vs %Open"), std::string::npos) << text;

  pugi::xml_document svg;
  ASSERT_TRUE(svg.load_string(makeSVGGraph(xCharacteristic(args_, valves_)).c_str()));
  EXPECT_EQ(svg.child("svg").attribute("viewBox").as_string(), std::string("0 0 400 175"));
}

TEST_F(CharacteristicGraphTest, MalformedCurveIsReported) {
  SetChildText(ProcessOf(item_), "valvechar", "0\\0\\1");
  xQuery valves(connection_, "select * from Valves where ID = 2 ;");
  EXPECT_EQ(MessageOf([&] { makePDFGraph(xCharacteristic(args_, valves)); }), "Malformed curve.");
}

class StageGraphTest : public ::testing::Test {
 protected:
  StageGraphTest() {
    item_ = doc_.append_child("item");
    const pugi::xml_node process = ProcessOf(item_);
    SetChildText(GetOrAddChild(process, "units"), "pressure", "kPa(a)");
    pugi::xml_node sections = GetOrAddChild(GetOrAddChild(process, "trimdesign"), "sections");
    pugi::xml_node section = sections.append_child("section");
    SetChildInt(section, "number", 1);
    SetChildInt(section, "stages", 1);
    section = sections.append_child("section");
    SetChildInt(section, "number", 2);
    SetChildInt(section, "stages", 3);
    pugi::xml_node data = section.append_child("stagedata");
    const double p[4] = {1300, 600, 300, 100};
    for (int i = 0; i < 3; ++i) {
      const pugi::xml_node stage = data.append_child("stage");
      SetChildFloat(stage, "p1", p[i]);
      SetChildFloat(stage, "p2", p[i + 1]);
    }
    args_.Item = item_;
  }

  pugi::xml_document doc_;
  pugi::xml_node item_;
  xPageArgs args_;
};

TEST_F(StageGraphTest, ThreeStagesGiveFourBarsScaledToTheInlet) {
  const std::string graph = xDiskGraph(args_, 2).makePDFGraph();
  const std::vector<std::string> lines = Lines(graph);
  std::vector<std::vector<double>> bars;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i + 1] == "B") bars.push_back(Numbers(lines[i]));
  }
  ASSERT_EQ(bars.size(), 4u);
  // w = (340 - 5) / 4 - 5; the axis top is 135 / 130 of the inlet pressure.
  const double w = 78.75;
  const double tops[4] = {140, 10 + 600.0 / 1300 * 130, 10 + 300.0 / 1300 * 130, 20};
  for (int i = 0; i < 4; ++i) {
    const double x = 47 + i * (w + 5);
    EXPECT_NEAR(bars[i][0], x, 1e-9) << i;
    EXPECT_NEAR(bars[i][3], tops[i], 1e-9) << i;
    EXPECT_NEAR(bars[i][4], x + w, 1e-9) << i;
  }
  // Pressure ticks: k · 1350 / 10 to three figures, from 135 up to 1350.
  EXPECT_NE(graph.find("BT /F2 8.25 Tf\r\n12 21 TD\r\n(135) Tj\r\n0 13.5 TD\r\n(270) Tj"), std::string::npos);
  EXPECT_NE(graph.find("(1350) Tj\r\n0 13.5 TD\r\nET"), std::string::npos);
  EXPECT_NE(graph.find("(Pressure [kPa\\(a\\)]) Tj\r\n195 -162 TD\r\n(Stages) Tj"), std::string::npos);
  EXPECT_NE(
      graph.find(
          "BT\r\n125.75 1 TD\r\n(1) Tj\r\n83.75 0 TD\r\n(2) Tj\r\n83.75 0 TD\r\n(3) Tj\r\n83.75 0 TD\r\nET"),
      std::string::npos);

  testing::TempDir dir;
  const std::string text = PageText(graph, dir.path() / "stages.pdf");
  EXPECT_NE(text.find("Stages"), std::string::npos) << text;
  EXPECT_NE(text.find("Pressure [kPa(a)]"), std::string::npos) << text;

  pugi::xml_document svg;
  ASSERT_TRUE(svg.load_string(xDiskGraph(args_, 2).makeSVGGraph().c_str()));
  std::size_t rects = 0;
  for (const pugi::xml_node r : svg.child("svg").children("rect")) rects += r ? 1 : 0;
  EXPECT_EQ(rects, 4u);
}

TEST_F(StageGraphTest, MissingSectionAndMissingPressures) {
  EXPECT_EQ(MessageOf([&] { xDiskGraph(args_, 3).makePDFGraph(); }), "Error loading section data.");
  // Section 1 has no stage data: the chart still holds only finite numbers.
  const std::string graph = xDiskGraph(args_, 1).makePDFGraph();
  EXPECT_EQ(graph.find("nan"), std::string::npos);
  EXPECT_EQ(graph.find("inf"), std::string::npos);
  EXPECT_EQ(graph.find("NAN"), std::string::npos);
  EXPECT_EQ(graph.find("INF"), std::string::npos);
}

TEST_F(StageGraphTest, StoredIntoItsOwnSection) {
  StoreDiskGraph(args_, 2);
  const pugi::xml_node sections = item_.child("process").child("trimdesign").child("sections");
  EXPECT_FALSE(sections.first_child().child("pdfgraph"));
  EXPECT_EQ(GetChildText(sections.last_child(), "pdfgraph"), xDiskGraph(args_, 2).makePDFGraph());
  EXPECT_EQ(MessageOf([&] { StoreDiskGraph(args_, 3); }), "Error loading section data.");
}

}  // namespace
}  // namespace quenta
