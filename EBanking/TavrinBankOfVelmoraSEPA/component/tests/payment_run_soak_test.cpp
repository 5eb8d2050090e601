// A thousand payment runs in one host process, through the registered component as the host
// loads it: the process's handles and private memory stay flat once the run's libraries are
// warm, every host object gets back each reference the runs took, and the component can be
// unloaded when the host has let go of it.
//
// Wine's XML engine keeps about 20 KB for every transformation of a whole document into
// another document, whoever asks for it. The memory bound therefore allows, per run, what the
// engine keeps for the same transformation made directly in this process; on Windows that is
// nothing.
#include "resources/resource.h"
#include "sepa/CreditTransferDocument.h"
#include "sepa/StylesheetResource.h"
#include "sepa/XmlDocument.h"

#include "HostObjects.h"
#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"
#include "PaymentRunDriver.h"
#include "PaymentServiceLoader.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tavrin_host;

namespace {

const wchar_t kBankProgId[] = L"TavrinBankOfVelmoraSEPA.Bank";
const int kWarmUpRuns = 50;
const int kMeasuredRuns = 950;
const int kRunsBetweenSamples = 25;
// What a flat process may still vary by: a few handles of caches the system keeps, and heap
// pages that are reused rather than given back.
const DWORD kHandleAllowance = 16;
const SIZE_T kPrivateBytesAllowance = 4u << 20;

using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// Wine answers no count of a process's handles; its system handle table has them all.
DWORD CountHandlesInSystemTable()
{
    struct Entry {
        ULONG processId;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using QueryFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const ULONG kSystemHandleInformation = 16;
    const LONG kBufferTooSmall = static_cast<LONG>(0xC0000004);
    const auto query = testsupport::ProcAddress<QueryFn>(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    if (!query) return 0;
    std::vector<char> buffer(1u << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kBufferTooSmall)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const Table* table = reinterpret_cast<const Table*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].processId == GetCurrentProcessId()) ++count;
    return count;
}

DWORD HandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    return CountHandlesInSystemTable();
}

// Windows counts a process's private bytes in both fields; Wine fills only the second.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(
            GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Two small batches: one that passes every check, one with a payment that fails one.
HostRef<HostPaymentBatch> ValidBatch()
{
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    paymentfile::AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7").SetOin(L"VELMORA-OIN-0042");
    paymentfile::AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8");
    paymentfile::AddValidPayment(*batch, L"Zo\u00EB \u010Capek", 1234.56, L"PO 9");
    return batch;
}

HostRef<HostPaymentBatch> BatchWithAFailedPayment()
{
    HostRef<HostPaymentBatch> batch = ValidBatch();
    batch->payments[1]->payeeBic = L"NWBK";
    return batch;
}

// The private bytes the XML engine keeps for each transformation of the document of batch into
// a new document, measured with nothing of the payment run around it.
double EngineBytesKeptPerTransformation(IPaymentBatch* batch)
{
    const IXMLDOMDocumentPtr stylesheet = LoadStylesheet(IDR_PAIN001_STYLESHEET);
    if (!stylesheet) return -1;
    const IXMLDOMDocumentPtr source = BuildCreditTransferDocument(_bstr_t(L"VELMORA-OIN-0042"), batch);
    if (!source) return -1;

    auto transform = [&] {
        const IXMLDOMDocumentPtr output = CreateXmlDocument();
        IDispatch* target = nullptr;
        output->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&target));
        source->transformNodeToObject(stylesheet, _variant_t(target, false));
    };
    const int kWarmUp = 20, kMeasured = 200;
    for (int i = 0; i < kWarmUp; ++i)
        transform();
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < kMeasured; ++i)
        transform();
    const SIZE_T after = PrivateBytes();
    return after > before ? static_cast<double>(after - before) / kMeasured : 0.0;
}

struct Meter {
    DWORD handles;
    SIZE_T privateBytes;
};

Meter Read() { return Meter{HandleCount(), PrivateBytes()}; }

} // namespace

// The meters must see what they are meant to see, or a flat line proves nothing.
TEST(ProcessMeters, SeeHandlesAndPrivateMemoryComeAndGo)
{
    const Meter before = Read();
    std::vector<HANDLE> events;
    for (int i = 0; i < 32; ++i)
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const SIZE_T size = 16u << 20;
    void* block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, block);
    std::fill_n(static_cast<char*>(block), size, 'x');
    const Meter during = Read();
    for (HANDLE event : events)
        CloseHandle(event);
    VirtualFree(block, 0, MEM_RELEASE);
    const Meter after = Read();

    EXPECT_GE(during.handles, before.handles + 32);
    EXPECT_GE(during.privateBytes, before.privateBytes + size);
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.privateBytes, before.privateBytes + (1u << 20));
}

TEST(PaymentRunSoak, AThousandRunsLeaveHandlesMemoryAndReferencesFlat)
{
    HostSettingsControl settings;
    ASSERT_TRUE(settings.Loaded()) << "TavrinHostSettings.dll must sit beside the test program";
    paymentfile::TemporaryFolder folder;
    settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);

    HostRef<HostPaymentBatch> batches[] = {ValidBatch(), BatchWithAFailedPayment()};
    const LONG expectedStatus[] = {0, 1};
    const double engineBytesPerRun = EngineBytesKeptPerTransformation(batches[0].get());
    ASSERT_LE(0.0, engineBytesPerRun) << "the engine could not transform the document on its own";
    ULONG references[2];
    for (int b = 0; b < 2; ++b)
        references[b] = TotalRefCount(*batches[b]);

    BankDescription bank;
    std::wstring whyNot;
    ITavrinBankPaymentService* service = LoadPaymentService(kBankProgId, bank, whyNot);
    ASSERT_NE(nullptr, service) << std::string(whyNot.begin(), whyNot.end());
    const HMODULE component = GetModuleHandleW(L"TavrinBankOfVelmoraSEPA.dll");
    ASSERT_NE(nullptr, component) << "the bank must come from the component's DLL";
    const auto canUnloadNow = testsupport::ProcAddress<CanUnloadNowFn>(component, "DllCanUnloadNow");
    ASSERT_NE(nullptr, canUnloadNow);
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the host still holds the payment service";

    Meter warm = {};
    Meter highest = {};
    int failures = 0;
    {
        PaymentRunDriver driver(service);
        for (int run = 0; run < kWarmUpRuns + kMeasuredRuns && failures < 5; ++run) {
            const int b = run % 2;
            const PaymentRunOutcome outcome = driver.Run(*batches[b]);
            const std::vector<std::string> files = folder.Files();
            const bool ok = outcome.result == S_OK && outcome.status == expectedStatus[b] && outcome.boxes.empty() &&
                            files.size() == 1 && TotalRefCount(*batches[b]) == references[b];
            if (!ok) {
                ++failures;
                ADD_FAILURE() << "run " << run << ": result 0x" << std::hex << outcome.result << std::dec << ", status "
                              << outcome.status << ", " << outcome.boxes.size() << " boxes, " << files.size()
                              << " files, references " << TotalRefCount(*batches[b]) << " of " << references[b]
                              << ", codes " << batches[b]->payments[0]->resultCode << " "
                              << batches[b]->payments[1]->resultCode << " " << batches[b]->payments[2]->resultCode;
            }
            // Now and then the file is read back whole.
            if (run % 100 == 0 && files.size() == 1) {
                const paymentfile::WrittenFile file(folder.File(files[0]));
                EXPECT_TRUE(file.Loaded()) << "run " << run;
                EXPECT_EQ(3, file.TransactionCount()) << "run " << run;
            }
            for (const std::string& name : files)
                DeleteFileA(folder.File(name).c_str());

            if (run + 1 == kWarmUpRuns) highest = warm = Read();
            if (run + 1 > kWarmUpRuns && (run + 1 - kWarmUpRuns) % kRunsBetweenSamples == 0) {
                const Meter now = Read();
                highest.handles = std::max(highest.handles, now.handles);
                highest.privateBytes = std::max(highest.privateBytes, now.privateBytes);
            }
        }
    }
    const SIZE_T engineAllowance = static_cast<SIZE_T>(engineBytesPerRun * kMeasuredRuns);
    std::printf(
        "after %d warm-up runs: %lu handles, %lu KiB private; highest over the next %d runs: %lu handles, "
        "%lu KiB private; the XML engine alone keeps %.0f bytes per transformation\n",
        kWarmUpRuns,
        static_cast<unsigned long>(warm.handles),
        static_cast<unsigned long>(warm.privateBytes >> 10),
        kMeasuredRuns,
        static_cast<unsigned long>(highest.handles),
        static_cast<unsigned long>(highest.privateBytes >> 10),
        engineBytesPerRun);
    EXPECT_LE(highest.handles, warm.handles + kHandleAllowance);
    EXPECT_LE(highest.privateBytes, warm.privateBytes + kPrivateBytesAllowance + engineAllowance)
        << "of which " << engineAllowance << " bytes are what the XML engine keeps by itself";
    for (int b = 0; b < 2; ++b)
        EXPECT_EQ(references[b], TotalRefCount(*batches[b]));

    service->Release();
    EXPECT_EQ(S_OK, canUnloadNow()) << "nothing of the component may stay alive after the host let go";
    EXPECT_EQ(0, settings.Calls().liveObjects);
}
