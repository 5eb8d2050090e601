// The payment service as the host sees it: its name and status, its argument checks, the
// errors it reports, and the references it gives back on every way out of a run.
#include "common/Bstr.h"
#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include "ComTestSupport.h"
#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "MessageBoxWatcher.h"
#include "PaymentDialogUser.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin_host;
using testsupport::ClearErrorInfo;
using testsupport::NoErrorInfo;
using testsupport::TakeErrorDescription;

namespace {

const HRESULT kInvalidArgument = static_cast<HRESULT>(0x800AFFFC);

class PaymentService : public PaymentServiceTest {
protected:
    void SetUp() override
    {
        PaymentServiceTest::SetUp();
        HostPayment& first = batch->Add();
        first.payerName = L"Velmora Trading Ltd";
        first.payeeName = L"Supplier One";
        first.amount = 10.25;
        ClearErrorInfo();
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    HostRef<HostPaymentBatch> reserved = HostPaymentBatch::Create();
};

} // namespace

TEST_F(PaymentService, NameIsANewStringEachTime)
{
    CBstr first, second;
    ASSERT_EQ(S_OK, service->get_Name(first.Receive()));
    ASSERT_EQ(S_OK, service->get_Name(second.Receive()));
    EXPECT_EQ(L"Bank Payment Service", first.Text());
    EXPECT_EQ(L"Bank Payment Service", second.Text());
    EXPECT_NE(first.Get(), second.Get());
}

TEST_F(PaymentService, StatusKeepsWhatTheHostPutAndTheNextRunStartsAgain)
{
    EXPECT_EQ(0, Status());
    EXPECT_EQ(S_OK, service->put_Status(7));
    EXPECT_EQ(7, Status());

    settings.Configure("C:\\no such folder\\anywhere", HOST_SETTINGS_FAIL_GET);
    EXPECT_EQ(DISP_E_EXCEPTION, service->ProcessPayments(batch.get(), reserved.get()));
    EXPECT_EQ(0, Status());
}

TEST_F(PaymentService, NullArgumentsAreInvalidAndChangeNothing)
{
    service->put_Status(7);
    const ULONG refsBefore = TotalRefCount(*batch);
    const LONG settingsCallsBefore = settings.Calls().getCalls;

    EXPECT_EQ(kInvalidArgument, service->ProcessPayments(nullptr, reserved.get()));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, service->ProcessPayments(batch.get(), nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, service->get_Name(nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, service->get_Status(nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, service->GetResultMessage(0, nullptr));
    EXPECT_EQ(kInvalidArgument, service->Reserved1(nullptr));
    EXPECT_EQ(kInvalidArgument, service->Reserved2(5, nullptr));

    EXPECT_EQ(7, Status());
    EXPECT_EQ(refsBefore, TotalRefCount(*batch));
    EXPECT_EQ(settingsCallsBefore, settings.Calls().getCalls) << "no run may start on invalid arguments";
    EXPECT_EQ(-1, batch->payments[0]->resultCode) << "no validation may run on invalid arguments";
}

TEST_F(PaymentService, ReservedMethodsAcceptAnyNonNullPointer)
{
    service->put_Status(4);
    EXPECT_EQ(S_OK, service->Reserved1(reserved.get()));
    EXPECT_EQ(S_OK, service->Reserved2(-1, reserved.get()));
    EXPECT_EQ(4, Status());
}

TEST_F(PaymentService, ErrorInfoIsSupportedOnlyForItsOwnInterface)
{
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, service->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(__uuidof(IBankPaymentService)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(__uuidof(ITavrinBankPaymentService)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(__uuidof(ITavrinBankService)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
}

TEST_F(PaymentService, AnswersTheHostInterfacesWithOneIdentity)
{
    const IID* interfaces[] = {&IID_IDispatch,
                               &__uuidof(ITavrinBankService),
                               &__uuidof(ITavrinBankPaymentService),
                               &__uuidof(IBankPaymentService),
                               &IID_ISupportErrorInfo};
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, service->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    for (const IID* iid : interfaces) {
        ComPtr<IUnknown> answered;
        ASSERT_EQ(S_OK, service->QueryInterface(*iid, reinterpret_cast<void**>(&answered)));
        ComPtr<IUnknown> again;
        answered->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
        EXPECT_EQ(identity.GetInterfacePtr(), again.GetInterfacePtr());
    }
    IUnknown* none = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_NOINTERFACE, service->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&none)));
    EXPECT_EQ(nullptr, none);
}

TEST_F(PaymentService, MissingOrFailingSettingsObjectIsADispatchExceptionAndTheRunStops)
{
    const DWORD faults[] = {HOST_SETTINGS_FAIL_CREATE, HOST_SETTINGS_FAIL_GET};
    for (DWORD fault : faults) {
        MessageBoxWatcher boxes;
        settings.Configure("C:\\", fault);
        service->put_Status(9);
        const ULONG refsBefore = TotalRefCount(*batch);

        EXPECT_EQ(DISP_E_EXCEPTION, service->ProcessPayments(batch.get(), reserved.get())) << fault;
        EXPECT_EQ(0, Status()) << "the run had started: its status was reset and stays";
        EXPECT_TRUE(boxes.Boxes().empty()) << "neither the dialog nor any message may appear";
        EXPECT_EQ(refsBefore, TotalRefCount(*batch));
        EXPECT_EQ(0, settings.Calls().liveObjects) << "the settings object must be released";
    }
}

TEST_F(PaymentService, SettingsAreAskedForWithTheBankName)
{
    PaymentDialogUser user(Abandon());
    MessageBoxWatcher boxes(user.Policy());
    // A folder of the test's own, not the user's documents, should anything be written.
    paymentfile::TemporaryFolder folder;
    settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);
    const LONG callsBefore = settings.Calls().getCalls;
    EXPECT_EQ(S_OK, service->ProcessPayments(batch.get(), reserved.get()));
    const HostSettingsCalls calls = settings.Calls();
    EXPECT_EQ(callsBefore + 1, calls.getCalls);
    EXPECT_STREQ("Bank of Velmora SEPA", calls.lastGetBankName) << "the host keeps the directory under this key";
    EXPECT_EQ(0, calls.liveObjects);
}

TEST_F(PaymentService, ARunWithoutAFileReportsStatusTwoAndTellsTheUser)
{
    // The first floppy drive's root is accepted as the host's directory without a look at the
    // disk, so the run gets as far as saving, where the missing drive makes the save fail.
    ASSERT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("A:\\")) << "the test expects no drive A:";
    // With an OIN to confirm the dialog adds no identification entry to the batch.
    batch->payments[0]->SetOin(L"VELMORA01");
    PaymentDialogUser user(ConfirmAsShown());
    MessageBoxWatcher boxes(user.Policy());
    settings.Configure("A:\\", HOST_SETTINGS_OK);
    const ULONG refsBefore = TotalRefCount(*batch);

    EXPECT_EQ(S_OK, service->ProcessPayments(batch.get(), reserved.get()));

    EXPECT_EQ(2, Status());
    ASSERT_EQ(1u, boxes.Boxes().size()) << "only the failure is told: the directory was accepted";
    const MessageBoxRecord& last = boxes.Boxes().back();
    EXPECT_EQ(L"Failed to create file", last.caption);
    EXPECT_EQ(
        L"Failed to create the SEPA Credit Transfer File.\n\n"
        L"Please check you have the required permissions and try again.",
        last.text);
    EXPECT_EQ(refsBefore, TotalRefCount(*batch));
    EXPECT_EQ(0, settings.Calls().liveObjects);
}

TEST_F(PaymentService, ARunWritesTheFileInTheHostsDirectoryWithTheFirstPaymentsOin)
{
    paymentfile::TemporaryFolder folder;
    batch->payments[0]->SetOin(L"VELMORA-OIN-0042");
    PaymentDialogUser user(ConfirmAsShown());
    MessageBoxWatcher boxes(user.Policy());
    settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);
    const ULONG refsBefore = TotalRefCount(*batch);

    EXPECT_EQ(S_OK, service->ProcessPayments(batch.get(), reserved.get()));

    // The first payment has no account numbers, so it cannot pass the checks.
    EXPECT_EQ(1, Status()) << "written, with a payment that failed its checks";
    EXPECT_TRUE(boxes.Boxes().empty());
    const std::vector<std::string> files = folder.Files();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(std::string("BOV"), files[0].substr(0, 3));
    EXPECT_EQ(std::string("PAIN001.xml"), files[0].substr(files[0].size() - 11));
    EXPECT_EQ(3u + 14u + 11u, files[0].size());

    const paymentfile::WrittenFile file(folder.File(files[0]));
    EXPECT_EQ(L"VELMORA-OIN-0042", file.Text(L"GrpHdr/InitgPty/Id/PrvtId/Othr/Id"));
    EXPECT_EQ(1, file.TransactionCount());
    EXPECT_EQ(L"Supplier One", file.TransactionText(1, L"Cdtr/Nm"));
    EXPECT_EQ(L"10.25", file.TransactionText(1, L"Amt/InstdAmt"));
    EXPECT_EQ(L"Velmora Trading Ltd", file.Text(L"PmtInf/Dbtr/Nm"));
    EXPECT_EQ(refsBefore, TotalRefCount(*batch));
    EXPECT_EQ(0, settings.Calls().liveObjects);
}

TEST(PaymentServiceRun, ValidPaymentsAreWrittenAllAndTheRunReportsStatusZero)
{
    HostSettingsControl settings;
    ASSERT_TRUE(settings.Loaded());
    ComPtr<IBankPaymentService> service;
    ASSERT_EQ(S_OK,
              CreateComObject<CBankPaymentService>(
                  nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    HostRef<HostPaymentBatch> reserved = HostPaymentBatch::Create();
    paymentfile::AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7").SetOin(L"VELMORA-OIN-0042");
    paymentfile::AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8");
    paymentfile::TemporaryFolder folder;
    settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);
    // The payments' execution date is long past: the user picks one the dialog accepts.
    PaymentDialogUser user(PickNextWorkingDayAndConfirm());
    MessageBoxWatcher boxes(user.Policy());

    EXPECT_EQ(S_OK, service->ProcessPayments(batch.get(), reserved.get()));
    LONG status = -1;
    service->get_Status(&status);
    service = nullptr;

    EXPECT_EQ(0, status);
    EXPECT_TRUE(boxes.Boxes().empty());
    const std::vector<std::string> files = folder.Files();
    ASSERT_EQ(1u, files.size());
    const paymentfile::WrittenFile file(folder.File(files[0]));
    EXPECT_EQ(2, file.TransactionCount());
    EXPECT_EQ(L"10.25", file.Text(L"GrpHdr/CtrlSum"));
    EXPECT_EQ(L"VELMORA-OIN-0042", file.Text(L"GrpHdr/InitgPty/Id/PrvtId/Othr/Id"));
    // The schema check after the Wine tests validates what a whole run wrote.
    EXPECT_TRUE(
        CopyFileA(folder.File(files[0]).c_str(), paymentfile::KeptForSchemaCheck("payment-run.xml").c_str(), FALSE));
}
