// Registration of the built DLL in a prefix of its own: what DllRegisterServer writes, what a
// host then reaches through the registry, and what DllUnregisterServer removes.
#include "TavrinBankOfVelmoraSEPA.h"

#include "ComTestSupport.h"

#include <comcat.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using RegisterFn = HRESULT(STDAPICALLTYPE*)();
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

const wchar_t kBankClsid[] = L"{B9C9AAF7-C519-4D62-A97E-DF5E621B555B}";
const wchar_t kServicesClsid[] = L"{471E354E-8004-45BF-8F52-6CE241AA9878}";
const wchar_t kPaymentServiceClsid[] = L"{0EC073DF-C6B5-4DD2-AAA0-2DD5E65B3A1A}";
const wchar_t kStatementServiceClsid[] = L"{0492026C-2A96-467A-AC85-1C56AB52BA4D}";
const wchar_t kTypeLib[] = L"{EF7CDE2A-A2F0-4F90-9B24-47E17EE8A57A}";
const CATID kBankCategory = {0x4E28D2A2, 0xEE93, 0x11D3, {0x8A, 0x15, 0x00, 0xE0, 0x29, 0x17, 0x8D, 0x24}};

bool KeyExists(const std::wstring& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A string value of a key under HKEY_CLASSES_ROOT, or "<missing>".
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(towlower(c));
    return text;
}

class Registration : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryW(L"TavrinBankOfVelmoraSEPA.dll");
        ASSERT_NE(nullptr, module);
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(module, path, MAX_PATH);
        modulePath = path;
        registerServer = testsupport::ProcAddress<RegisterFn>(module, "DllRegisterServer");
        unregisterServer = testsupport::ProcAddress<RegisterFn>(module, "DllUnregisterServer");
        canUnloadNow = testsupport::ProcAddress<CanUnloadNowFn>(module, "DllCanUnloadNow");
        ASSERT_TRUE(registerServer && unregisterServer && canUnloadNow);
    }

    static HMODULE module;
    static std::wstring modulePath;
    static RegisterFn registerServer;
    static RegisterFn unregisterServer;
    static CanUnloadNowFn canUnloadNow;
};

HMODULE Registration::module;
std::wstring Registration::modulePath;
RegisterFn Registration::registerServer;
RegisterFn Registration::unregisterServer;
CanUnloadNowFn Registration::canUnloadNow;

} // namespace

TEST_F(Registration, WritesEachClassProgIdsAndServerKeys)
{
    ASSERT_FALSE(KeyExists(L"TavrinBankOfVelmoraSEPA.Bank")) << "the prefix must start unregistered";
    ASSERT_EQ(S_OK, registerServer());

    struct Class {
        const wchar_t* name;
        const wchar_t* clsid;
    } classes[] = {
        {L"Bank", kBankClsid}, {L"BankServices", kServicesClsid}, {L"BankPaymentService", kPaymentServiceClsid}};
    for (const Class& c : classes) {
        const std::wstring progId = std::wstring(L"TavrinBankOfVelmoraSEPA.") + c.name;
        const std::wstring description = std::wstring(c.name) + L" Class";
        const std::wstring clsidKey = std::wstring(L"CLSID\\") + c.clsid;
        EXPECT_EQ(description, Value(progId + L".1"));
        EXPECT_EQ(c.clsid, Value(progId + L".1\\CLSID"));
        EXPECT_EQ(description, Value(progId));
        EXPECT_EQ(c.clsid, Value(progId + L"\\CLSID"));
        EXPECT_EQ(progId + L".1", Value(progId + L"\\CurVer"));
        EXPECT_EQ(description, Value(clsidKey));
        EXPECT_EQ(progId + L".1", Value(clsidKey + L"\\ProgID"));
        EXPECT_EQ(progId, Value(clsidKey + L"\\VersionIndependentProgID"));
        EXPECT_TRUE(KeyExists(clsidKey + L"\\Programmable"));
        EXPECT_EQ(Lower(modulePath), Lower(Value(clsidKey + L"\\InprocServer32")));
        EXPECT_EQ(L"Apartment", Value(clsidKey + L"\\InprocServer32", L"ThreadingModel"));
        EXPECT_EQ(kTypeLib, Value(clsidKey + L"\\TypeLib"));
    }
    EXPECT_FALSE(KeyExists(L"TavrinBankOfVelmoraSEPA.BankStatementService"));
    EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + kStatementServiceClsid));
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kTypeLib + L"\\1.0"));
}

TEST_F(Registration, HostReachesTheBankByProgIdAndCategory)
{
    CLSID bank = {};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"TavrinBankOfVelmoraSEPA.Bank", &bank));
    EXPECT_EQ(CLSID_Bank, bank);
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"TavrinBankOfVelmoraSEPA.Bank.1", &bank));
    EXPECT_EQ(CLSID_Bank, bank);

    ICatInformation* information = nullptr;
    ASSERT_EQ(S_OK,
              CoCreateInstance(CLSID_StdComponentCategoriesMgr,
                               nullptr,
                               CLSCTX_INPROC_SERVER,
                               IID_ICatInformation,
                               reinterpret_cast<void**>(&information)));
    CATID wanted[] = {kBankCategory};
    IEnumCLSID* classes = nullptr;
    ASSERT_EQ(S_OK, information->EnumClassesOfCategories(1, wanted, static_cast<ULONG>(-1), nullptr, &classes));
    bool listed = false;
    CLSID found;
    ULONG fetched = 0;
    while (classes->Next(1, &found, &fetched) == S_OK && fetched == 1)
        listed = listed || found == CLSID_Bank;
    classes->Release();
    information->Release();
    EXPECT_TRUE(listed) << "the bank class is listed under the host's bank category";

    // Created through COM as the host does, by the registered in-process server.
    ITavrinBank* created = nullptr;
    ASSERT_EQ(S_OK,
              CoCreateInstance(
                  bank, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITavrinBank), reinterpret_cast<void**>(&created)));
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "a live bank keeps the library loaded";
    created->Release();
    EXPECT_EQ(S_OK, canUnloadNow());

    const CLSID statementService = {0x0492026C, 0x2A96, 0x467A, {0xAC, 0x85, 0x1C, 0x56, 0xAB, 0x52, 0xBA, 0x4D}};
    IUnknown* none = nullptr;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(
                  statementService, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&none)));
}

TEST_F(Registration, UnregisteringRemovesWhatRegistrationWroteButLeavesClsid)
{
    ASSERT_EQ(S_OK, unregisterServer());
    const wchar_t* classes[] = {L"Bank", L"BankServices", L"BankPaymentService"};
    for (const wchar_t* name : classes) {
        const std::wstring progId = std::wstring(L"TavrinBankOfVelmoraSEPA.") + name;
        EXPECT_FALSE(KeyExists(progId)) << progId.c_str();
        EXPECT_FALSE(KeyExists(progId + L".1"));
    }
    const wchar_t* clsids[] = {kBankClsid, kServicesClsid, kPaymentServiceClsid};
    for (const wchar_t* clsid : clsids)
        EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + clsid));
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kTypeLib));

    // Registration can be repeated, and so can removal.
    EXPECT_EQ(S_OK, registerServer());
    EXPECT_EQ(S_OK, registerServer());
    EXPECT_EQ(L"Bank Class", Value(std::wstring(L"CLSID\\") + kBankClsid));
    EXPECT_EQ(S_OK, unregisterServer());
    EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + kBankClsid));
}
