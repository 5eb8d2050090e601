// CString driven by the input: a sequence of assignments, concatenations, copies, formatting
// and reads on three strings, each checked against a std::string that holds what the string
// should hold. Besides the content, the exact-size storage rules are checked: a buffer that is
// large enough is kept, a new one is exactly as large as its text.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "common/CString.h"

namespace {
const size_t kSlots = 3;
const size_t kMaxText = 1024;
const size_t kFormatLimit = 255;
// Doubling a string by self-concatenation would otherwise reach gigabytes in a few dozen steps.
const size_t kMaxLength = 1 << 16;

// The HRESULT that f throws, or 0 when it throws none.
template <class F>
HRESULT ThrownBy(F f)
{
    try {
        f();
    } catch (HRESULT hr) {
        return hr;
    }
    return 0;
}

// A C string ends at its first NUL, and so does what CString takes from one.
std::string AsCText(const std::string& bytes) { return std::string(bytes.c_str()); }

void CheckHolds(const CString& s, const std::string& expected)
{
    FUZZ_CHECK(s.GetLength() == expected.size());
    FUZZ_CHECK(std::strcmp(s.GetString(), expected.c_str()) == 0);
    FUZZ_CHECK(s.GetCapacity() >= s.GetLength());
}

// Assignment of a text of newLength characters to a string that had oldCapacity: the buffer
// stays when the text fits, otherwise it is replaced by one of exactly the text's size.
void CheckAssignedStorage(const CString& s, size_t oldCapacity, const char* oldBuffer, size_t newLength)
{
    if (newLength <= oldCapacity) {
        FUZZ_CHECK(s.GetCapacity() == oldCapacity);
        if (oldCapacity > 0) FUZZ_CHECK(s.GetString() == oldBuffer);
    } else {
        FUZZ_CHECK(s.GetCapacity() == newLength);
    }
}

// Formats with the same literal format and arguments through CString and snprintf; CString
// keeps at most 255 characters of the output.
#define CHECK_FORMAT(target, expected, ...)                   \
    do {                                                      \
        (target).Format(__VA_ARGS__);                         \
        std::vector<char> full(8192);                         \
        std::snprintf(full.data(), full.size(), __VA_ARGS__); \
        full[kFormatLimit] = '\0';                            \
        (expected) = full.data();                             \
    } while (0)

void FormatFromInput(FuzzedDataProvider& in, CString& target, std::string& expected)
{
    const std::string a = in.ConsumeRandomLengthString(kMaxText);
    const std::string b = in.ConsumeRandomLengthString(kMaxText);
    const int number = in.ConsumeIntegral<int>();
    const unsigned other = in.ConsumeIntegral<unsigned>();
    const int width = in.ConsumeIntegralInRange<int>(-400, 400);
    switch (in.ConsumeIntegralInRange<int>(0, 8)) {
    case 0: CHECK_FORMAT(target, expected, "%s", a.c_str()); break;
    case 1: CHECK_FORMAT(target, expected, "[%s|%s]", a.c_str(), b.c_str()); break;
    case 2: CHECK_FORMAT(target, expected, "%.*s", width, a.c_str()); break;
    case 3: CHECK_FORMAT(target, expected, "%*s|", width, a.c_str()); break;
    case 4: CHECK_FORMAT(target, expected, "%d/%u/%08x", number, other, other); break;
    case 5: CHECK_FORMAT(target, expected, "%c%c%s", number & 0xFF, static_cast<int>(other & 0xFF), a.c_str()); break;
    case 6: CHECK_FORMAT(target, expected, "%%%s%%%300d", a.c_str(), number); break;
    case 7: CHECK_FORMAT(target, expected, "%lld %s", static_cast<long long>(number) * other, b.c_str()); break;
    default: CHECK_FORMAT(target, expected, "no arguments"); break;
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CString strings[kSlots];
    std::string expected[kSlots];

    while (in.remaining_bytes() > 0) {
        const size_t i = in.ConsumeIntegralInRange<size_t>(0, kSlots - 1);
        const size_t j = in.ConsumeIntegralInRange<size_t>(0, kSlots - 1);
        CString& s = strings[i];
        const size_t oldCapacity = s.GetCapacity();
        const char* const oldBuffer = s.GetString();

        switch (in.ConsumeIntegralInRange<int>(0, 10)) {
        case 0: // assign a text
        {
            const std::string text = AsCText(in.ConsumeRandomLengthString(kMaxText));
            s = text.c_str();
            expected[i] = text;
            CheckAssignedStorage(s, oldCapacity, oldBuffer, text.size());
            break;
        }
        case 1: // assign another string, or the string itself
        {
            s = strings[j];
            expected[i] = expected[j];
            CheckAssignedStorage(s, oldCapacity, oldBuffer, expected[i].size());
            break;
        }
        case 2: // assign a tail of its own text
        {
            const size_t from = in.ConsumeIntegralInRange<size_t>(0, expected[i].size());
            s = s.GetString() + from;
            expected[i] = expected[i].substr(from);
            CheckAssignedStorage(s, oldCapacity, oldBuffer, expected[i].size());
            break;
        }
        case 3: // concatenate two strings, possibly the same one twice
        {
            const size_t k = in.ConsumeIntegralInRange<size_t>(0, kSlots - 1);
            if (expected[j].size() + expected[k].size() > kMaxLength) break;
            const CString joined = strings[j] + strings[k];
            const std::string joinedText = expected[j] + expected[k];
            CheckHolds(joined, joinedText);
            FUZZ_CHECK(joined.GetCapacity() == joinedText.size());
            CheckHolds(strings[j], expected[j]);
            CheckHolds(strings[k], expected[k]);
            s = joined;
            expected[i] = joinedText;
            CheckAssignedStorage(s, oldCapacity, oldBuffer, joinedText.size());
            break;
        }
        case 4: // append a text, or a part of the string's own text
        {
            const bool own = in.ConsumeBool();
            std::string text;
            const char* right;
            if (own) {
                const size_t from = in.ConsumeIntegralInRange<size_t>(0, expected[i].size());
                right = s.GetString() + from;
                text = expected[i].substr(from);
            } else {
                text = AsCText(in.ConsumeRandomLengthString(kMaxText));
                right = text.c_str();
            }
            if (expected[i].size() + text.size() > kMaxLength) break;
            s = s + right;
            expected[i] += text;
            CheckAssignedStorage(s, oldCapacity, oldBuffer, expected[i].size());
            break;
        }
        case 5: // copies are exact-size and independent of their source
        {
            CString copy(strings[j]);
            CheckHolds(copy, expected[j]);
            FUZZ_CHECK(copy.GetCapacity() == expected[j].size());
            FUZZ_CHECK(expected[j].empty() || copy.GetString() != strings[j].GetString());
            copy = "changed";
            CheckHolds(strings[j], expected[j]);
            break;
        }
        case 6:
            FormatFromInput(in, s, expected[i]);
            CheckAssignedStorage(s, oldCapacity, oldBuffer, expected[i].size());
            break;
        case 7: // read single characters, in and out of range
        {
            const size_t index = in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, expected[i].size() + 1)
                                                  : in.ConsumeIntegral<size_t>();
            char c = 0;
            const HRESULT hr = ThrownBy([&] { c = s.GetAt(index); });
            if (index < expected[i].size())
                FUZZ_CHECK(hr == 0 && c == expected[i][index]);
            else
                FUZZ_CHECK(hr == E_INVALIDARG);
            break;
        }
        case 8: // null texts are refused and change nothing
        {
            FUZZ_CHECK(ThrownBy([&] { s = static_cast<const char*>(nullptr); }) == E_INVALIDARG);
            FUZZ_CHECK(ThrownBy([&] { CString bad(static_cast<const char*>(nullptr)); }) == E_INVALIDARG);
            FUZZ_CHECK(ThrownBy([&] { (void)(s + static_cast<const char*>(nullptr)); }) == E_INVALIDARG);
            FUZZ_CHECK(ThrownBy([&] { s.Format(nullptr); }) == E_INVALIDARG);
            FUZZ_CHECK(s.GetCapacity() == oldCapacity && s.GetString() == oldBuffer);
            break;
        }
        case 9: // self-assignment keeps content and buffer
        {
            const CString& self = s;
            s = self;
            FUZZ_CHECK(s.GetCapacity() == oldCapacity && s.GetString() == oldBuffer);
            break;
        }
        default: // self-concatenation
            if (2 * expected[i].size() > kMaxLength) break;
            s = s + s;
            expected[i] += expected[i];
            CheckAssignedStorage(s, oldCapacity, oldBuffer, expected[i].size());
            break;
        }

        for (size_t k = 0; k < kSlots; ++k)
            CheckHolds(strings[k], expected[k]);
    }
    return 0;
}
