#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item_file.h"

// The demo quote: the whole job of the product from a fresh machine in one command.
namespace quenta::cli {

struct DemoItemSummary {
  std::string line;                // valve, Cv, travel, noise, warnings
  std::vector<std::string> notes;  // what the actuator page would have shown
};

struct DemoResult {
  std::filesystem::path quoteFile;
  std::filesystem::path pdfFile;
  std::vector<DemoItemSummary> items;
  std::vector<std::string> messages;  // the quote report's collected messages
};

// Makes (or replaces) the customer "Demo Customer" with the quote "DEMO-001" of three engineered
// items in the app-data folder appdata, and writes the quote's PDF into its pdf folder. Throws
// Exception naming the item and step that failed.
DemoResult RunDemo(const std::filesystem::path& appdata);
DemoResult RunDemo(const std::filesystem::path& appdata, const ReferenceData& ref);

// The wizard's last two pages for an item: the spec sheet with its presets, saved, and the price
// build-up from it with every total stored.
void CompleteSpecSheetAndPrice(const ReferenceData& ref, pugi::xml_node item);

// The quote report of every item into file; returns the collected messages.
std::vector<std::string> MakeDemoPdf(pugi::xml_node quote, const std::filesystem::path& file);

}  // namespace quenta::cli
