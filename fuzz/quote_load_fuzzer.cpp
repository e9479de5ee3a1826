// libFuzzer target for opening quote files: any bytes either open as a quote (a document element
// with a `quote` child) or end in "Error loading the quote file." or the message of a document
// bound (depth, conditions, characters) with the document left closed; nothing else may escape.
// What an open quote saves opens again within the bounds. An open quote's header and items grid are then read as the quotes
// page reads them, and localising its numbers never writes NaN or infinity into it.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "app/quote_file.h"
#include "item/document_limits.h"
#include "item/quote_date.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace {

const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("quote_load_fuzzer_" + std::to_string(getpid()) + ".qqf");
  return file;
}

bool Contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    std::FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (!f) __builtin_trap();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // Files are read on computers with either decimal separator.
  quenta::platform::SetDecimalSeparator((size % 2) ? ',' : '.');

  quenta::xQuoteDocument quote;
  try {
    quote.Load(ScratchFile());
  } catch (const quenta::Exception& e) {
    const std::string_view m = e.what();
    const bool bound = m == quenta::kMsgNestedTooDeeply || m == quenta::kMsgTooManyConditions ||
                       m.starts_with("The text of ") || m.starts_with("The attribute ") ||
                       m.starts_with("The name of ") || m.starts_with("The markup in ");
    if (m != quenta::kMsgErrorLoadingQuote && !bound) __builtin_trap();
    if (quote.IsOpen() || quote.Document().first_child()) __builtin_trap();
    return 0;
  }
  if (!quote.IsOpen() || !quote.Quote()) __builtin_trap();

  const quenta::xQuoteHeader header = quenta::ReadQuoteHeader(quote.Quote());
  if (!header.Message.empty() && header.Message != quenta::kMsgErrorDateFormat) __builtin_trap();
  if (header.Message.empty() &&
      (header.Date < quenta::DaysFromDate({1, 1, 1}) || header.Date > quenta::DaysFromDate({9999, 12, 31})))
    __builtin_trap();

  for (const quenta::xItemRow& row : quenta::ItemRows(quote.Quote())) {
    if (!row.Item || row.Number.empty()) __builtin_trap();
    const std::string& options = row.PdfOptions;
    if (!options.empty() && !Contains(options, "Valve") && !Contains(options, "Actuator") &&
        !Contains(options, "Trim") && !Contains(options, "SpecSheet"))
      __builtin_trap();
  }

  std::ostringstream text;
  quote.Document().save(text);
  const std::string written = text.str();
  for (const char* word : {"NAN", "INF", "nan", "inf"}) {
    if (Contains(written, word) && !Contains(bytes, word)) __builtin_trap();
  }
  pugi::xml_document again;
  if (!again.load_string(written.c_str(), pugi::parse_full)) __builtin_trap();
  try {
    quenta::CheckDocument(again);
  } catch (const quenta::Exception&) {
    __builtin_trap();
  }
  return 0;
}
