// The adapter between the run's model, which speaks BSTR, and the dialog,
// which speaks narrow text. Windows only.
#include "dialog/CSepaInfoModelAdapter.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Shaped like the run's model: the OIN as a BSTR the caller owns or hands over.
class BstrModel {
public:
    std::wstring oin;
    bool nullOin = false;
    std::string path = "C:\\out.xml";
    int oinFreed = 0;

    DATE GetExecutionDate() { return date; }
    void SetExecutionDate(DATE value) { date = value; }
    BSTR GetOin() { return nullOin ? nullptr : SysAllocStringLen(oin.data(), static_cast<UINT>(oin.size())); }
    void SetOin(BSTR value)
    {
        oin.assign(value, SysStringLen(value));
        SysFreeString(value);
        ++oinFreed;
    }
    std::string GetFilePath() { return path; }
    void SetFilePath(const char* value) { path = value; }
    std::string GetFileExtension() { return "xml"; }
    void SetFileToReplace(const std::optional<FileIdentity>&) {}

    DATE date = 0.0;
};

TEST(SepaInfoModelAdapter, ConvertsTheOinBothWays)
{
    BstrModel model;
    CSepaInfoModelAdapter<BstrModel> adapter(model);

    model.oin = L"ab-12 cd";
    EXPECT_EQ("ab-12 cd", adapter.GetOin());

    adapter.SetOin("XY/123 (9)");
    EXPECT_EQ(L"XY/123 (9)", model.oin);
    EXPECT_EQ(1, model.oinFreed);

    adapter.SetOin("");
    EXPECT_EQ(L"", model.oin);

    model.nullOin = true;
    EXPECT_EQ("", adapter.GetOin()) << "a null BSTR is empty text";
}

TEST(SepaInfoModelAdapter, PassesDatesAndPathsThrough)
{
    BstrModel model;
    CSepaInfoModelAdapter<BstrModel> adapter(model);

    adapter.SetExecutionDate(45427.625);
    EXPECT_EQ(45427.625, model.date);
    EXPECT_EQ(45427.625, adapter.GetExecutionDate());

    adapter.SetFilePath("D:\\payments\\file.xml");
    EXPECT_EQ("D:\\payments\\file.xml", model.path);
    EXPECT_EQ("D:\\payments\\file.xml", adapter.GetFilePath());
    EXPECT_EQ("xml", adapter.GetFileExtension());
}
} // namespace
