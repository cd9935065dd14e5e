#pragma once
// How an event text falls into pieces: at every vertical bar outside double
// quotes and outside braces (brace depth 0 or less), unless the bar is the
// text's last character, which stays in the last piece. Quotes and braces
// are counted across the whole text; the bars that cut are removed. The
// text is cut at kEventTextLimit characters first.
#include <string>
#include <vector>

std::vector<std::string> SplitEventText(const std::string& text);
