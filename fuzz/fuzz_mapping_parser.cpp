// The mapping table reader on arbitrary bytes, compared with a reading built independently:
// codes as the C library's strtoul reads them when unsigned long has 32 bits, lines as a plain
// split at the first comma and at the line end. The same bytes also go through an override
// file, which must read as the text with CR LF pairs made LF and cut at a Ctrl+Z.

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "FuzzCheck.h"
#include "validation/CharacterMap.h"

namespace {
std::string g_overridePath;

// strtoul(field + 2, nullptr, 16) with a 32-bit unsigned long, low 16 bits. The C library here
// has a 64-bit one: a magnitude beyond 32 bits saturates to all bits set on 32 bits, whatever
// its sign, and a negative one is negated in 32 bits.
std::uint16_t StrtoulCode(const std::string& field)
{
    if (field.size() < 2) return 0;
    const char* digits = field.c_str() + 2;
    const char* p = digits;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const bool negative = *p == '-';
    errno = 0;
    const unsigned long long value = std::strtoull(digits, nullptr, 16);
    if (errno == ERANGE) return 0xFFFF;
    const unsigned long long magnitude = negative ? 0ull - value : value;
    if (magnitude > 0xFFFFFFFFull) return 0xFFFF;
    const std::uint32_t low = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::uint16_t>((negative ? 0u - low : low) & 0xFFFFu);
}

// "key,replacement" lines: the key runs to the next comma (across line ends), the replacement
// to the next LF or the end. Text after the last comma that has no comma of its own is no key.
MappingTable SplitLines(const std::string& text, size_t& lines)
{
    MappingTable table;
    lines = 0;
    size_t pos = 0;
    for (;;) {
        const size_t comma = text.find(',', pos);
        if (comma == std::string::npos) break;
        const std::string key = text.substr(pos, comma - pos);
        const size_t lineEnd = text.find('\n', comma + 1);
        const size_t end = lineEnd == std::string::npos ? text.size() : lineEnd;
        const std::string replacement = text.substr(comma + 1, end - comma - 1);
        ++lines;
        if (key.size() >= 2 && replacement.size() >= 2) table[StrtoulCode(key)] = StrtoulCode(replacement);
        if (lineEnd == std::string::npos) break;
        pos = lineEnd + 1;
    }
    return table;
}

std::string AsWindowsTextMode(std::string bytes)
{
    const size_t eof = bytes.find('\x1A');
    if (eof != std::string::npos) bytes.resize(eof);
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    return text;
}

std::istringstream NoEmbeddedTable() { throw std::logic_error("the override file was readable"); }

void RemoveOverrideFile() { std::remove(g_overridePath.c_str()); }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_mappings_XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    close(fd);
    g_overridePath = path;
    std::atexit(RemoveOverrideFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    FUZZ_CHECK(ParseMappingCode(bytes) == StrtoulCode(bytes));

    size_t lines = 0;
    const MappingTable expected = SplitLines(bytes, lines);
    std::istringstream in(bytes);
    MappingTable table;
    ReadMappingLines(in, table);
    FUZZ_CHECK(table == expected);
    FUZZ_CHECK(table.size() <= lines);

    // Lines add to what a table holds and a later line wins.
    MappingTable twice = table;
    std::istringstream again(bytes);
    ReadMappingLines(again, twice);
    FUZZ_CHECK(twice == table);

    std::FILE* file = std::fopen(g_overridePath.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    FUZZ_CHECK(std::fclose(file) == 0);
    size_t fileLines = 0;
    const CCharacterMap map(g_overridePath.c_str(), &NoEmbeddedTable);
    FUZZ_CHECK(map.Table() == SplitLines(AsWindowsTextMode(bytes), fileLines));
    return 0;
}
