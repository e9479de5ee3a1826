#include "app/output_guard.h"

#include "app/project_store.h"
#include "app/quote_items.h"
#include "item/xml_utils.h"
#include "platform/atomic_file.h"
#include "platform/platform.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

constexpr const char* kReferenceDatabaseName = "quenta.db";

// The path with its links followed and "." and ".." gone, as far as it exists.
fs::path Canonical(const fs::path& p) {
  std::error_code ec;
  fs::path resolved = fs::absolute(p, ec);
  if (ec) resolved = p;
  try {
    resolved = ResolveLinks(resolved);
  } catch (...) {
    // A loop of links names no file; compare it as it is written.
  }
  const fs::path canonical = fs::weakly_canonical(resolved, ec);
  return ec ? resolved.lexically_normal() : canonical;
}

// A store's file for a quote: absolute, or relative to the app-data folder.
fs::path StoreFile(const fs::path& appdata, const std::string& text) {
  const fs::path file = text;
  return file.is_absolute() ? file : appdata / file;
}

xOutputVerdict Refuse(const std::string& what, const fs::path& target) {
  return {xOutputCheck::Protected, "Refusing to overwrite " + what + " " + target.string() + "."};
}

}  // namespace

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    const bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  return Canonical(a) == Canonical(b);
}

xOutputVerdict CheckOutputFile(const fs::path& appdata, pugi::xml_node store, const fs::path& target,
                               const std::vector<fs::path>& inputs) {
  for (const fs::path& input : inputs)
    if (SameFile(target, input)) return Refuse("the input file", target);
  if (SameFile(target, appdata / kStoreFileName)) return Refuse("the project store", target);
  for (const fs::path& item : {appdata / kDefaultItemFileName, platform::AppDataFolder() / kDefaultItemFileName,
                               platform::ProgramDataFile(kDefaultItemFileName)})
    if (SameFile(target, item)) return Refuse("the default item", target);
  if (SameFile(target, platform::ProgramDataFile(kReferenceDatabaseName)))
    return Refuse("the reference database", target);
  for (pugi::xml_node customer = store.child("customer"); customer; customer = customer.next_sibling("customer"))
    for (pugi::xml_node quote = customer.child("quote"); quote; quote = quote.next_sibling("quote"))
      if (SameFile(target, StoreFile(appdata, GetChildText(quote, "file"))))
        return {xOutputCheck::Protected, "Refusing to overwrite the quote file " + target.string() + " of quote " +
                                             GetChildText(quote, "number") + "."};
  std::error_code ec;
  // A dangling link counts as there: replacing it would write wherever it points.
  if (fs::exists(fs::symlink_status(target, ec))) return {xOutputCheck::Exists, ""};
  return {};
}

xOutputVerdict CheckOutputFile(const fs::path& appdata, const fs::path& target, const std::vector<fs::path>& inputs) {
  pugi::xml_document doc;
  // No store, or one that is not XML, references no quote; the other files are still guarded.
  doc.load_file((appdata / kStoreFileName).c_str());
  return CheckOutputFile(appdata, doc.document_element(), target, inputs);
}

std::optional<std::string> RefusedOutput(const xOutputVerdict& verdict, const fs::path& target, bool force) {
  if (verdict.Check == xOutputCheck::Protected) return verdict.Message;
  if (verdict.Check == xOutputCheck::Exists && !force) return target.string() + " exists; use --force to replace it.";
  return std::nullopt;
}

}  // namespace quenta
