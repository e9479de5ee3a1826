#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

// Reading and writing the values of XML documents (items, quotes, the project store). Every
// reader takes the parent element, which may be a null node, and gives a missing or empty
// value a fixed default; only GetOrAddChild creates on reading. Element names are compared
// case-sensitively.
namespace quenta {

// The first child element called name; when there is none, a new one inserted at child
// position index (-1, or a position past the last child, appends). A null parent gives a
// null node.
pugi::xml_node GetOrAddChild(pugi::xml_node parent, std::string_view name, int index = -1);

// The child's text; "" for a null parent, a missing child or an empty value.
std::string GetChildText(pugi::xml_node parent, std::string_view name);
// The child's number, read with "." or the user's separator; 0 when null, missing or empty.
// A text that is not a number throws ConvertError naming the text.
double GetChildFloat(pugi::xml_node parent, std::string_view name);
// The child's whole number; 1 when null, missing or empty. A number with a fraction is rounded
// half to even; a text that is not a number throws ConvertError naming the text.
int GetChildInt(pugi::xml_node parent, std::string_view name);
// The child's Boolean ("True"/"False" in any case, or a number: non-zero is true); false when
// null, missing or empty. Any other text throws ConvertError naming the text.
bool GetChildBool(pugi::xml_node parent, std::string_view name);
// The display text of a result element: "" when missing; its attribute text when it has one;
// else its number to the significant figures of its attribute sigfigs (4 without one); "" when
// its value is empty.
std::string GetChildDisplay(pugi::xml_node parent, std::string_view name);

// The bounds of a display precision; a count outside them is taken as the nearest bound.
inline constexpr int kMinSigFigs = 1;
inline constexpr int kMaxSigFigs = 15;
// The significant figures of a sigfigs attribute's text, clamped to the bounds (also a whole
// number too long for an integer). Any other text throws ConvertError naming the text.
int SigFigsOf(std::string_view text);

// x rounded to n significant figures (halves to even) in the general number form with the
// user's separator: 1234.5678 to 3 figures is 1230, 0.0012345 is 0.00123, 9999 is 10000.
// n is clamped to kMinSigFigs..kMaxSigFigs.
std::string FormatSigFigs(int n, double x);

// True when every character is one of 0-9 , - . E (also for an empty text). Lower-case e and
// "+" never appear in the number texts the system writes, so they make it false.
bool IsNumericText(std::string_view s);

// Rewrites the decimal separator of a text element holding a number to the user's separator.
// Anything that is not such an element, and any failure, leaves the node as it was.
void LocaliseDecimalSeparator(pugi::xml_node node);
// LocaliseDecimalSeparator over node, its whole subtree and all its following siblings with
// their subtrees, in document order. Iterative: any depth or width of document is fine.
void LocaliseTree(pugi::xml_node node);

// Writers. The child is created, appended at the end, when missing; its text is replaced.
// Numbers are written in the general form with the user's separator; Booleans as True/False.
pugi::xml_node SetChildText(pugi::xml_node parent, std::string_view name, std::string_view text);
pugi::xml_node SetChildFloat(pugi::xml_node parent, std::string_view name, double value);
pugi::xml_node SetChildInt(pugi::xml_node parent, std::string_view name, long long value);
pugi::xml_node SetChildBool(pugi::xml_node parent, std::string_view name, bool value);
// A number with its display precision: the value and the attribute sigfigs.
pugi::xml_node SetChildNumber(pugi::xml_node parent, std::string_view name, double value, int sigfigs);
// The text form of a Boolean.
const char* BoolToStr(bool value);

}  // namespace quenta
