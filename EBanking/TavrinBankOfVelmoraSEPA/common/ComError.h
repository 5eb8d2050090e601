#pragma once
// How failures leave the component. Inside, code throws: an HRESULT for a failed precondition
// or call, a _com_error from the COM support wrappers, or a standard exception. Nothing is
// thrown across a COM boundary: every interface method runs its body through ComMethod, and
// object creation and the module's exports run theirs through ComExport; both turn whatever
// was thrown into an HRESULT with ResultFromCaughtException.
#include <windows.h>
#include <comdef.h>

// Turns a thrown HRESULT into the control-facility code the component returns, and installs a
// description of it as the thread's error information. Never throws.
HRESULT ReportHResult(HRESULT hr) noexcept;

// Where a caught exception leaves the component, which decides what the caller gets for it.
enum class Boundary {
    // An interface method: a thrown HRESULT is answered with ReportHResult (a control-facility
    // code and a description), a _com_error with DISP_E_EXCEPTION, anything else with
    // E_UNEXPECTED.
    Method,
    // Object creation and the module's exports: COM's own codes and no error information; a
    // thrown failure code as it is, running out of memory as E_OUTOFMEMORY, anything else as
    // E_UNEXPECTED.
    Export,
};

// The HRESULT for the exception being handled; call it only inside a catch block. Never throws.
HRESULT ResultFromCaughtException(Boundary boundary) noexcept;

// Runs an interface method's body: S_OK when it returns, the method's failure when it throws.
template <class Body>
HRESULT ComMethod(Body&& body) noexcept
{
    try {
        body();
        return S_OK;
    } catch (...) {
        return ResultFromCaughtException(Boundary::Method);
    }
}

// Runs the body of an export or of object creation, which answers its own HRESULT.
template <class Body>
HRESULT ComExport(Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return ResultFromCaughtException(Boundary::Export);
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
