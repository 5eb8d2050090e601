// When the payment file cannot be made, the writer says so and leaves nothing behind; on every
// way out it gives back the host's references and leaves the thread's apartment as it was.
#include "sepa/CreditTransferFile.h"

#include "resources/resource.h"

#include "HostObjects.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <thread>

using namespace paymentfile;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;
using tavrin_host::TotalRefCount;

namespace {

const int kNoSuchStylesheet = IDR_PAIN001_STYLESHEET + 1;

class Pain001FileFailure : public testing::Test {
protected:
    void SetUp() override
    {
        AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7");
        AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8");
    }

    bool Write(const std::string& path, int stylesheet = IDR_PAIN001_STYLESHEET)
    {
        return CreateCreditTransferFile(_bstr_t(L"OIN"), batch.get(), path.c_str(), stylesheet);
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    TemporaryFolder folder;
};

TEST_F(Pain001FileFailure, ASaveThatCannotWriteReportsFalse)
{
    const ULONG references = TotalRefCount(*batch);

    // The target is a folder: no file can take its place.
    const std::string occupied = folder.File("BOV20130521140309PAIN001.xml");
    ASSERT_TRUE(CreateDirectoryA(occupied.c_str(), nullptr));
    EXPECT_FALSE(Write(occupied));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(occupied.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    // The folder of the target does not exist.
    EXPECT_FALSE(Write(folder.File("missing\\BOV20130521140309PAIN001.xml")));
    // The target names a drive that does not exist.
    ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("A:\\")) << "the test expects no drive A:";
    EXPECT_FALSE(Write("A:\\BOV20130521140309PAIN001.xml"));

    EXPECT_TRUE(folder.Files().empty());
    EXPECT_EQ(references, TotalRefCount(*batch));
}

TEST_F(Pain001FileFailure, NoFileWithoutTheStylesheetOrWithoutPayments)
{
    const ULONG references = TotalRefCount(*batch);
    EXPECT_FALSE(Write(folder.File("no-stylesheet.xml"), kNoSuchStylesheet));
    EXPECT_EQ(references, TotalRefCount(*batch));

    // A batch without payments transforms into nothing, which is not a payment file.
    HostRef<HostPaymentBatch> empty = HostPaymentBatch::Create();
    EXPECT_FALSE(
        CreateCreditTransferFile(_bstr_t(L""), empty.get(), folder.File("empty.xml").c_str(), IDR_PAIN001_STYLESHEET));
    EXPECT_FALSE(
        CreateCreditTransferFile(_bstr_t(L""), nullptr, folder.File("none.xml").c_str(), IDR_PAIN001_STYLESHEET));
    EXPECT_FALSE(CreateCreditTransferFile(_bstr_t(L""), batch.get(), nullptr, IDR_PAIN001_STYLESHEET));

    EXPECT_TRUE(folder.Files().empty());
}

// The state of the calling thread's COM initialisation, probed by entering an apartment and
// leaving it again: S_OK when the thread was not initialised, S_FALSE when it already was in
// that kind of apartment, RPC_E_CHANGED_MODE when it was in the other kind.
HRESULT ProbeApartment(DWORD model)
{
    const HRESULT result = CoInitializeEx(nullptr, model);
    if (SUCCEEDED(result)) CoUninitialize();
    return result;
}

TEST_F(Pain001FileFailure, EveryWayOutLeavesTheThreadsApartmentAsItWas)
{
    const std::string written = folder.File("written.xml");
    const std::string occupied = folder.File("occupied.xml");
    ASSERT_TRUE(CreateDirectoryA(occupied.c_str(), nullptr));

    // A thread without COM: the writer enters an apartment and must leave it on every path.
    std::thread([&] {
        EXPECT_TRUE(Write(written));
        EXPECT_EQ(S_OK, ProbeApartment(COINIT_APARTMENTTHREADED)) << "after a written file";
        EXPECT_FALSE(Write(folder.File("x.xml"), kNoSuchStylesheet));
        EXPECT_EQ(S_OK, ProbeApartment(COINIT_APARTMENTTHREADED)) << "after a missing stylesheet";
        EXPECT_FALSE(Write(occupied));
        EXPECT_EQ(S_OK, ProbeApartment(COINIT_APARTMENTTHREADED)) << "after a failed save";
    }).join();
    EXPECT_TRUE(FileExists(written));

    // A thread in the multi-threaded apartment cannot enter a single-threaded one; the writer
    // still works and must not take the thread out of its apartment.
    // Each write makes the file anew: the writer replaces no file it was not allowed to.
    ASSERT_TRUE(DeleteFileA(written.c_str()));
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        EXPECT_TRUE(Write(written));
        EXPECT_EQ(S_FALSE, ProbeApartment(COINIT_MULTITHREADED));
        CoUninitialize();
        EXPECT_EQ(S_OK, ProbeApartment(COINIT_MULTITHREADED)) << "only the thread's own initialisation was left";
    }).join();

    // The test program's own thread stays in its apartment.
    ASSERT_TRUE(DeleteFileA(written.c_str()));
    EXPECT_TRUE(Write(written));
    EXPECT_FALSE(Write(occupied));
    EXPECT_EQ(S_FALSE, ProbeApartment(COINIT_APARTMENTTHREADED));
}

} // namespace
