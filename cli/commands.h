#pragma once

#include <ostream>
#include <string>
#include <vector>

// The commands of quenta-cli that read their own arguments. Each takes the program's arguments
// after its name (the command word and the global --json among them), writes its report to
// out and its failures to err, and returns the exit status (0 success, 1 failure, 3 when the
// reference database cannot be used). Arguments it cannot take throw CommandUsageError.
namespace quenta::cli {

// quenta-cli pdf FILE [-o OUT.pdf] [--details | --item N --price]
int PdfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// quenta-cli specsheet FILE --item N [--set FIELD=OPTION ...] [--save]
int SpecSheetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// quenta-cli price FILE --item N [--discount ..] [--freight ..] [--duty ..] [--markup ..]
//   [--quantity ..] [--save]
int PriceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// quenta-cli quote SUBCOMMAND ...: the user's customers, quotes and items
int QuoteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// quenta-cli demo [--appdata DIR]
int DemoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quenta::cli
