#pragma once

#include <string>
#include <string_view>
#include <vector>

// Fitting free text (tags, notes, descriptions) into the columns of report pages, so that a long
// value is shortened instead of running over the column beside it.
namespace quenta {

// The standard fonts whose widths are known, by their page resource names.
enum class xPageFont { TimesRoman = 0, TimesBold = 1, HelveticaBold = 2, Helvetica = 3 };

// The width in points of text (UTF-8, drawn as Windows-1252) in font at size.
double TextWidth(std::string_view text, xPageFont font, double size);

// text when it fits in width; otherwise its longest start that fits together with "...", cut
// between characters. An empty text when not even "..." fits.
std::string FitText(std::string_view text, xPageFont font, double size, double width);

// text broken at spaces into lines that each fit in width, at most maxLines of them: a word
// wider than the column is cut with "...", and so is the last line when text needs more lines
// than it may have. No line for an empty text.
std::vector<std::string> WrapText(std::string_view text, xPageFont font, double size, double width,
                                  std::size_t maxLines);

}  // namespace quenta
