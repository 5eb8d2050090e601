#pragma once
// The classes that the module serves, in registration order.
#include "component/ClassFactory.h"

#include <cstddef>

struct ClassEntry {
    const CLSID* clsid;
    CreateInstanceFn create;
};

const ClassEntry* ClassTable(size_t* count);

// Answers the class object of a class in the table for riid, creating it on first request;
// CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out);
