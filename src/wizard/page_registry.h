#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wizard/frame_page.h"

// Makes wizard pages from the class names that pages give as their neighbours. Every page class
// of the wizard is listed once, in page_registry.cpp.
namespace quenta {

// A loaded page of class pageClass for the arguments. Throws Exception "Unknown page: <class>"
// for a class the wizard does not have; a failure while loading reaches the caller and leaves
// no page behind.
xPagePtr<TFramePage> MakePage(std::string_view pageClass, const xPageArgs& Arguments, xPageUI& UI);

// The page classes MakePage knows, in the wizard's order.
std::vector<std::string> RegisteredPages();

}  // namespace quenta
