#pragma once
// Texts with named blanks, such as "The <path> file already exists.": each <name> stands for a
// value known only when the text is shown.

#include <string>
#include <utility>
#include <vector>

using TemplateValues = std::vector<std::pair<const char*, std::string>>;

// The text with each <name> of values replaced by its value. A value is not searched for
// blanks itself; a <...> that names no value stays as it is.
std::string FillTemplate(const char* text, const TemplateValues& values);

// The text up to its last line break, then its last line once for each value, with the value
// in place of <name>: a heading and one line per item.
std::string FillTemplateLines(const char* text, const char* name, const std::vector<std::string>& values);
