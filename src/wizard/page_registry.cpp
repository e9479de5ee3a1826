#include "wizard/page_registry.h"

#include "platform/exception.h"
#include "wizard/actuator_page.h"
#include "wizard/analysis_type_page.h"
#include "wizard/plates_page.h"
#include "wizard/price_page.h"
#include "wizard/process_page.h"
#include "wizard/spec_sheet_page.h"
#include "wizard/valve_specs_page.h"

namespace quenta {
namespace {

using xFactory = xPagePtr<TFramePage> (*)(const xPageArgs&, xPageUI&);

template <class TPage>
xPagePtr<TFramePage> Make(const xPageArgs& Arguments, xPageUI& UI) {
  xPagePtr<TPage> page = CreatePage<TPage>(Arguments, UI);
  return xPagePtr<TFramePage>(page.release());
}

struct xRegistered {
  const char* name;
  xFactory make;
};

// One line per page class, in the wizard's order.
// clang-format off
constexpr xRegistered kPages[] = {
    {kAnalysisTypePage, &Make<TAnalysisTypePage>},
    {kProcessPageLiquid, &Make<TProcessPage_Liquid>},
    {kProcessPageGas, &Make<TProcessPage_Gas>},
    {kProcessPageTwoPhase, &Make<TProcessPage_TwoPhase>},
    {kValveSpecsPage, &Make<TValveSpecsPage>},
    {kPlatesPage, &Make<TPlatesPage>},
    {kActuatorPage, &Make<TActuatorPage>},
    {kSpecSheetPage, &Make<TSpecSheetPage>},
    {kPriceBuildUpPage, &Make<TPriceBuildUpPage>},
};
// clang-format on

}  // namespace

xPagePtr<TFramePage> MakePage(std::string_view pageClass, const xPageArgs& Arguments, xPageUI& UI) {
  for (const xRegistered& page : kPages)
    if (pageClass == page.name) return page.make(Arguments, UI);
  throw Exception("Unknown page: " + std::string(pageClass));
}

std::vector<std::string> RegisteredPages() {
  std::vector<std::string> names;
  for (const xRegistered& page : kPages) names.emplace_back(page.name);
  return names;
}

}  // namespace quenta
