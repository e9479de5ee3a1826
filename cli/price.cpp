#include "commands.h"

namespace quenta::cli {

int PriceCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "quenta-cli price: not built yet\n";
  return 1;
}

}  // namespace quenta::cli
