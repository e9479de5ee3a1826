// The demo's last wizard pages and its report, kept apart from the engineering steps.
#include <string>

#include "demo.h"
#include "item/item_document.h"
#include "report/pdf_creator.h"
#include "wizard/frame_page.h"
#include "wizard/page_ui.h"
#include "wizard/price_page.h"
#include "wizard/spec_sheet_page.h"

namespace quenta::cli {

void CompleteSpecSheetAndPrice(const ReferenceData& ref, pugi::xml_node item) {
  xPageManagement management(item, nullptr);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  // Nothing is asked on the way; a page that wants an answer gets the first button.
  xScriptedPageUI ui;
  CreatePage<TSpecSheetPage>(args, ui)->SaveData();
  CreatePage<TPriceBuildUpPage>(args, ui)->SaveData();
}

std::vector<std::string> MakeDemoPdf(pugi::xml_node quote, const std::filesystem::path& file) {
  return xPDFCreator().MakeQuotePDF(quote, file);
}

}  // namespace quenta::cli
