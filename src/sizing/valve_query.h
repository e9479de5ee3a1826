#pragma once

#include <memory>
#include <pugixml.hpp>
#include <string>

#include "item/page_args.h"
#include "refdata/database.h"

// The catalogue queries of the results and plates pages, built from the item as those pages
// build them, and their client-side filters.
namespace quenta {

// The valve query text for the item's analysis type and stored specification (process/phase,
// vlvtype, trim, flowdirn, flowchar, prating, percentcv, factorcv, factorcc, combotrim), numbers
// written with "." whatever the user's separator.
std::string ValveQueryText(pugi::xml_node process);
// Opens it on the reference database.
std::unique_ptr<xQuery> OpenValveQuery(const xPageArgs& Args);

// Keeps the rows of one valve size (their VlvSizeDisplay text).
void SetSizeFilter(xQuery& Valves, const std::string& size);
// Keeps the rows of one size whose MaxCv text equals maxCvText exactly.
void SetSizeAndCvFilter(xQuery& Valves, const std::string& size, const std::string& maxCvText);

// The diffuser plates of every line size, in ascending line size and Cv.
inline constexpr const char* kDiffuserQueryText =
    "select * from Diffusers, Pipe_Sizes where Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize, Cv;";
// Keeps the plates of one line size (their Display text).
void SetLineSizeFilter(xQuery& Diffusers, const std::string& lineSize);

}  // namespace quenta
