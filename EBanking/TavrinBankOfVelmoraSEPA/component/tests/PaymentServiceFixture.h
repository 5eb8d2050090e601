#pragma once
// What the payment service tests share: the host's settings server under the test's control and a
// payment service made straight from its class; for run tests, a folder of the test's own that
// the settings name as the place for the file.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"

#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

class PaymentServiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings.Loaded()) << "TavrinHostSettings.dll must sit beside the test program";
        ASSERT_EQ(S_OK,
                  CreateComObject<CBankPaymentService>(
                      nullptr, __uuidof(IBankPaymentService), reinterpret_cast<void**>(&service)));
    }
    void TearDown() override { service = nullptr; }

    LONG Status()
    {
        LONG status = -99;
        EXPECT_EQ(S_OK, service->get_Status(&status));
        return status;
    }

    HostSettingsControl settings;
    ComPtr<IBankPaymentService> service;
};

// The run writes its file into the test's own folder, not the user's documents.
class PaymentRunTest : public PaymentServiceTest {
protected:
    void SetUp() override
    {
        PaymentServiceTest::SetUp();
        settings.Configure(folder.Path().c_str(), HOST_SETTINGS_OK);
    }

    paymentfile::TemporaryFolder folder;
};
