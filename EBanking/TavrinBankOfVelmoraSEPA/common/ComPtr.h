#pragma once
// A counted reference to a COM interface: the COM support library's smart pointer, for any
// interface whose identifier the headers declare. It takes a reference when it is given a
// pointer (or, with operator&, receives one from an out-parameter) and releases it when it goes.
#include <windows.h>
#include <comdef.h>

template <class Interface>
using ComPtr = _com_ptr_t<_com_IIID_getter<Interface, &__mingw_uuidof<Interface>>>;

// A new reference to what p holds, for an out-parameter; null when p is empty.
template <class Interface>
Interface* NewReference(const ComPtr<Interface>& p)
{
    return ComPtr<Interface>(p).Detach();
}
