#pragma once

#include <string>
#include <string_view>

// Number text in and out. The process keeps the "C" locale; the user's decimal separator
// is put in or taken out here and nowhere else.
namespace quenta {

// Reads a floating-point number written with "." or with the user's decimal separator,
// surrounding blanks allowed. Throws ConvertError "'<text>' is not a valid floating point
// value" for anything else, including an empty text and trailing characters.
double StrToFloat(std::string_view text);

// Reads a whole number; throws ConvertError "'<text>' is not a valid integer value".
long long StrToInt(std::string_view text);

// General format with up to 15 significant digits: fixed notation from 0.00001 up to 15 integer
// digits, scientific otherwise, with a capital E and no "+" or leading zeros in the exponent:
// 373.15, 0.00001, 1E-7, 2.5E20. The separator is "." unless another is given. Infinity and
// NaN come out as "INF", "-INF" and "NAN".
std::string FloatToStr(double value, char separator = '.');

// The same with the user's decimal separator: the text form of numbers in documents and grids.
std::string FloatToUserStr(double value);

// Fixed notation with the given number of decimals and "." as separator.
std::string FloatToStrFixed(double value, int decimals);

// Scientific notation with the given number of decimals: 1.50000000000000e+02.
std::string FloatToStrExp(double value, int decimals);

}  // namespace quenta
