// The bank object: the host's entry into the component.
#include "common/Bstr.h"
#include "common/ComObject.h"
#include "component/Bank.h"

#include "ComTestSupport.h"
#include "HostSettingsFixture.h"

#include <gtest/gtest.h>

#include <cstring>

using testsupport::ClearErrorInfo;
using testsupport::TakeErrorDescription;

namespace {

const HRESULT kInvalidArgument = static_cast<HRESULT>(0x800AFFFC);

class BankObject : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings.Loaded());
        ASSERT_EQ(S_OK, CreateComObject<CBank>(nullptr, __uuidof(IBank), reinterpret_cast<void**>(&bank)));
        ClearErrorInfo();
    }
    void TearDown() override { bank = nullptr; }

    HostSettingsControl settings;
    ComPtr<IBank> bank;
};

} // namespace

TEST_F(BankObject, NameKindAndSubCategory)
{
    CBstr first, second;
    ASSERT_EQ(S_OK, bank->get_Name(first.Receive()));
    ASSERT_EQ(S_OK, bank->get_Name(second.Receive()));
    EXPECT_EQ(L"Bank of Velmora SEPA", first.Text());
    EXPECT_EQ(L"Bank of Velmora SEPA", second.Text());
    EXPECT_NE(first.Get(), second.Get());

    LONG kind = 0;
    ASSERT_EQ(S_OK, bank->get_Kind(&kind));
    EXPECT_EQ(1, kind);

    ComPtr<IBankSubCategory> subCategory;
    ASSERT_EQ(S_OK, bank->QueryInterface(__uuidof(IBankSubCategory), reinterpret_cast<void**>(&subCategory)));
    CBstr text;
    ASSERT_EQ(S_OK, subCategory->get_SubCategory(text.Receive()));
    EXPECT_EQ(L"SEPA", text.Text());
    EXPECT_EQ(kInvalidArgument, subCategory->get_SubCategory(nullptr));
}

TEST_F(BankObject, ServicesAreMadeOnceAndHandedOutEachTime)
{
    ComPtr<ITavrinBankServices> first, second;
    ASSERT_EQ(S_OK, bank->get_Services(&first));
    ASSERT_EQ(S_OK, bank->get_Services(&second));
    EXPECT_EQ(first.GetInterfacePtr(), second.GetInterfacePtr());
    LONG count = 0;
    EXPECT_EQ(S_OK, second->get_Count(&count));
    EXPECT_EQ(1, count);
    first = nullptr;
    second = nullptr;

    // The bank keeps its collection alive after the host lets go of it.
    ComPtr<ITavrinBankServices> third;
    ASSERT_EQ(S_OK, bank->get_Services(&third));
    EXPECT_EQ(S_OK, third->get_Count(&count));
}

TEST_F(BankObject, NullOutPointersAreInvalidArguments)
{
    EXPECT_EQ(kInvalidArgument, bank->get_Name(nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, bank->get_Services(nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
    EXPECT_EQ(kInvalidArgument, bank->get_Kind(nullptr));
    EXPECT_EQ(L"Invalid argument", TakeErrorDescription());
}

TEST_F(BankObject, AnswersItsInterfacesWithOneIdentityAndErrorInfoForIBankOnly)
{
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, bank->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    const IID* interfaces[] = {
        &__uuidof(IBank), &__uuidof(ITavrinBank), &IID_IDispatch, &__uuidof(IBankSubCategory), &IID_ISupportErrorInfo};
    for (const IID* iid : interfaces) {
        ComPtr<IUnknown> answered;
        ASSERT_EQ(S_OK, bank->QueryInterface(*iid, reinterpret_cast<void**>(&answered)));
        ComPtr<IUnknown> again;
        answered->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again));
        EXPECT_EQ(identity.GetInterfacePtr(), again.GetInterfacePtr());
    }

    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(S_OK, bank->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(__uuidof(IBank)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(__uuidof(ITavrinBank)));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(__uuidof(IBankSubCategory)));
}

TEST_F(BankObject, EditSettingsHandsTheBankToTheHostsSettingsEditor)
{
    settings.Configure(nullptr, HOST_SETTINGS_OK);
    const LONG before = settings.Calls().editCalls;
    EXPECT_EQ(S_OK, bank->EditSettings(12345));
    const HostSettingsCalls calls = settings.Calls();
    EXPECT_EQ(before + 1, calls.editCalls);
    EXPECT_STREQ("Bank of Velmora SEPA", calls.lastEditBankName);
    EXPECT_EQ(2, calls.lastEditMode);
    EXPECT_EQ(0, calls.liveObjects) << "the settings object is released";
}

TEST_F(BankObject, EditSettingsFailuresAreDispatchExceptions)
{
    const DWORD faults[] = {HOST_SETTINGS_FAIL_CREATE, HOST_SETTINGS_FAIL_EDIT};
    for (DWORD fault : faults) {
        settings.Configure(nullptr, fault);
        EXPECT_EQ(DISP_E_EXCEPTION, bank->EditSettings(0)) << fault;
        EXPECT_EQ(0, settings.Calls().liveObjects);
    }
}
