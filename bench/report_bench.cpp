// The quote report of a large quote: 100 items (the example quote's three, copied round), each
// with every report included, into one file. Counters: the file's size in bytes, its pages, the
// image objects it holds, the logo objects among them (one for the whole file) and the messages
// of reports that failed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "report/pdf_creator.h"

namespace {

namespace fs = std::filesystem;
using namespace quenta;

constexpr int kItems = 100;

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

void BM_QuoteReport100Items(benchmark::State& state) {
  const fs::path example = fs::path(__FILE__).parent_path().parent_path() / "data" / "examples" / "quote.qqf";
  pugi::xml_document doc;
  if (!doc.load_file(example.c_str())) {
    state.SkipWithError("cannot read the example quote");
    return;
  }
  pugi::xml_node items = doc.child("xml").child("quote").child("items");
  std::vector<pugi::xml_node> originals(items.children("item").begin(), items.children("item").end());
  for (std::size_t i = originals.size(); i < kItems; ++i) items.append_copy(originals[i % originals.size()]);
  for (pugi::xml_node item : items.children("item"))
    WritePDFOptions(item, kPDFValve | kPDFActuator | kPDFTrim | kPDFSpecSheet);

  const fs::path file =
      fs::temp_directory_path() / ("quenta-report-bench-" + std::to_string(getpid()) + ".pdf");
  std::size_t messages = 0;
  for (auto _ : state) {
    messages = xPDFCreator().MakeQuotePDF(doc.child("xml").child("quote"), file).size();
  }
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  state.counters["bytes"] = static_cast<double>(bytes.size());
  const auto count = bytes.find("/Count ");
  state.counters["pages"] = count == std::string::npos ? -1 : std::atoi(bytes.c_str() + count + 7);
  state.counters["images"] = Occurrences(bytes, "/Subtype /Image");
  state.counters["logos"] = Occurrences(bytes, "/Name /logo");
  state.counters["messages"] = static_cast<double>(messages);
  std::error_code ec;
  fs::remove(file, ec);
}
BENCHMARK(BM_QuoteReport100Items)->Unit(benchmark::kMillisecond);

}  // namespace
