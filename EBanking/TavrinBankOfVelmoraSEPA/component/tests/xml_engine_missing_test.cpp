// A payment run on a machine whose XML engine is not registered: the checks still run and
// their codes stay with the host, the user is told that no file was created, and nothing is
// written. Runs only in a prefix of its own, made by xml_engine_missing_in_fresh_prefix.sh.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"
#include "sepa/XmlDocument.h"

#include "HostObjects.h"
#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"
#include "PaymentRunDriver.h"

#include <gtest/gtest.h>

using namespace tavrin_host;

TEST(XmlEngineMissing, TheRunChecksThePaymentsAndTellsTheUserThatNoFileWasCreated)
{
    ASSERT_FALSE(CreateXmlDocument()) << "this test needs a prefix without the XML engine's class";

    HostSettingsControl settings;
    ASSERT_TRUE(settings.Loaded());
    paymentfile::TemporaryFolder folder;
    settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);
    const std::string earlier = folder.File("earlier.xml");
    const std::string earlierBytes = "<?xml version=\"1.0\"?><Document/>";
    {
        const HANDLE file = CreateFileA(earlier.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, earlierBytes.data(), static_cast<DWORD>(earlierBytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    paymentfile::AddValidPayment(*batch, L"Velmora Supplies", 10.0, L"PO 7").SetOin(L"VELMORA-OIN-0042");
    paymentfile::AddValidPayment(*batch, L"Velmora Tools", 0.25, L"PO 8").payeeBic = L"NWBK";
    const ULONG references = TotalRefCount(*batch);
    IBankPaymentService* service = nullptr;
    ASSERT_EQ(S_OK,
              CreateComObject<CBankPaymentService>(
                  nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));

    const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch);
    service->Release();

    EXPECT_EQ(S_OK, run.result);
    EXPECT_EQ(2, run.status);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(L"Failed to create file", run.boxes[0].caption);
    EXPECT_EQ(0, batch->payments[0]->resultCode);
    EXPECT_EQ(108, batch->payments[1]->resultCode);
    EXPECT_EQ(std::vector<std::string>{"earlier.xml"}, folder.Files());
    EXPECT_EQ(earlierBytes, paymentfile::ReadBytes(earlier));
    EXPECT_EQ(references, TotalRefCount(*batch));
    EXPECT_EQ(0, settings.Calls().liveObjects);
}
