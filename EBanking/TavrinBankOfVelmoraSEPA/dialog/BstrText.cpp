#include "dialog/BstrText.h"

#include <climits>
#include <new>

std::string NarrowFromBstr(BSTR text)
{
    const UINT length = SysStringLen(text);
    if (length == 0 || length > INT_MAX)
        return std::string();

    const int wideLength = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideLength, nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideLength, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

BSTR AllocBstrFromNarrow(const std::string& text)
{
    if (text.size() > INT_MAX)
        throw std::bad_alloc();
    const int narrowLength = static_cast<int>(text.size());
    const int size = narrowLength == 0
        ? 0
        : MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), narrowLength, nullptr, 0);

    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(size > 0 ? size : 0));
    if (!wide)
        throw std::bad_alloc();
    if (size > 0)
        MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), narrowLength, wide, size);
    return wide;
}
