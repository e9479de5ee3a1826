#include "commands.h"

namespace quenta::cli {

int SpecSheetCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "quenta-cli specsheet: not built yet\n";
  return 1;
}

}  // namespace quenta::cli
