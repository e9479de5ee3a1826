#include "commands.h"

namespace quenta::cli {

int PdfCommand(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "quenta-cli pdf: not built yet\n";
  return 1;
}

}  // namespace quenta::cli
