#include "common/ComError.h"

#include "common/ComPtr.h"

#include <oleauto.h>

#include <new>

namespace {

struct ErrorDescription {
    HRESULT thrown;
    unsigned long returned;
    const wchar_t* text;
};

constexpr ErrorDescription kDescriptions[] = {
#define SEPA_COM_ERROR(thrown, returned, text) {thrown, returned, text},
#include "common/ComErrorDescriptions.inc"
#undef SEPA_COM_ERROR
};

// Hosts tell the failures apart by the returned code alone: the row's position gives it, in the
// control facility, counting down from 0x800AFFFE.
constexpr bool ReturnedCodesFollowTheRows()
{
    for (unsigned long row = 0; row < sizeof kDescriptions / sizeof kDescriptions[0]; ++row) {
        if (kDescriptions[row].returned != (0x800A0000UL | (0xFFFEUL - row))) return false;
    }
    return true;
}
static_assert(ReturnedCodesFollowTheRows(), "a row of ComErrorDescriptions.inc returns another row's code");

const unsigned kControlFacility = 0x000A;

bool IsControlFacility(HRESULT hr) { return ((static_cast<unsigned long>(hr) >> 16) & 0x1FFF) == kControlFacility; }

} // namespace

HRESULT ReportHResult(HRESULT hr) noexcept
{
    if (hr == DISP_E_EXCEPTION || IsControlFacility(hr)) return hr;

    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create)) || !create) return hr;

    size_t row = 0;
    for (size_t i = 0; i < sizeof kDescriptions / sizeof kDescriptions[0]; ++i) {
        if (kDescriptions[i].thrown == hr) {
            row = i;
            break;
        }
    }

    // SetDescription copies the text; the cast only drops the constness of a literal.
    create->SetDescription(const_cast<LPOLESTR>(kDescriptions[row].text));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) SetErrorInfo(0, info);

    return static_cast<HRESULT>(kDescriptions[row].returned);
}

HRESULT ResultFromCaughtException(Boundary boundary) noexcept
{
    const bool method = boundary == Boundary::Method;
    try {
        throw;
    } catch (HRESULT hr) {
        if (method) return ReportHResult(hr);
        // A success code thrown by mistake must not read as a created object.
        return FAILED(hr) ? hr : E_UNEXPECTED;
    } catch (const _com_error&) {
        // The failed call has left its own error information, if any.
        return method ? DISP_E_EXCEPTION : E_UNEXPECTED;
    } catch (const std::bad_alloc&) {
        return method ? E_UNEXPECTED : E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
