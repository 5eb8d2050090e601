#pragma once
// The classes that the module serves, in registration order, with what registration needs.
#include "component/ClassFactory.h"

#include <comcat.h>

#include <cstddef>

struct ClassEntry {
    const CLSID* clsid;
    CreateInstanceFn create;
    UINT registryScript;     // resource id of the class's registry script
    const CATID* categories; // categories the class implements
    ULONG categoryCount;
};

const ClassEntry* ClassTable(size_t* count);

// Answers the class object of a class in the table for riid; CLASS_E_CLASSNOTAVAILABLE for any
// other class.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** out);

// The host framework's category of bank components.
extern const CATID CATID_TavrinBankComponents;
