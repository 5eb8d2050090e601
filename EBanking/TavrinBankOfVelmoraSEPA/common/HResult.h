#pragma once

// HRESULT and the few codes that portable code throws. On Windows they come
// from the platform headers; native builds (tests, fuzzing) get the same
// values under the same names.

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef std::int32_t HRESULT;

#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif
