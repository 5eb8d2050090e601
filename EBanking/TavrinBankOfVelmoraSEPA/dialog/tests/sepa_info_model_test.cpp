// The payment details model over the host's batch: the execution date and the OIN live in the
// first payment, the default date skips the weekend, and nothing else of the batch is touched.
#include "dialog/SepaInfoModel.h"

#include "HostObjects.h"
#include "common/tests/TestDates.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

using tavrin_host::HostIdentification;
using tavrin_host::HostPayment;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;
using tavrin_host::TotalRefCount;

namespace {

std::wstring Take(BSTR value)
{
    std::wstring text = value ? std::wstring(value, SysStringLen(value)) : L"(null)";
    SysFreeString(value);
    return text;
}

class SepaInfoModel : public testing::Test {
protected:
    void SetUp() override
    {
        first = &batch->Add();
        second = &batch->Add();
        second->executionDate = 41000.0;
        second->SetOin(L"SECOND");
    }

    CSepaInfoModel Model(SYSTEMTIME now = LocalTime(2024, 5, 15, 10, 30, 0))
    {
        return CSepaInfoModel(batch.get(), "C:\\Payments\\BOV20240515083000PAIN001.xml", "xml", [now] { return now; });
    }

    // The second payment must never be read or written by the model.
    void ExpectSecondUntouched()
    {
        EXPECT_EQ(41000.0, second->executionDate);
        ASSERT_EQ(1u, second->identifications->entries.size());
        EXPECT_EQ(L"SECOND", second->Oin());
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    HostPayment* first = nullptr;
    HostPayment* second = nullptr;
};

TEST_F(SepaInfoModel, WithoutADateTheDefaultIsNowOnWeekdaysAndMondayAtTheWeekend)
{
    struct Case {
        SYSTEMTIME now;
        SYSTEMTIME expected;
        const char* condition;
    };
    const Case cases[] = {
        {LocalTime(2024, 5, 15, 10, 30, 0), LocalTime(2024, 5, 15, 10, 30, 0), "a Wednesday stays"},
        {LocalTime(2024, 5, 17, 23, 59, 59), LocalTime(2024, 5, 17, 23, 59, 59), "a Friday night stays"},
        {LocalTime(2024, 5, 18, 8, 15, 30), LocalTime(2024, 5, 20, 8, 15, 30), "a Saturday moves two days"},
        {LocalTime(2024, 5, 19, 0, 0, 1), LocalTime(2024, 5, 20, 0, 0, 1), "a Sunday moves one day"},
        {LocalTime(2016, 12, 31, 12, 0, 0), LocalTime(2017, 1, 2, 12, 0, 0), "across the end of a year"},
        {LocalTime(2024, 3, 2, 9, 0, 0), LocalTime(2024, 3, 4, 9, 0, 0), "across the end of February in a leap year"},
    };
    for (const Case& c : cases) {
        SYSTEMTIME now = c.now;
        now.wDayOfWeek = 3; // the weekday comes from the date, not from this field
        EXPECT_DOUBLE_EQ(DateOf(c.expected), Model(now).GetExecutionDate()) << c.condition;
    }
    EXPECT_EQ(0.0, first->executionDate) << "reading the default stores nothing";
    ExpectSecondUntouched();
}

TEST_F(SepaInfoModel, AStoredDateIsReadBackUnchangedEvenWhenPast)
{
    CSepaInfoModel model = Model();
    first->executionDate = 36526.75; // 1 January 2000, 18:00
    EXPECT_EQ(36526.75, model.GetExecutionDate());

    model.SetExecutionDate(45432.5);
    EXPECT_EQ(45432.5, first->executionDate);
    EXPECT_EQ(45432.5, model.GetExecutionDate());

    first->Faults().Fail("get_ExecutionDate");
    EXPECT_DOUBLE_EQ(MakeDate(2024, 5, 15, 10, 30, 0), model.GetExecutionDate())
        << "a date the host cannot deliver reads as the default";
    ExpectSecondUntouched();
}

TEST_F(SepaInfoModel, TheOinIsTheFirstEntryNamedExactlyOther)
{
    CSepaInfoModel model = Model();
    EXPECT_EQ(L"", Take(model.GetOin())) << "no entries: an empty string, not a null one";

    auto& entries = first->identifications->entries;
    entries.push_back(HostIdentification::Create(L"other", L"LOWER"));
    entries.push_back(HostIdentification::Create(L"Other ", L"BLANK"));
    entries.push_back(HostIdentification::Create(std::wstring(L"Other\0X", 7), L"LONGER"));
    EXPECT_EQ(L"", Take(model.GetOin())) << "names must match exactly";

    entries.push_back(HostIdentification::Create(L"Other", L"FIRST"));
    entries.push_back(HostIdentification::Create(L"Other", L"SECOND OTHER"));
    EXPECT_EQ(L"FIRST", Take(model.GetOin()));

    model.SetOin(SysAllocString(L"UPDATED"));
    EXPECT_EQ(L"UPDATED", entries[3]->value);
    EXPECT_EQ(L"SECOND OTHER", entries[4]->value);
    EXPECT_EQ(5u, entries.size());
    EXPECT_EQ(L"LOWER", entries[0]->value);
    ExpectSecondUntouched();
}

TEST_F(SepaInfoModel, SettingTheOinAddsOneEntryAndThenUpdatesIt)
{
    CSepaInfoModel model = Model();
    first->identifications->entries.push_back(HostIdentification::Create(L"Tax", L"T-1"));

    model.SetOin(SysAllocString(L"VELMORA-1"));
    ASSERT_EQ(2u, first->identifications->entries.size());
    EXPECT_EQ(L"Other", first->identifications->entries[1]->name);
    EXPECT_EQ(L"VELMORA-1", first->identifications->entries[1]->value);

    model.SetOin(SysAllocString(L"VELMORA-2"));
    EXPECT_EQ(2u, first->identifications->entries.size());
    EXPECT_EQ(L"VELMORA-2", Take(model.GetOin()));

    model.SetOin(nullptr);
    EXPECT_EQ(L"", Take(model.GetOin())) << "a null OIN empties the entry";
    ExpectSecondUntouched();
}

TEST_F(SepaInfoModel, AFirstPaymentTheHostCannotDeliverGivesDefaultsAndStoresNothing)
{
    first->SetOin(L"KEPT");
    first->executionDate = 41500.0;
    batch->failingItem = 0;
    CSepaInfoModel model = Model(LocalTime(2024, 5, 18, 8, 0, 0));

    EXPECT_EQ(L"", Take(model.GetOin()));
    EXPECT_DOUBLE_EQ(MakeDate(2024, 5, 20, 8, 0, 0), model.GetExecutionDate());
    model.SetOin(SysAllocString(L"LOST"));
    model.SetExecutionDate(1.0);

    batch->failingItem = -1;
    EXPECT_EQ(L"KEPT", first->Oin());
    EXPECT_EQ(41500.0, first->executionDate);
    ExpectSecondUntouched();
}

TEST_F(SepaInfoModel, WithoutTheExtendedInterfaceOrAnIdentificationListThereIsNoOin)
{
    HostRef<HostPaymentBatch> plain = HostPaymentBatch::Create();
    HostPayment& payment = plain->Add(false);
    payment.SetOin(L"HIDDEN");
    CSepaInfoModel model(plain.get(), "", "xml", [] { return LocalTime(2024, 5, 15, 10, 30, 0); });
    EXPECT_EQ(L"", Take(model.GetOin()));
    model.SetOin(SysAllocString(L"LOST"));
    EXPECT_EQ(1u, payment.identifications->entries.size());

    first->Faults().Fail("get_Identifications");
    CSepaInfoModel withoutList = Model();
    first->SetOin(L"HIDDEN");
    EXPECT_EQ(L"", Take(withoutList.GetOin()));
    withoutList.SetOin(SysAllocString(L"LOST"));
    EXPECT_EQ(L"HIDDEN", first->Oin());
}

TEST_F(SepaInfoModel, EveryHostReferenceIsGivenBack)
{
    first->SetOin(L"OIN");
    const ULONG before = TotalRefCount(*batch);
    {
        CSepaInfoModel model = Model();
        Take(model.GetOin());
        model.SetOin(SysAllocString(L"NEW"));
        model.GetExecutionDate();
        model.SetExecutionDate(45000.0);
    }
    HostRef<HostPaymentBatch> withoutOther = HostPaymentBatch::Create();
    withoutOther->Add();
    const ULONG beforeAdding = TotalRefCount(*withoutOther);
    CSepaInfoModel adding(withoutOther.get(), "", "xml");
    adding.SetOin(SysAllocString(L"ADDED"));
    EXPECT_EQ(before, TotalRefCount(*batch));
    // The added entry is held once, by its list.
    EXPECT_EQ(beforeAdding + 1, TotalRefCount(*withoutOther));
}

TEST_F(SepaInfoModel, ThePathIsTheRunsUntilSetAndTheExtensionNeverChanges)
{
    CSepaInfoModel model = Model();
    EXPECT_EQ("C:\\Payments\\BOV20240515083000PAIN001.xml", model.GetFilePath());
    model.SetFilePath("D:\\Bank\\chosen.xml");
    EXPECT_EQ("D:\\Bank\\chosen.xml", model.GetFilePath());
    model.SetFilePath(nullptr);
    EXPECT_EQ("", model.GetFilePath());
    EXPECT_EQ("xml", model.GetFileExtension());
}

} // namespace
