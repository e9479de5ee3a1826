// The characteristic editor and viewer without a window: turning points read from the item's
// curve, their limits while typed and dragged, the linked cavitation-control boxes, the
// percentage, saving through the characteristic save step, and saving the graph as a picture.
#include "wizard/characteristic_editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "refdata/database.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;

// Straight sections turning at (30 %, 8 %) and (60 %, 35 %), as the editor writes them.
constexpr const char* kThreeSections =
    "0\\0\\0\\0\\0.3\\0.08\\0.3\\0.08\\0.3\\0.08\\0.3\\0.08\\0.6\\0.35\\0.6\\0.35\\"
    "0.6\\0.35\\0.6\\0.35\\1\\1\\1\\1\\";
constexpr const char* kOneSection = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";

class CharacteristicEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = doc_.append_child("item");
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
    management_->SetValveRecalc(false);
    management_->SetTrimReset(false);
  }

  pugi::xml_node process() { return ProcessOf(item_); }

  std::unique_ptr<TfrmCharEdit> Editor(const char* curve, int combotrim = 0, double percentcv = 100) {
    SetChildText(process(), "valvechar", curve);
    SetChildInt(process(), "combotrim", combotrim);
    SetChildFloat(process(), "percentcv", percentcv);
    return std::make_unique<TfrmCharEdit>(xPageArgs{nullptr, item_, {}, management_.get(), false}, ui_);
  }

  static std::pair<double, double> At(const TfrmCharEdit& e, int i) {
    return {e.Points.at(static_cast<std::size_t>(i)).x.Value(),
            e.Points.at(static_cast<std::size_t>(i)).y.Value()};
  }
  static bool Visible(const TfrmCharEdit& e, const char* id) { return e.Control(id)->visible; }

  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};

TEST_F(CharacteristicEditorTest, TurningPointsComeFromTheItemsCurve) {
  const auto e = Editor(kThreeSections, 2, 80);
  EXPECT_EQ(e->Caption(), "Characteristic");
  ASSERT_EQ(e->Points.size(), 2u);
  EXPECT_NEAR(At(*e, 0).first, 30, 1e-9);
  EXPECT_NEAR(At(*e, 0).second, 8, 1e-9);
  EXPECT_NEAR(At(*e, 1).first, 60, 1e-9);
  EXPECT_NEAR(At(*e, 1).second, 35, 1e-9);
  EXPECT_EQ(e->Sections, 3);
  EXPECT_TRUE(e->chkCC1);
  EXPECT_FALSE(e->chkCC2);
  EXPECT_TRUE(Visible(*e, "chkCC1"));
  EXPECT_TRUE(Visible(*e, "chkCC2"));
  EXPECT_EQ(e->PercentCv.Value(), 80);

  const xGrid g = e->Grid("gridPoints");
  EXPECT_EQ(g.rowHeadings, (std::vector<std::string>{"TP1", "TP2"}));
  EXPECT_EQ(g.colHeadings, (std::vector<std::string>{"%Open", "%Cv"}));
  EXPECT_EQ(g.At(1, 1).text, "35");
  EXPECT_TRUE(g.At(1, 1).editable);
  const xChart chart = e->Chart("chart");
  EXPECT_EQ(chart.xTitle, "% Open");
  EXPECT_EQ(chart.yTitle, "% Cv");
  ASSERT_EQ(chart.series.size(), 3u);
  EXPECT_EQ(chart.series[0].points.front(), (std::pair<double, double>{0, 0}));
  EXPECT_EQ(chart.series[0].points.back(), (std::pair<double, double>{100, 100}));
  EXPECT_EQ(chart.series[2].name, "TP2");

  // Two sections: only the first box; combotrim 3 ticks the second.
  const auto two = Editor("0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\", 3);
  EXPECT_TRUE(Visible(*two, "chkCC1"));
  EXPECT_FALSE(Visible(*two, "chkCC2"));
  EXPECT_TRUE(two->chkCC2);
}

TEST_F(CharacteristicEditorTest, OneSectionHasNoPointsAndSavesTheStraightLine) {
  const auto e = Editor(kOneSection, 0, 55);
  EXPECT_TRUE(e->Points.empty());
  EXPECT_FALSE(Visible(*e, "chkCC1"));
  EXPECT_FALSE(Visible(*e, "chkCC2"));
  EXPECT_FALSE(Visible(*e, "gridPoints"));
  EXPECT_TRUE(e->Ok());
  EXPECT_EQ(GetChildText(process(), "valvechar"), "0\\0\\0\\0\\1\\1\\1\\1\\");
  EXPECT_EQ(GetChildFloat(process(), "factorcv"), 1);
  EXPECT_EQ(GetChildFloat(process(), "percentcv"), 55);
}

TEST_F(CharacteristicEditorTest, ItemWithoutCharacteristicCannotBeEdited) {
  EXPECT_EQ(MessageOf([&] {
              TfrmCharEdit e(xPageArgs{nullptr, item_, {}, management_.get(), false}, ui_);
            }),
            kErrorFindingCharacteristic);
}

TEST_F(CharacteristicEditorTest, DraggingRoundsToATenthAndStaysBetweenTheNeighbours) {
  struct Case {
    int index;
    double x, y;
    double wantX, wantY;
  };
  const Case cases[] = {
      {0, 42.04, 20.06, 42, 20.1},  // rounded to 0.1 %
      {1, 10, 40, 30, 40},          // TP2 left of TP1 stops at TP1's x
      {0, 45, 50, 45, 35},          // TP1 above TP2's Cv stops at TP2's
      {0, -5, -1, 0, 0},            // below the square
      {1, 130, 120, 100, 100},      // beyond it
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.index);
    const auto e = Editor(kThreeSections);
    e->DragPoint(t.index, t.x, t.y);
    EXPECT_NEAR(At(*e, t.index).first, t.wantX, 1e-9);
    EXPECT_NEAR(At(*e, t.index).second, t.wantY, 1e-9);
  }
  // Out-of-range points and non-finite coordinates change nothing.
  const auto e = Editor(kThreeSections);
  e->DragPoint(2, 50, 50);
  e->DragPoint(-1, 50, 50);
  e->DragPoint(0, std::nan(""), 10);
  EXPECT_NEAR(At(*e, 0).first, 30, 1e-9);
  EXPECT_NEAR(At(*e, 1).first, 60, 1e-9);
}

TEST_F(CharacteristicEditorTest, ADragFollowsThePointerFromWhereThePointWas) {
  const auto e = Editor(kThreeSections);
  EXPECT_EQ(e->PointNear(31, 9, 3, 3), 0);
  EXPECT_EQ(e->PointNear(45, 20, 3, 3), -1);
  // Pressed 2 % beside TP2, moved 5 % left and 3 % up: the point moves by the same amount.
  e->BeginDrag(e->PointNear(62, 35, 3, 3), 62, 35);
  e->DragTo(57, 38);
  EXPECT_NEAR(At(*e, 1).first, 55, 1e-9);
  EXPECT_NEAR(At(*e, 1).second, 38, 1e-9);
  e->EndDrag();
  e->DragTo(90, 90);  // no longer pressed
  EXPECT_NEAR(At(*e, 1).first, 55, 1e-9);
  EXPECT_FALSE(e->move);
}

TEST_F(CharacteristicEditorTest, TypedValuesKeepTheirLimits) {
  const auto e = Editor(kThreeSections);
  struct Case {
    int row, col;
    const char* text;
    double wantX, wantY;  // of that row afterwards
  };
  const Case cases[] = {
      {0, 0, "25", 25, 8},    {0, 1, "abc", 25, 8},
      {0, 1, "inf", 25, 8},   {1, 0, "20", 25, 35},  // not left of TP1
      {1, 1, "150", 25, 100},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.text);
    e->gridPointsSetEditText(t.row, t.col, t.text);
    EXPECT_NEAR(At(*e, t.row).first, t.wantX, 1e-9);
    EXPECT_NEAR(At(*e, t.row).second, t.wantY, 1e-9);
  }

  struct Percent {
    const char* text;
    double want;
  };
  for (const Percent& p :
       {Percent{"5", 10}, Percent{"150", 100}, Percent{"55", 55}, Percent{"x", 55}, Percent{"nan", 55}}) {
    SCOPED_TRACE(p.text);
    e->gridPercentCvSetEditText(p.text);
    EXPECT_EQ(e->PercentCv.Value(), p.want);
  }
}

TEST_F(CharacteristicEditorTest, TheCavitationControlBoxesAreLinked) {
  struct Step {
    int box;  // 1 or 2
    bool ticked;
    bool want1, want2;
  };
  const std::vector<Step> steps = {
      {1, true, true, true},     // the first ticks the second
      {2, false, false, false},  // unticking the second clears both
      {2, true, false, true},   {1, false, false, true}, {1, true, true, true}, {1, false, false, true},
  };
  const auto e = Editor(kThreeSections);
  for (const Step& s : steps) {
    if (s.box == 1) {
      e->chkCC1Click(s.ticked);
    } else {
      e->chkCC2Click(s.ticked);
    }
    EXPECT_EQ(e->chkCC1, s.want1);
    EXPECT_EQ(e->chkCC2, s.want2);
  }
  // Unticking the second with the first ticked leaves no cavitation-control section.
  e->chkCC1Click(true);
  e->chkCC2Click(false);
  e->Ok();
  EXPECT_EQ(GetChildInt(process(), "combotrim"), 0);
}

TEST_F(CharacteristicEditorTest, OkSavesThroughTheSaveStepAndCancelWritesNothing) {
  // One turning point at (40 %, 10 %): sections of slope 0.25 and 1.5; cavitation control from
  // TP1 makes factorcv 1 / 0.25 and factorcc 1 / 1.5.
  const auto one = Editor("0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\", 0, 90);
  ui_.dialogScripts.push_back([](TPageDialog& d) {
    auto& editor = dynamic_cast<TfrmCharEdit&>(d);
    editor.chkCC1Click(true);
    editor.Cancel();
    return false;
  });
  EXPECT_FALSE(ui_.RunDialog(*one));
  EXPECT_EQ(GetChildInt(process(), "combotrim"), 0);
  EXPECT_EQ(GetChildText(process(), "factorcv"), "");
  EXPECT_FALSE(management_->ValveRecalc());

  ui_.dialogScripts.push_back([](TPageDialog& d) { return d.Ok(); });
  EXPECT_TRUE(ui_.RunDialog(*one));
  EXPECT_EQ(GetChildText(process(), "valvechar"),
            "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\");
  EXPECT_EQ(GetChildFloat(process(), "factorcv"), 4);
  EXPECT_NEAR(GetChildFloat(process(), "factorcc"), 1 / 1.5, 1e-12);
  EXPECT_EQ(GetChildInt(process(), "combotrim"), 2);
  EXPECT_EQ(GetChildFloat(process(), "percentcv"), 90);
  EXPECT_TRUE(management_->ValveRecalc());
  EXPECT_TRUE(management_->TrimReset());
}

class CharacteristicViewerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { db_ = OpenReferenceDatabase().release(); }
  static void TearDownTestSuite() { delete db_; }

  void SetUp() override {
    item_ = doc_.append_child("item");
    SetChildFloat(GetOrAddChild(ProcessOf(item_), "valve"), "vc", 100);
    folder_ = std::filesystem::temp_directory_path() / ("quenta-viewer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::unique_ptr<TfrmCharacteristic> Viewer() {
    const xQuery valve(*db_, "select * from Valves where Characteristic<>'<user defined>' limit 1;");
    return std::make_unique<TfrmCharacteristic>(
        xCharacteristic(xPageArgs{db_, item_, {}, nullptr, false}, valve), ui_);
  }

  static std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  static xConnection* db_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::filesystem::path folder_;
  xScriptedPageUI ui_;
};

xConnection* CharacteristicViewerTest::db_ = nullptr;

TEST_F(CharacteristicViewerTest, SaveImageWritesTheGraphAsSvg) {
  const auto v = Viewer();
  EXPECT_EQ(v->Control("Image")->text, v->Svg());
  ui_.fileReplies.push_back(folder_ / "graph.svg");
  ui_.fileReplies.push_back(folder_ / "bare");  // the extension is added
  EXPECT_TRUE(v->SaveImageClick());
  EXPECT_TRUE(v->SaveImageClick());
  EXPECT_EQ(Read(folder_ / "graph.svg"), v->Svg());
  EXPECT_EQ(Read(folder_ / "bare.svg"), v->Svg());
  EXPECT_EQ(ui_.fileCaptions, (std::vector<std::string>{"Save Image", "Save Image"}));
  EXPECT_TRUE(ui_.shown.empty());

  // Cancelled: nothing written, nothing said.
  EXPECT_FALSE(v->SaveImageClick());
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(CharacteristicViewerTest, AFileThatCannotBeWrittenIsReported) {
  const auto v = Viewer();
  ui_.fileReplies.push_back(folder_ / "no such folder" / "graph.svg");
  EXPECT_FALSE(v->SaveImageClick());
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_EQ(ui_.shown[0].text.rfind("Error saving image: ", 0), 0u) << ui_.shown[0].text;
  EXPECT_FALSE(std::filesystem::exists(folder_ / "no such folder" / "graph.svg"));
}

}  // namespace
}  // namespace quenta
