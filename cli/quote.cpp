#include "commands.h"

namespace quenta::cli {

int QuoteCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "quenta-cli quote: not built yet\n";
  return 1;
}

}  // namespace quenta::cli
