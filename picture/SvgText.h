// Text for the status-bar picture: XML escaping and a width estimate for
// laying out text items without a font engine.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// The text as XML character data or attribute value: & < > " ' escaped,
// invalid UTF-8 and control characters other than tab replaced by U+FFFD.
std::string xmlEscaped(std::string_view text);

// Width in points of the text set in the picture's font at `fontSize`, bold
// or not (an estimate by kind of character, on the wide side).
double estimatedTextWidth(std::string_view text, double fontSize, bool bold = false);

// A coordinate as SVG text: at most two decimals, no trailing zeros ("12.5", "3").
std::string svgNumber(double value);

}  // namespace zv
