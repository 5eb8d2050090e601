// Payment runs whose host objects, settings, output folder or mapping file fail them: each
// ends the way the user can act on, the host gets back every reference, and nothing that was
// already written (the codes and cleaned values on the host's payments, files written before)
// is lost or damaged.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"
#include "settings/DataFolder.h"

#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"
#include "PaymentRunDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace tavrin_host;

namespace {

const wchar_t kFileNotCreated[] = L"Failed to create file";

// What the host holds for one payment, to show a run changed nothing it was not meant to.
struct PaymentValues {
    std::wstring payerName, payerIban, payerBic, payeeName, payeeIban, payeeBic, paymentReference, payeeReference;
    double amount;
    DATE executionDate;
    std::wstring oin;

    explicit PaymentValues(const HostPayment& p)
        : payerName(p.payerName),
          payerIban(p.payerIban),
          payerBic(p.payerBic),
          payeeName(p.payeeName),
          payeeIban(p.payeeIban),
          payeeBic(p.payeeBic),
          paymentReference(p.paymentReference),
          payeeReference(p.payeeReference),
          amount(p.amount),
          executionDate(p.executionDate),
          oin(p.Oin())
    {
    }
    bool operator==(const PaymentValues& o) const
    {
        return payerName == o.payerName && payerIban == o.payerIban && payerBic == o.payerBic &&
               payeeName == o.payeeName && payeeIban == o.payeeIban && payeeBic == o.payeeBic &&
               paymentReference == o.paymentReference && payeeReference == o.payeeReference && amount == o.amount &&
               executionDate == o.executionDate && oin == o.oin;
    }
};

std::vector<PaymentValues> ValuesOf(const HostPaymentBatch& batch)
{
    std::vector<PaymentValues> values;
    for (const auto& payment : batch.payments)
        values.emplace_back(*payment);
    return values;
}

class FaultyRun : public PaymentRunTest {
protected:
    void SetUp() override
    {
        PaymentRunTest::SetUp();
        batch = ThreeValidPayments();
    }

    // Values that pass every check as they are, so a run leaves them exactly as they were.
    static HostRef<HostPaymentBatch> ThreeValidPayments()
    {
        HostRef<HostPaymentBatch> payments = HostPaymentBatch::Create();
        paymentfile::AddValidPayment(*payments, L"Velmora Supplies", 10.0, L"PO 7").SetOin(L"VELMORA-OIN-0042");
        paymentfile::AddValidPayment(*payments, L"Velmora Tools", 0.25, L"PO 8");
        paymentfile::AddValidPayment(*payments, L"Velmora Paper", 99.5, L"PO 9");
        return payments;
    }

    PaymentRunOutcome Run() { return PaymentRunDriver(service).Run(*batch); }

    // A file written by an earlier, sound run, to show a failing run leaves it alone.
    std::string WriteEarlierFile()
    {
        HostRef<HostPaymentBatch> earlier = ThreeValidPayments();
        const PaymentRunOutcome run = PaymentRunDriver(service).Run(*earlier);
        EXPECT_EQ(0, run.status);
        const std::vector<std::string> files = folder.Files();
        EXPECT_EQ(1u, files.size());
        if (files.size() != 1) return std::string();
        const std::string renamed = folder.File("earlier.xml");
        MoveFileA(folder.File(files[0]).c_str(), renamed.c_str());
        return renamed;
    }

    HostRef<HostPaymentBatch> batch;
};

struct GetterFault {
    const char* method;
    long code; // the failing payment's result code
};

// Every getter of a payment, with the code the payment ends with when that getter fails.
const GetterFault kGetterFaults[] = {
    {"get_Amount", 21},
    {"get_PayerAccountName", 25},
    {"get_PaymentReference", 0}, // an empty reference is no failure
    {"get_PayeeAccountName", 30},
    {"get_PayeeReference", 0}, // not checked
    {"get_ExecutionDate", 0},  // not a payment's check
    {"get_ResultCode", 0},     // never read
    {"get_PayerIBAN", 105},
    {"get_PayerBIC", 106},
    {"get_PayeeIBAN", 107},
    {"get_PayeeBIC", 108},
    {"get_CurrencyCode1", 34},
    {"get_CurrencyCode2", 34},
    {"get_Identifications", 0}, // the OIN is the dialog's
};

} // namespace

// One getter fails at a time, on the first payment (which carries the batch's own values) and
// on a later one. The run still writes the whole batch; the failing payment's code says why,
// and a value that could not be read is not overwritten with an empty one.
TEST_F(FaultyRun, EachFailingGetterOfAPaymentGivesItsCodeAndLosesNoValue)
{
    for (const GetterFault& fault : kGetterFaults) {
        for (const size_t position : {size_t(0), size_t(1)}) {
            SCOPED_TRACE(std::string(fault.method) + " failing on payment " + std::to_string(position));
            batch = ThreeValidPayments();
            batch->payments[position]->Faults().Fail(fault.method);
            std::vector<PaymentValues> expected = ValuesOf(*batch);
            const bool currencyFault = fault.code == 34;
            if (currencyFault) expected[position].amount = 0.0; // never sent as euros
            const ULONG references = TotalRefCount(*batch);

            const PaymentRunOutcome run = Run();

            EXPECT_EQ(S_OK, run.result);
            EXPECT_EQ(fault.code == 0 ? 0 : 1, run.status);
            EXPECT_TRUE(run.boxes.empty());
            for (size_t i = 0; i < 3; ++i)
                EXPECT_EQ(i == position ? fault.code : 0, batch->payments[i]->resultCode) << "payment " << i;
            // The first payment takes the execution date the user picked in the dialog.
            EXPECT_EQ(PaymentRunDriver::PickedDay(), std::floor(batch->payments[0]->executionDate));
            expected[0].executionDate = batch->payments[0]->executionDate;
            EXPECT_TRUE(expected == ValuesOf(*batch)) << "a value on the host changed";
            const std::vector<std::string> files = folder.Files();
            ASSERT_EQ(1u, files.size());
            const paymentfile::WrittenFile file(folder.File(files[0]));
            EXPECT_TRUE(file.Loaded()) << "the file must be well-formed";
            EXPECT_EQ(3, file.TransactionCount());
            DeleteFileA(folder.File(files[0]).c_str());
            EXPECT_EQ(references, TotalRefCount(*batch));
            EXPECT_EQ(0, settings.Calls().liveObjects);
        }
    }
}

// A batch that fails to deliver a payment, or delivers one without the extended interface,
// must not give a file without it: the host would take the file for the whole batch.
TEST_F(FaultyRun, APaymentTheBatchCannotDeliverLeavesNoFile)
{
    for (const LONG failing : {LONG(0), LONG(1), LONG(2), LONG(-1)}) {
        SCOPED_TRACE(failing < 0 ? "payment 1 without the extended interface"
                                 : "item " + std::to_string(failing) + " fails");
        batch = ThreeValidPayments();
        batch->failingItem = failing;
        if (failing < 0) batch->payments[1] = HostPayment::Create(false);
        const std::string earlier = WriteEarlierFile();
        const std::string earlierBytes = paymentfile::ReadBytes(earlier);
        const ULONG references = TotalRefCount(*batch);

        const PaymentRunOutcome run = Run();

        EXPECT_EQ(S_OK, run.result);
        EXPECT_EQ(2, run.status);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kFileNotCreated, run.boxes[0].caption);
        EXPECT_EQ(std::vector<std::string>{"earlier.xml"}, folder.Files());
        EXPECT_EQ(earlierBytes, paymentfile::ReadBytes(earlier));
        for (LONG i = 0; i < failing; ++i)
            EXPECT_EQ(0, batch->payments[i]->resultCode) << "checked before the failure";
        EXPECT_EQ(references, TotalRefCount(*batch));
        DeleteFileA(earlier.c_str());
    }
}

TEST_F(FaultyRun, AMissingOrFailingSettingsObjectEndsTheRunBeforeTheDialogAndKeepsTheChecks)
{
    const std::string earlier = WriteEarlierFile();
    const std::string earlierBytes = paymentfile::ReadBytes(earlier);
    for (const DWORD fault : {DWORD(HOST_SETTINGS_FAIL_CREATE), DWORD(HOST_SETTINGS_FAIL_GET)}) {
        SCOPED_TRACE("settings fault " + std::to_string(fault));
        batch = ThreeValidPayments();
        batch->payments[2]->payeeBic = L"NWBK";
        settings.Configure(folder.Path().c_str(), fault);
        const ULONG references = TotalRefCount(*batch);

        const PaymentRunOutcome run = Run();

        EXPECT_EQ(DISP_E_EXCEPTION, run.result);
        EXPECT_EQ(0, run.status) << "the status of the started run stays";
        EXPECT_FALSE(run.detailsConfirmed);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(0, batch->payments[0]->resultCode);
        EXPECT_EQ(108, batch->payments[2]->resultCode) << "the checks ran before the settings were asked for";
        EXPECT_EQ(std::vector<std::string>{"earlier.xml"}, folder.Files());
        EXPECT_EQ(earlierBytes, paymentfile::ReadBytes(earlier));
        EXPECT_EQ(references, TotalRefCount(*batch));
        EXPECT_EQ(0, settings.Calls().liveObjects);
    }
}

// The host's folder exists when the run builds its path and is gone when the file is saved.
// (A folder marked read-only is no case here: Windows does not stop writes into a folder for
// that attribute, and Wine, where these tests run as root, does not either.)
TEST_F(FaultyRun, AnOutputFolderThatVanishesBeforeTheSaveGivesNoFileAndTellsTheUser)
{
    struct Vanishing {
        const char* how;
        bool replacedByAFile;
    };
    for (const Vanishing& vanishing : {Vanishing{"deleted", false}, Vanishing{"replaced by a file", true}}) {
        SCOPED_TRACE(vanishing.how);
        batch = ThreeValidPayments();
        batch->payments[1]->payeeBic = L"NWBK";
        const std::string output = folder.File("output");
        ASSERT_TRUE(CreateDirectoryA(output.c_str(), nullptr));
        settings.Configure(output.c_str(), HOST_SETTINGS_OK);
        const ULONG references = TotalRefCount(*batch);

        const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch, [&] {
            RemoveDirectoryA(output.c_str());
            if (vanishing.replacedByAFile)
                CloseHandle(CreateFileA(output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        });

        EXPECT_TRUE(run.detailsConfirmed);
        EXPECT_EQ(S_OK, run.result);
        EXPECT_EQ(2, run.status);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kFileNotCreated, run.boxes[0].caption);
        EXPECT_EQ(vanishing.replacedByAFile ? 1u : 0u, folder.Files().size()) << "nothing but what replaced the folder";
        EXPECT_EQ(108, batch->payments[1]->resultCode);
        EXPECT_EQ(0, batch->payments[0]->resultCode);
        EXPECT_EQ(references, TotalRefCount(*batch));
        EXPECT_EQ(0, settings.Calls().liveObjects);
        DeleteFileA(output.c_str());
    }
}

// The mapping file in the host's data folder replaces the embedded table whenever it can be
// read. A file that cannot be read, or holds nothing, or holds noise, must still give a run
// that ends with a well-formed file.
class MappingFileRun : public FaultyRun {
protected:
    void SetUp() override
    {
        FaultyRun::SetUp();
        const std::string data = GetDataFolder();
        ASSERT_FALSE(data.empty());
        SHCreateDirectoryExA(nullptr, data.c_str(), nullptr);
        path = data + "\\BANKOFVELMORASEPAMAPPINGS.csv";
        Remove();
        batch->payments[1]->payeeName = L"Zo\u00EB \u010Capek";
    }
    void TearDown() override
    {
        Remove();
        FaultyRun::TearDown();
    }
    void Remove()
    {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(path.c_str());
    }
    void Write(const std::string& bytes)
    {
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(bytes.size(), written);
    }

    // Runs once and checks what every such run must give; returns the payee name it left.
    std::wstring RunAndCheck(LONG expectedStatus)
    {
        const ULONG references = TotalRefCount(*batch);
        const PaymentRunOutcome run = Run();
        EXPECT_EQ(S_OK, run.result);
        EXPECT_EQ(expectedStatus, run.status);
        EXPECT_TRUE(run.boxes.empty());
        const std::vector<std::string> files = folder.Files();
        EXPECT_EQ(1u, files.size());
        if (files.size() == 1) {
            const paymentfile::WrittenFile file(folder.File(files[0]));
            EXPECT_TRUE(file.Loaded()) << "the file must be well-formed";
            EXPECT_EQ(3, file.TransactionCount());
        }
        // The next run of the test starts from an empty folder, whenever it comes.
        for (const std::string& name : files)
            DeleteFileA(folder.File(name).c_str());
        EXPECT_EQ(references, TotalRefCount(*batch));
        return batch->payments[1]->payeeName;
    }

    std::string path;
};

TEST_F(MappingFileRun, AnUnreadableFileLeavesTheEmbeddedTableInCharge)
{
    // Held open by someone else with no sharing.
    Write("U+0065,U+0058\r\n");
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(L"Zoe Capek", RunAndCheck(0));
    CloseHandle(held);

    // A folder where the file should be.
    Remove();
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    batch = ThreeValidPayments();
    batch->payments[1]->payeeName = L"Zo\u00EB \u010Capek";
    EXPECT_EQ(L"Zoe Capek", RunAndCheck(0));
}

TEST_F(MappingFileRun, AnEmptyFileMapsNothing)
{
    Write("");
    // Without a table the name keeps its letters, narrowed to the code page as they are.
    const std::wstring name = RunAndCheck(0);
    EXPECT_EQ(L"Zo\u00EB ?apek", name);
}

TEST_F(MappingFileRun, TenMebibytesOfNoiseGiveAWellFormedFile)
{
    std::string noise(10u << 20, '\0');
    std::uint32_t state = 20130521u;
    for (char& c : noise) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    // Some lines that look like entries among the noise, mapping letters to anything.
    for (size_t at = 0; at + 64 < noise.size(); at += 4099) {
        char entry[64];
        state = state * 1664525u + 1013904223u;
        const int n =
            std::snprintf(entry, sizeof entry, "\nU+%04X,U+%04X\n", 0x41 + (state >> 8) % 58, (state >> 12) % 0x10000);
        noise.replace(at, static_cast<size_t>(n), entry, static_cast<size_t>(n));
    }
    Write(noise);
    for (auto& payment : batch->payments)
        payment->payeeName = L"Abcdefghijklmnopqrstuvwxyz";
    // Whatever the noise maps the letters to, the run ends with a file, and its status agrees
    // with the codes: a name mapped away entirely fails its check.
    const ULONG references = TotalRefCount(*batch);
    const PaymentRunOutcome run = Run();
    EXPECT_EQ(S_OK, run.result);
    bool anyFailed = false;
    for (const auto& payment : batch->payments)
        anyFailed = anyFailed || payment->resultCode != 0;
    EXPECT_EQ(anyFailed ? 1 : 0, run.status);
    const std::vector<std::string> files = folder.Files();
    ASSERT_EQ(1u, files.size());
    const paymentfile::WrittenFile file(folder.File(files[0]));
    EXPECT_TRUE(file.Loaded()) << "the file must be well-formed";
    EXPECT_EQ(3, file.TransactionCount());
    EXPECT_EQ(references, TotalRefCount(*batch));
}
