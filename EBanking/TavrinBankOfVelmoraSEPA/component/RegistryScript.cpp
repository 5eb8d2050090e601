#include "component/RegistryScript.h"

namespace {

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos) return std::wstring();
    const size_t last = text.find_last_not_of(L" \t\r");
    return text.substr(first, last - first + 1);
}

std::wstring Substitute(std::wstring text, const std::wstring& modulePath)
{
    static const std::wstring placeholder = L"%MODULE%";
    for (size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, at + modulePath.size()))
        text.replace(at, placeholder.size(), modulePath);
    return text;
}

bool ParseLine(const std::wstring& line, const std::wstring& modulePath, RegistryLine& parsed)
{
    const size_t space = line.find_first_of(L" \t");
    if (space == std::wstring::npos) return false;
    const std::wstring keyword = line.substr(0, space);
    std::wstring rest = Trim(line.substr(space));

    std::wstring data;
    const size_t equals = rest.find(L'=');
    if (equals != std::wstring::npos) {
        data = Trim(rest.substr(equals + 1));
        rest = Trim(rest.substr(0, equals));
        parsed.hasData = true;
        parsed.data = Substitute(data, modulePath);
    }

    if (keyword == L"key")
        parsed.kind = RegistryLineKind::Key;
    else if (keyword == L"forceremove")
        parsed.kind = RegistryLineKind::ForceRemove;
    else if (keyword == L"noremove")
        parsed.kind = RegistryLineKind::NoRemove;
    else if (keyword == L"value")
        parsed.kind = RegistryLineKind::Value;
    else
        return false;

    if (parsed.kind == RegistryLineKind::Value) {
        const size_t gap = rest.find_last_of(L" \t");
        if (gap == std::wstring::npos || !parsed.hasData) return false;
        parsed.name = rest.substr(gap + 1);
        rest = Trim(rest.substr(0, gap));
    } else if (parsed.kind == RegistryLineKind::NoRemove && parsed.hasData) {
        return false;
    }
    if (rest.empty() || rest.front() == L'\\' || rest.back() == L'\\') return false;
    parsed.path = Substitute(rest, modulePath);
    return true;
}

} // namespace

bool ParseRegistryScript(const std::wstring& text, const std::wstring& modulePath, std::vector<RegistryLine>& lines,
                         size_t* faultLine)
{
    lines.clear();
    size_t number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        ++number;
        const std::wstring line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == L';') continue;
        RegistryLine parsed{};
        if (!ParseLine(line, modulePath, parsed)) {
            if (faultLine) *faultLine = number;
            lines.clear();
            return false;
        }
        lines.push_back(parsed);
    }
    return true;
}
