#include <algorithm>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "wizard/spec_sheet_page.h"

namespace quenta::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kSizeValveFirst = "Size the valve first (quenta-cli size).";

struct FieldChoice {
  std::string field;
  std::string option;
};

// Takes every --set FIELD=OPTION (or --set=FIELD=OPTION) out of the arguments, in order.
std::vector<FieldChoice> TakeChoices(std::vector<std::string>& args) {
  std::vector<FieldChoice> choices;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (args[i] == "--set") {
      if (i + 1 >= args.size()) throw CommandUsageError("--set needs FIELD=OPTION");
      value = args[++i];
    } else if (args[i].rfind("--set=", 0) == 0) {
      value = args[i].substr(6);
    } else {
      rest.push_back(args[i]);
      continue;
    }
    const auto eq = value.find('=');
    if (eq == std::string::npos || eq == 0) throw CommandUsageError("--set takes FIELD=OPTION, not " + value);
    choices.push_back({value.substr(0, eq), value.substr(eq + 1)});
  }
  args = std::move(rest);
  return choices;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Joined(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& s : list) text += (text.empty() ? "\"" : ", \"") + s + "\"";
  return text;
}

// The tab and row a field name means: "TAB:FIELD", a field label found on one tab only, or
// "item<N>" (the element name). Names are compared without regard to case.
std::pair<int, int> FindRow(const TSpecSheetPage& page, const std::string& name) {
  std::string tabName, label = name;
  if (const auto colon = name.find(':'); colon != std::string::npos) {
    tabName = Lower(name.substr(0, colon));
    label = name.substr(colon + 1);
  }
  std::vector<std::pair<int, int>> found;
  std::vector<std::string> tabsFound;
  for (int tab = 0; tab < kSpecTabCount; ++tab) {
    if (!tabName.empty() && Lower(kSpecTabCaptions[tab]) != tabName) continue;
    const auto& fields = page.Tabs[static_cast<std::size_t>(tab)];
    for (std::size_t row = 0; row < fields.size(); ++row) {
      if (Lower(fields[row].Label) == Lower(label) ||
          Lower(label) == "item" + std::to_string(fields[row].Number)) {
        found.emplace_back(tab, static_cast<int>(row) + 1);
        tabsFound.emplace_back(kSpecTabCaptions[tab]);
      }
    }
  }
  if (found.empty()) throw Exception("The spec sheet has no field \"" + name + "\".");
  if (found.size() > 1)
    throw Exception("\"" + name + "\" is a field of several tabs (" + Joined(tabsFound) +
                    "); name it as TAB:FIELD, e.g. \"" + tabsFound[0] + ":" + label + "\".");
  return found[0];
}

std::string FieldName(int tab, const xSpecField& f) {
  return std::string(kSpecTabCaptions[tab]) + ":" + f.Label;
}

// Builds the page as the wizard does on arriving at it, applies the choices in order with
// their change rules, and writes the section.
xPagePtr<TSpecSheetPage> FillItem(const ReferenceData& ref, pugi::xml_node item,
                                  const std::vector<FieldChoice>& choices, xPageManagement& management,
                                  xScriptedPageUI& ui) {
  if (GetChildText(ProcessOf(item).child("valve"), "name").empty()) throw Exception(kSizeValveFirst);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  xPagePtr<TSpecSheetPage> page = CreatePage<TSpecSheetPage>(args, ui);
  for (const FieldChoice& c : choices) {
    const auto [tab, row] = FindRow(*page, c.field);
    const xSpecField& f = *page->Field(tab, row);
    if (f.Locked && f.Options.Text() != c.option)
      throw Exception(FieldName(tab, f) + " is preset from the sizing (\"" + f.Options.Text() +
                      "\") and cannot be changed.");
    if (!f.Locked && !page->SelectOption(tab, row, c.option))
      throw Exception(FieldName(tab, f) + " has no option \"" + c.option + "\"; it offers " +
                      Joined(f.Options.Items) + ".");
  }
  page->SaveData();
  return page;
}

std::string Shown(const xSpecField& f) {
  return f.Custom ? f.CustomText + " (" + f.Options.Text() + ")" : f.Options.Text();
}

void PrintItem(std::ostream& out, int index, pugi::xml_node item, const TSpecSheetPage& page,
               const std::vector<std::string>& notes) {
  out << ItemName(index, item);
  if (const std::string d = GetChildText(item, "description"); !d.empty()) out << "  " << d;
  out << "\n";
  for (int tab = 0; tab < kSpecTabCount; ++tab) {
    std::vector<std::vector<std::string>> rows;
    for (const xSpecField& f : page.Tabs[static_cast<std::size_t>(tab)]) {
      std::string marks = f.Locked ? "locked" : "";
      if (const std::string rev = f.Revision.Text(); !rev.empty())
        marks += (marks.empty() ? "rev " : ", rev ") + rev;
      rows.push_back({f.Label, Shown(f), marks});
    }
    if (rows.empty()) continue;
    out << "  " << kSpecTabCaptions[tab] << "\n";
    rows.insert(rows.begin(), {"Field", "Option", ""});
    out << FormatTable(rows, 4, true);
  }
  out << "  Revisions: " << (page.RevisionCount == 0 ? "none" : std::to_string(page.RevisionCount)) << "\n";
  for (std::size_t k = 0; k < page.Notes.size(); ++k)
    if (!page.Notes[k].empty()) out << "  Note " << k + 1 << ": " << page.Notes[k] << "\n";
  if (!page.PercentFlash.empty()) out << "  % Flash: " << page.PercentFlash << "\n";
  for (const std::string& n : notes) out << "  Message: " << n << "\n";
}

json ItemJson(int index, pugi::xml_node item, const TSpecSheetPage& page,
              const std::vector<std::string>& notes) {
  json tabs = json::array();
  for (int tab = 0; tab < kSpecTabCount; ++tab) {
    json fields = json::array();
    for (const xSpecField& f : page.Tabs[static_cast<std::size_t>(tab)]) {
      const std::string rev = f.Revision.Text();
      fields.push_back({{"field", f.Label},
                        {"number", f.Number},
                        {"option", f.Options.Text()},
                        {"custom", f.Custom ? json(f.CustomText) : json(nullptr)},
                        {"locked", f.Locked},
                        {"options", f.Options.Items},
                        {"rev", rev.empty() ? json(nullptr) : json(rev)}});
    }
    tabs.push_back({{"tab", kSpecTabCaptions[tab]}, {"fields", fields}});
  }
  return json{{"item", index},       {"tag", GetChildText(item, "tag")},
              {"tabs", tabs},        {"revisions", page.RevisionCount},
              {"notes", page.Notes}, {"percentflash", page.PercentFlash},
              {"messages", notes}};
}

}  // namespace

int SpecSheetCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = arguments;
  const std::vector<FieldChoice> choices = TakeChoices(args);
  return RunItemCommand<json>(
      ParseItemOptions(args, "specsheet"), "an item's spec sheet could not be completed", out, err,
      [&choices](const ReferenceData& ref, int index, pugi::xml_node item, bool asJson) {
        xScriptedPageUI ui;
        xPageManagement management(item, nullptr);
        const xPagePtr<TSpecSheetPage> page = FillItem(ref, item, choices, management, ui);
        std::vector<std::string> messages;
        for (const auto& shown : ui.shown) messages.push_back(shown.text);
        return Answer<json>(
            asJson, [&] { return ItemJson(index, item, *page, messages); },
            [&](std::ostream& text) { PrintItem(text, index, item, *page, messages); });
      });
}

}  // namespace quenta::cli
