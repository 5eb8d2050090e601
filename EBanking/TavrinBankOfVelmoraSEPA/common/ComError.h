#pragma once
// How failures leave the component's COM methods. Inside, code throws: an HRESULT for a failed
// precondition or call, a _com_error from the COM support wrappers, or a standard exception.
// Every COM method runs its body through ComMethod, which turns whatever was thrown into the
// method's HRESULT and, for a thrown HRESULT, into error information the caller can read.
#include <windows.h>
#include <comdef.h>

// Turns a thrown HRESULT into the control-facility code the component returns, and installs a
// description of it as the thread's error information. Never throws.
HRESULT ReportHResult(HRESULT hr) noexcept;

template <class Body>
HRESULT ComMethod(Body&& body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (const _com_error&) {
        return DISP_E_EXCEPTION;
    } catch (HRESULT hr) {
        return ReportHResult(hr);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Throws E_INVALIDARG when a pointer argument the method needs is missing.
template <class T>
void RequireArgument(T* pointer)
{
    if (!pointer) throw static_cast<HRESULT>(E_INVALIDARG);
}

// An interface or string out-parameter: throws E_INVALIDARG when it is missing, and otherwise
// empties it first, so that a failure further on leaves the caller nothing to release.
template <class T>
void RequireOut(T** out)
{
    RequireArgument(out);
    *out = nullptr;
}

// Error information for the callers of one interface: a class derives from it with its own
// interface and answers that the methods of no other interface leave error information.
template <class Interface>
class SupportErrorInfoFor : public ISupportErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override
    {
        return riid == __uuidof(Interface) ? S_OK : S_FALSE;
    }
};

// Throws the HRESULT of a failed call.
inline void ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr)) throw hr;
}
