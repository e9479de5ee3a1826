#include "report/pdf_actuator.h"

#include <cstdio>

#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "report/page_text.h"
#include "report/pdf_text_fit.h"

namespace quenta {
namespace {

constexpr const char* kStates[7][2] = {
    {"closed", "airfailure"}, {"closed", "opening"},  {"closed", "closing"}, {"open", "opening"},
    {"open", "closing"},      {"open", "airfailure"}, {"mid", "modulating"}};
constexpr const char* kComponents[6] = {"spring", "air", "packing", "line", "seat", "nett"};
constexpr int kSeatRow = 4;
// The horizontal steps from one state's cell to the next along a row; they add up to 0.
constexpr double kStateStep[7] = {91.68, 143.76, -91.68, 137.52, -327.12, 383.52, -337.68};

// Room for the general values: left ones end before the right labels, right ones at the margin.
constexpr double kLeftValueWidth = 330 - 185 - 4;
constexpr double kRightValueWidth = 560 - 425;
constexpr double kSpecValueWidth = 560 - 296;

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

bool AttributeTrue(pugi::xml_node node, const char* name) {
  const std::string v = node.attribute(name).value();
  return v.size() == 4 && (v[0] == 'T' || v[0] == 't') && (v[1] == 'r' || v[1] == 'R') &&
         (v[2] == 'u' || v[2] == 'U') && (v[3] == 'e' || v[3] == 'E');
}

std::string Cell(std::string_view s) {
  return "(" + PdfText(s) + ")";
}

// A number text as the document stores it, with "." for the user's decimal separator.
std::string StoredNumber(std::string text) {
  const char sep = platform::DecimalSeparator();
  if (sep != '.' && IsNumericText(text))
    for (char& c : text)
      if (c == sep) c = '.';
  return text;
}

// A picture named by the item, relative to the program folder (either slash accepted).
std::filesystem::path PicturePath(const std::string& name) {
  std::string rel = name;
  for (char& c : rel)
    if (c == '\\') c = '/';
  return platform::ProgramFolder() / rel;
}

}  // namespace

xPDFActuator::xPDFActuator(pugi::xml_node item) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node management = process.child("management");
  if (GetChildBool(management, "actuatorreset")) throw Exception("Actuator needs resizing.");
  if (GetChildBool(management, "actuatorrecalc")) throw Exception("Actuator needs recalculating.");

  const pugi::xml_node quote = item.parent().parent();
  const pugi::xml_node units = process.child("units");
  actnode = process.child("actuator");
  force = GetChildText(units, "force");
  distance = GetChildText(units, "distance");

  HeaderField[0] = "Quote Number";
  HeaderValue[0] = GetChildText(quote, "number");
  HeaderField[1] = "Tag Number";
  HeaderValue[1] = GetChildText(item, "tag");

  const auto text = [&](const char* name) { return GetChildText(actnode, name); };
  const bool balanced = GetChildBool(actnode, "balanced");
  const std::string general[13][2] = {
      {"Actuator Type", text("type")},
      {"Actuator Model", text("model")},
      {"Spring", text("spring")},
      {"Fail Action", text("failaction")},
      {"Shut off (FCI 70-2)", text("shutoff")},
      {"Seat Material", text("seatmaterial")},
      {"Packing Material", text("packingmaterial")},
      {"Valve Model", GetChildText(process.child("valve"), "name")},
      {"Flow Direction", GetChildText(process, "flowdirn")},
      {"Required Seat Loading", StoredNumber(text("seatloading")) + " " + force + "/" + distance},
      {"Shut Off Pressure", StoredNumber(text("pshutoff")) + " " + GetChildText(units, "pressuredrop")},
      {"Supply Pressure", StoredNumber(text("psupply")) + " " + GetChildText(units, "airsupply")},
      {"Pressure Balanced :", balanced ? "Yes" : "No"},
  };
  for (int i = 0; i < 13; ++i) {
    GeneralField[i] = general[i][0];
    GeneralValue[i] = general[i][1];
  }

  const auto spec = [&](const char* name, const std::string& unit) {
    return PdfSigFigs(3, GetChildFloat(actnode, name)) + " " + unit;
  };
  int row = 0;
  const auto add = [&](const char* label, const std::string& value) {
    SpecField[row] = label;
    SpecValue[row] = value;
    ++row;
  };
  add("Stem Diameter", spec("stemdia", distance));
  add("Seat Diameter", spec("seatdia", distance));
  if (balanced) add("Sleeve Diameter", spec("sleevedia", distance));
  add("Maximum Spring Force", spec("precompression", force));
  add("Spring Rate", spec("springrate", force) + "/" + distance);
  add("Packing Friction", spec("packingfriction", force));
  add("Stroke", spec("stroke", distance));

  const pugi::xml_node forces = actnode.child("forces");
  for (int s = 0; s < 7; ++s) {
    const pugi::xml_node state = forces.child(kStates[s][0]).child(kStates[s][1]);
    for (int c = 0; c < 6; ++c) {
      const pugi::xml_node component = state.child(kComponents[c]);
      xForceAttrib& f = Forces[s][c];
      f.visible = AttributeTrue(component, "visible");
      if (!f.visible) continue;
      f.direction =
          std::string_view(component.attribute("dirn").value()) == "up" ? kDirectionUp : kDirectionDown;
      const std::string_view colour = component.attribute("colour").value();
      f.colour = colour == "error" ? kColourError : colour == "solution" ? kColourSolution : kColourNormal;
      f.value = GetChildFloat(state, kComponents[c]);
    }
  }
}

std::string xPDFActuator::PageText() const {
  xPageText t;
  AddPageHeader(t, "18", "Actuator");

  t << "BT"
    << "90 675 TD"
    << "/F3 9  Tf";
  t << Cell(HeaderField[0]) + " Tj 240 0  TD" << Cell(HeaderField[1]) + " Tj -145 0  TD";
  t << "/F2 9  Tf";
  t << Cell(FitText(HeaderValue[0], xPageFont::HelveticaBold, 9, kLeftValueWidth)) + " Tj 240 0  TD";
  t << Cell(FitText(HeaderValue[1], xPageFont::HelveticaBold, 9, kRightValueWidth)) + " Tj -335 -12  TD";
  t << "0 -12  TD";
  for (int k = 0; k < 7; ++k) {
    t << "/F3 9  Tf";
    t << Cell(GeneralField[k]) + " Tj 240 0  TD";
    t << Cell(GeneralField[k + 7]) + " Tj -145 0  TD";
    t << "/F2 9  Tf";
    t << Cell(FitText(GeneralValue[k], xPageFont::HelveticaBold, 9, kLeftValueWidth)) + " Tj 240 0  TD";
    t << Cell(FitText(GeneralValue[k + 7], xPageFont::HelveticaBold, 9, kRightValueWidth)) +
             " Tj -335 -12  TD";
  }

  t << "95 -60  TD /F4 10  Tf"
    << "(Closed Position) Tj"
    << "147 0  TD (Open Position) Tj"
    << "-222 -24  TD /F4 10  Tf"
    << "/F2 9  Tf";
  t << "(Air Failure) Tj 49.2 0  TD"
    << "(Opening) Tj 93.12 0  TD"
    << "(Closing) Tj 50.64 0  TD"
    << "(Opening) Tj 93.12 0  TD"
    << "(Closing) Tj 41.04 0  TD"
    << "(Air Failure) Tj 57.6 0  TD";
  t << "(Throttling) Tj -415.44 -30.48  TD"
    << "(Spring) Tj 14.16 -19.44  TD"
    << "(Air) Tj -18.96 -19.44  TD"
    << "(Packing) Tj 13.68 -19.44  TD"
    << "(Line) Tj -32.64 -19.44  TD"
    << "(Seat Loading) Tj 8.4 -19.44  TD"
    << "(Net Forces) Tj 400 -19.44  TD"
    << "() Tj -345.04 116.64  TD"
    << "45.84 0  TD";

  for (int r = 0; r < 6; ++r) {
    for (int s = 0; s < 7; ++s) {
      const xForceAttrib& f = Forces[s][r];
      if (!f.visible) {
        t << Num(kStateStep[s]) + " 0  TD";
        continue;
      }
      t << "/F5 7  Tf";
      t << std::string(f.direction == kDirectionDown ? "(\\257) Tj " : "(\\255) Tj ") + "5" + " 0  TD";
      t << (f.colour == kColourError ? "/F4 7  Tf" : "/F3 7  Tf");
      const std::string value = PdfSigFigs(3, f.value) + " " + force;
      t << Cell(r == kSeatRow ? value + "/" + distance : value) + " Tj";
      t << Num(kStateStep[s] - 5) + " 0  TD";
    }
    t << "0 -19.44  TD";
  }

  t << "-8.88 -60  TD"
    << "/F4 14.25 Tf"
    << "115.5 -14.5  TD (Specification Data) Tj"
    << "-115.5 -14.5  TD";
  for (int i = 0; i < 9; ++i) {
    t << "/F3 9  Tf" << Cell(SpecField[i]) + " Tj 140 0  TD"
      << "/F2 9  Tf"
      << Cell(FitText(SpecValue[i], xPageFont::HelveticaBold, 9, kSpecValueWidth)) + " Tj -140 -12  TD";
  }
  t << "ET";
  t << "q"
    << "45 0 0 145 205 350 cm"
    << "/im1 Do"
    << "Q";
  t << "q"
    << "45 0 0 145 350 350 cm"
    << "/im2 Do"
    << "Q";
  t << "BT"
    << "75 30 TD"
    << "/F3 9  Tf"
    << "ET";
  return t.str();
}

void xPDFActuator::MakePDF(xPDFCombo& combo) {
  // Both pictures are read before the page goes in, so that a missing one leaves no page that
  // draws a picture the file does not hold.
  const xJPEGPicture closed = LoadJPEGPictureFile(PicturePath(GetChildText(actnode, "imgclosed")));
  const xJPEGPicture open = LoadJPEGPictureFile(PicturePath(GetChildText(actnode, "imgopen")));
  combo.AddPage(PageText());
  combo.AddImage(closed, "im1");
  combo.AddImage(open, "im2");
  AttachLogo(combo);
}

void xPDFActuator::MakePDF(const std::filesystem::path& file) {
  xPDFCombo combo(file, kReportPageWidth, kReportPageHeight);
  MakePDF(combo);
  combo.CreateFile();
}

}  // namespace quenta
