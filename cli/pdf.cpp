#include <algorithm>
#include <exception>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/output_guard.h"
#include "commands.h"
#include "item/document_limits.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "report/pdf_creator.h"
#include "report/pdf_details.h"
#include "report/pdf_price.h"

namespace quenta::cli {

namespace fs = std::filesystem;

namespace {

// The quote of a quote file (root <xml><quote>, or <quote> itself), localised as every opened
// quote is. A quote without items is fine here: its report is a file without pages.
std::optional<std::string> LoadQuote(const std::string& name, pugi::xml_document& doc,
                                     pugi::xml_node& quote) {
  std::error_code ec;
  if (!fs::is_regular_file(name, ec))
    return "Cannot open " + name + ": " + (fs::exists(name, ec) ? "not a file." : "no such file.");
  pugi::xml_parse_result parsed;
  try {
    parsed = LoadCheckedDocument(name, doc);
  } catch (const Exception& e) {
    return name + ": " + e.what();
  }
  if (!parsed)
    return name + " is not an XML document: " + parsed.description() + " at byte " +
           std::to_string(parsed.offset) + ".";
  const pugi::xml_node root = doc.document_element();
  quote = std::string_view(root.name()) == "quote" ? root : root.child("quote");
  if (!quote) return name + " is not a quote file.";
  LocaliseTree(doc.first_child());
  return std::nullopt;
}

int PriceReport(const ItemOptions& o, const fs::path& output, std::ostream& out, std::ostream& err) {
  ItemFile loaded;
  if (const std::optional<std::string> problem = LoadItemFile(o.file, o.item, loaded)) {
    err << *problem << '\n';
    return kExitFailure;
  }
  try {
    xPDFPriceBuildUp(loaded.items[static_cast<std::size_t>(*o.item - 1)]).MakePDF(output);
  } catch (const std::exception& e) {
    err << ItemName(*o.item, loaded.items[static_cast<std::size_t>(*o.item - 1)]) << ": " << e.what() << '\n';
    return kExitFailure;
  }
  if (o.json)
    out << nlohmann::json{{"file", output.string()}, {"messages", nlohmann::json::array()}}.dump(2) << '\n';
  else
    out << "Wrote " << output.string() << '\n';
  return 0;
}

}  // namespace

int PdfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> rest;
  bool price = false;
  bool details = false;
  bool force = false;
  for (const std::string& a : args) {
    if (a == "--price")
      price = true;
    else if (a == "--details")
      details = true;
    else if (a == "--force")
      force = true;
    else
      rest.push_back(a);
  }
  const ItemOptions o = ParseItemOptions(rest, "pdf", {"-o"});
  if (o.save) throw CommandUsageError("pdf does not take the option --save");
  if (price != o.item.has_value()) throw CommandUsageError("pdf takes --item N together with --price");
  if (price && details) throw CommandUsageError("pdf takes --details without --price");

  fs::path output;
  if (const auto given = o.values.find("-o"); given != o.values.end()) {
    if (given->second.empty()) throw CommandUsageError("-o needs a file name");
    output = given->second;
  } else if (price) {
    output = fs::path(o.file).replace_extension().string() + "-item" + std::to_string(*o.item) + "-price.pdf";
  } else {
    output = fs::path(o.file).replace_extension(".pdf");
  }
  if (SameFile(output, o.file)) {
    err << "The report would be written over " << o.file << "; name another file with -o.\n";
    return kExitFailure;
  }
  if (const std::optional<std::string> refused =
          RefusedOutput(CheckOutputFile(platform::AppDataFolder(), output), output, force)) {
    err << *refused << '\n';
    return kExitFailure;
  }
  if (price) return PriceReport(o, output, out, err);

  pugi::xml_document doc;
  pugi::xml_node quote;
  if (const std::optional<std::string> problem = LoadQuote(o.file, doc, quote)) {
    err << *problem << '\n';
    return kExitFailure;
  }
  // The run's own copy of the quote asks every item for its details; the file stays as it is.
  if (details)
    for (pugi::xml_node item : quote.child("items").children("item"))
      if (const pugi::xml_node options = item.child("pdfoptions"))
        SetChildBool(options, kDetailsOption, true);
  std::vector<std::string> messages;
  try {
    messages = xPDFCreator().MakeQuotePDF(quote, output);
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return kExitFailure;
  }
  for (const std::string& m : messages) err << m << '\n';
  if (o.json)
    out << nlohmann::json{{"file", output.string()}, {"messages", messages}}.dump(2) << '\n';
  else
    out << "Wrote " << output.string() << '\n';
  return messages.empty() ? 0 : kExitFailure;
}

}  // namespace quenta::cli
