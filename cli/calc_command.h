#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "calc.h"

// The runs of quenta-cli calc: one object from standard input, or one object a line.
namespace quenta::cli {

// The answer to one input text, and whether it is a result rather than {"error": "<message>"}:
// the message is "The input is not valid JSON: " and the parser's message for a text that is
// not JSON, else the failure of the calculation.
// The input is read into input, whose storage a run of many texts reuses.
std::pair<xCalcAnswer, bool> CalcAnswer(AnswerFunction calc, std::string_view text, bool diffuser,
                                        xCalcInput& input, xCalcCurves* curves = nullptr);

// calc --lines: reads the file descriptor in to its end in large blocks and answers every line
// that is not blank on the file descriptor out, one line each, collected into large blocks;
// consecutive lines with the same curve texts share their parsed curves. Returns 0 when every
// line got a result and 1 when one or more got an error. A failure to read ends the input as
// its end would; one to write drops the rest of the answers.
int CalcLines(AnswerFunction calc, bool diffuser, int in, int out);

}  // namespace quenta::cli
