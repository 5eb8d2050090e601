// Every host method a bank component calls sits at the vtable position the host gives it:
// positions count the three IUnknown and four IDispatch methods.
#define CINTERFACE
#define COBJMACROS
#include "TavrinBankPayments.h"

#include <gtest/gtest.h>

#include <cstddef>

#define POSITION(Vtbl, method) (offsetof(Vtbl, method) / sizeof(void*))

TEST(HostInterfaces, PaymentMethodsSitAtTheirPositions)
{
    EXPECT_EQ(7u, POSITION(IPaymentVtbl, get_Amount));
    EXPECT_EQ(8u, POSITION(IPaymentVtbl, put_Amount));
    EXPECT_EQ(15u, POSITION(IPaymentVtbl, get_PayerAccountName));
    EXPECT_EQ(16u, POSITION(IPaymentVtbl, put_PayerAccountName));
    EXPECT_EQ(19u, POSITION(IPaymentVtbl, get_PaymentReference));
    EXPECT_EQ(20u, POSITION(IPaymentVtbl, put_PaymentReference));
    EXPECT_EQ(25u, POSITION(IPaymentVtbl, get_PayeeAccountName));
    EXPECT_EQ(26u, POSITION(IPaymentVtbl, put_PayeeAccountName));
    EXPECT_EQ(29u, POSITION(IPaymentVtbl, get_PayeeReference));
    EXPECT_EQ(35u, POSITION(IPaymentVtbl, get_ExecutionDate));
    EXPECT_EQ(36u, POSITION(IPaymentVtbl, put_ExecutionDate));
    EXPECT_EQ(38u, POSITION(IPaymentVtbl, put_ResultCode));
}

TEST(HostInterfaces, ExtendedPaymentMethodsSitAtTheirPositions)
{
    EXPECT_EQ(7u, POSITION(IPaymentExVtbl, get_Amount));
    EXPECT_EQ(38u, POSITION(IPaymentExVtbl, put_ResultCode));
    EXPECT_EQ(73u, POSITION(IPaymentExVtbl, get_PayerIBAN));
    EXPECT_EQ(74u, POSITION(IPaymentExVtbl, put_PayerIBAN));
    EXPECT_EQ(75u, POSITION(IPaymentExVtbl, get_PayerBIC));
    EXPECT_EQ(76u, POSITION(IPaymentExVtbl, put_PayerBIC));
    EXPECT_EQ(77u, POSITION(IPaymentExVtbl, get_PayeeIBAN));
    EXPECT_EQ(78u, POSITION(IPaymentExVtbl, put_PayeeIBAN));
    EXPECT_EQ(79u, POSITION(IPaymentExVtbl, get_PayeeBIC));
    EXPECT_EQ(80u, POSITION(IPaymentExVtbl, put_PayeeBIC));
    EXPECT_EQ(81u, POSITION(IPaymentExVtbl, get_CurrencyCode1));
    EXPECT_EQ(83u, POSITION(IPaymentExVtbl, get_CurrencyCode2));
    EXPECT_EQ(85u, POSITION(IPaymentExVtbl, get_Identifications));
}

TEST(HostInterfaces, BatchAndIdentificationMethodsSitAtTheirPositions)
{
    EXPECT_EQ(7u, POSITION(IPaymentBatchVtbl, get_Item));
    EXPECT_EQ(8u, POSITION(IPaymentBatchVtbl, get_Count));
    EXPECT_EQ(7u, POSITION(IIdentificationListVtbl, get_Count));
    EXPECT_EQ(8u, POSITION(IIdentificationListVtbl, get_Item));
    EXPECT_EQ(9u, POSITION(IIdentificationListVtbl, Add));
    EXPECT_EQ(7u, POSITION(IIdentificationVtbl, get_Name));
    EXPECT_EQ(8u, POSITION(IIdentificationVtbl, put_Name));
    EXPECT_EQ(9u, POSITION(IIdentificationVtbl, get_Value));
    EXPECT_EQ(10u, POSITION(IIdentificationVtbl, put_Value));
}

TEST(HostInterfaces, BankAndServiceMethodsSitAtTheirPositions)
{
    EXPECT_EQ(7u, POSITION(IBankSettingsVtbl, EditBankSettings));
    EXPECT_EQ(9u, POSITION(IBankSettingsVtbl, GetBankSettings));
    EXPECT_EQ(7u, POSITION(ITavrinBankVtbl, get_Name));
    EXPECT_EQ(8u, POSITION(ITavrinBankVtbl, get_Services));
    EXPECT_EQ(9u, POSITION(ITavrinBankVtbl, get_Kind));
    EXPECT_EQ(10u, POSITION(ITavrinBankVtbl, EditSettings));
    EXPECT_EQ(7u, POSITION(ITavrinBankServicesVtbl, get_Item));
    EXPECT_EQ(8u, POSITION(ITavrinBankServicesVtbl, get_Count));
    EXPECT_EQ(9u, POSITION(ITavrinBankServicesVtbl, get__NewEnum));
    EXPECT_EQ(7u, POSITION(ITavrinBankPaymentServiceVtbl, get_Name));
    EXPECT_EQ(8u, POSITION(ITavrinBankPaymentServiceVtbl, get_Status));
    EXPECT_EQ(9u, POSITION(ITavrinBankPaymentServiceVtbl, put_Status));
    EXPECT_EQ(10u, POSITION(ITavrinBankPaymentServiceVtbl, Reserved1));
    EXPECT_EQ(11u, POSITION(ITavrinBankPaymentServiceVtbl, Reserved2));
    EXPECT_EQ(12u, POSITION(ITavrinBankPaymentServiceVtbl, GetResultMessage));
    EXPECT_EQ(13u, POSITION(ITavrinBankPaymentServiceVtbl, ProcessPayments));
    EXPECT_EQ(3u, POSITION(IBankSubCategoryVtbl, get_SubCategory));
}
