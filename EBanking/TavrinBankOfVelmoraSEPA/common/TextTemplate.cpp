#include "common/TextTemplate.h"

#include <cstring>

std::string FillTemplate(const char* text, const TemplateValues& values)
{
    std::string out;
    const char* rest = text;
    while (const char* open = std::strchr(rest, '<')) {
        out.append(rest, open);
        const char* close = std::strchr(open + 1, '>');
        const std::pair<const char*, std::string>* value = nullptr;
        for (const auto& candidate : values) {
            const std::size_t length = std::strlen(candidate.first);
            if (close == open + 1 + length && std::strncmp(open + 1, candidate.first, length) == 0) value = &candidate;
        }
        if (value == nullptr) {
            out += '<';
            rest = open + 1;
            continue;
        }
        out += value->second;
        rest = close + 1;
    }
    return out + rest;
}

std::string FillTemplateLines(const char* text, const char* name, const std::vector<std::string>& values)
{
    const char* lastBreak = std::strrchr(text, '\n');
    if (lastBreak == nullptr) lastBreak = text + std::strlen(text);
    std::string out(text, lastBreak);
    const std::string line(lastBreak);
    for (const std::string& value : values)
        out += FillTemplate(line.c_str(), {{name, value}});
    return out;
}
