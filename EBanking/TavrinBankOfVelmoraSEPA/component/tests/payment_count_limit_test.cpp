// A batch with more payments than one credit transfer file can number is refused before the
// payment details are asked for: the file it would give could never be valid.
#include "common/ComObject.h"
#include "component/BankPaymentService.h"
#include "component/PaymentCountLimit.h"

#include "HostObjects.h"
#include "PaymentServiceFixture.h"
#include "HostSettingsFixture.h"
#include "PaymentFileTestSupport.h"
#include "PaymentRunDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace tavrin_host;

namespace {

const wchar_t kCaption[] = L"Too many payments";
const wchar_t kText[] =
    L"The batch holds more payments than one SEPA Credit Transfer File can take.\n\n"
    L"At most 99,999 payments fit in one file. Please split the batch and try again.";

// A batch that only counts: the limit looks at nothing else.
class CountingBatch : public HostObject<CountingBatch, IPaymentBatch> {
public:
    static HostRef<CountingBatch> Create(LONG count)
    {
        HostRef<CountingBatch> batch(new CountingBatch);
        batch->count = count;
        return batch;
    }
    IUnknown* FindInterface(REFIID riid)
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IPaymentBatch))
            return static_cast<IPaymentBatch*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE get_Item(LONG, IPayment** payment) override
    {
        if (payment) *payment = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* out) override
    {
        HOST_FAIL_IF("get_Count");
        *out = count;
        return S_OK;
    }
    LONG count = 0;
};

class LargeBatchRun : public PaymentRunTest {
protected:
    void AddPayments(int count)
    {
        batch->payments.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            paymentfile::AddValidPayment(*batch, L"Velmora Supplies", 1.0 + i % 100, i == 0 ? L"Batch" : L"INV 2013");
        }
        batch->payments[0]->SetOin(L"VELMORA-OIN-0042");
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
};

// The texts of every element of this name in a file as written, in file order.
std::vector<std::string> ElementTexts(const std::string& bytes, const std::string& name)
{
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    std::vector<std::string> texts;
    for (size_t at = bytes.find(open); at != std::string::npos; at = bytes.find(open, at)) {
        at += open.size();
        const size_t end = bytes.find(close, at);
        if (end == std::string::npos) break;
        texts.push_back(bytes.substr(at, end - at));
    }
    return texts;
}

} // namespace

TEST(PaymentCountLimit, OneFileHoldsUpToNinetyNineThousandNineHundredNinetyNinePayments)
{
    struct Case {
        LONG count;
        bool refused;
    };
    const Case cases[] = {
        {0, false},
        {1, false},
        {99999, false},
        {100000, true},
        {LONG_MAX, true},
        {-1, false}, // a nonsensical count is the writer's to deal with: it writes nothing
    };
    for (const Case& c : cases) {
        HostRef<CountingBatch> batch = CountingBatch::Create(c.count);
        EXPECT_EQ(c.refused, HasMorePaymentsThanOneFileHolds(batch.get())) << c.count;
        EXPECT_EQ(1u, batch->RefCount());
    }
    EXPECT_FALSE(HasMorePaymentsThanOneFileHolds(nullptr));
}

TEST(PaymentCountLimit, ABatchThatCannotCountIsNotRefusedHere)
{
    HostRef<CountingBatch> batch = CountingBatch::Create(200000);
    batch->Faults().Fail("get_Count");
    EXPECT_FALSE(HasMorePaymentsThanOneFileHolds(batch.get()));
}

TEST_F(LargeBatchRun, AHundredThousandPaymentsAreCheckedThenRefusedWithoutAFile)
{
    AddPayments(100000);
    const ULONG references = TotalRefCount(*batch);
    const LONG settingsCalls = settings.Calls().getCalls;

    const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch);

    EXPECT_EQ(S_OK, run.result);
    EXPECT_EQ(2, run.status) << "no file was created";
    EXPECT_FALSE(run.detailsConfirmed) << "the payment details must not be asked for";
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kCaption, run.boxes[0].caption);
    EXPECT_EQ(kText, run.boxes[0].text);
    EXPECT_TRUE(folder.Files().empty());
    EXPECT_EQ(settingsCalls, settings.Calls().getCalls) << "the run ends before it looks for a folder";
    // The checks ran first and their results stay with the host.
    EXPECT_EQ(0, batch->payments.front()->resultCode);
    EXPECT_EQ(0, batch->payments.back()->resultCode);
    EXPECT_EQ(references, TotalRefCount(*batch));
    EXPECT_EQ(0, settings.Calls().liveObjects);
}

TEST_F(LargeBatchRun, ARefusedBatchStillCarriesTheCodesOfItsFailedPayments)
{
    AddPayments(100000);
    batch->payments[99999]->payeeIban = L"not an IBAN";

    const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch);

    EXPECT_EQ(2, run.status);
    EXPECT_EQ(107, batch->payments[99999]->resultCode) << "the payee's IBAN failed its check";
    EXPECT_EQ(0, batch->payments[99998]->resultCode);
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(LargeBatchRun, NinetyNineThousandNineHundredNinetyNinePaymentsMakeOneFileWithNumbersThatFit)
{
    AddPayments(99999);
    const ULONG references = TotalRefCount(*batch);

    const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch);

    EXPECT_EQ(S_OK, run.result);
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(run.boxes.empty());
    const std::vector<std::string> files = folder.Files();
    ASSERT_EQ(1u, files.size());
    // Read as text: the engine takes most of a minute to load a file this size under Wine.
    const std::string bytes = paymentfile::ReadBytes(folder.File(files[0]));
    for (const char* element : {"InstrId", "EndToEndId"}) {
        const std::vector<std::string> values = ElementTexts(bytes, element);
        ASSERT_EQ(99999u, values.size()) << element;
        size_t longest = 0;
        for (const std::string& value : values)
            longest = std::max(longest, value.size());
        EXPECT_GE(35u, longest) << element;
        EXPECT_EQ("99999", values.back().substr(values.back().size() - 5)) << element;
    }
    EXPECT_EQ(references, TotalRefCount(*batch));
}

TEST_F(LargeBatchRun, ABatchWhoseCountFailsEndsWithoutAFileAndWithoutACrash)
{
    AddPayments(3);
    batch->Faults().Fail("get_Count");
    const ULONG references = TotalRefCount(*batch);

    const PaymentRunOutcome run = PaymentRunDriver(service).Run(*batch);

    EXPECT_EQ(S_OK, run.result);
    EXPECT_EQ(2, run.status);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(L"Failed to create file", run.boxes[0].caption) << "the writer cannot count the batch either";
    EXPECT_TRUE(folder.Files().empty());
    EXPECT_EQ(references, TotalRefCount(*batch));
    EXPECT_EQ(0, settings.Calls().liveObjects);
}
