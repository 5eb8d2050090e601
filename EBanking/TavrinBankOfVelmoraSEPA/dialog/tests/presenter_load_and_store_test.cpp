#include "dialog/CSepaInfoPresenter.h"

#include "SepaInfoFakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Calls = std::vector<std::string>;

class PresenterLoadAndStore : public PresenterTest {};

TEST_F(PresenterLoadAndStore, LoadCopiesTheModelIntoTheFieldsInOrder)
{
    model.date = MakeDate(2024, 5, 17, 11, 30, 0);
    model.oin = "ab-12 cd";
    model.filePath = "C:\\Payments\\BOV20240515.xml";

    presenter.LoadValues();

    EXPECT_EQ((Calls{"SetExecutionDate", "SetOin", "SetFilePath"}), view.calls);
    EXPECT_EQ(MakeDate(2024, 5, 17, 11, 30, 0), view.date);
    EXPECT_EQ(L"ab-12 cd", view.oin);
    EXPECT_EQ(L"C:\\Payments\\BOV20240515.xml", view.filePath);
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(PresenterLoadAndStore, LoadShowsValuesTheRulesWouldRejectUnchanged)
{
    model.date = MakeDate(2001, 1, 6); // a Saturday long past
    model.oin = std::string(40, 'Z');
    model.filePath = "";

    presenter.LoadValues();

    EXPECT_EQ(MakeDate(2001, 1, 6), view.date);
    EXPECT_EQ(std::wstring(40, L'Z'), view.oin);
    EXPECT_EQ(L"", view.filePath);
}

TEST_F(PresenterLoadAndStore, StoresTrimmedTextAsTypedAndTheDateAsRead)
{
    view.date = MakeDate(2024, 5, 20, 13, 14, 15);
    view.oin = L"  ab-12 cd  ";
    view.filePath = L" \tC:\\Payments\\my file.xml\t ";

    EXPECT_TRUE(presenter.ValidateAndStore());

    EXPECT_TRUE(view.shownErrors.empty());
    EXPECT_EQ((Calls{"SetOin", "SetFilePath", "SetExecutionDate"}), model.writes);
    EXPECT_EQ("ab-12 cd", model.oin);
    EXPECT_EQ("C:\\Payments\\my file.xml", model.filePath);
    EXPECT_EQ(MakeDate(2024, 5, 20, 13, 14, 15), model.date) << "the time of day is kept";
}

TEST_F(PresenterLoadAndStore, CorrectedInputIsStoredWholeOnTheNextPress)
{
    view.date = MakeDate(2024, 5, 21);
    view.oin = L"short";
    view.filePath = L"C:\\\u0141.xml"; // L with stroke, which Windows-1252 has not
    EXPECT_FALSE(presenter.ValidateAndStore());
    EXPECT_TRUE(model.writes.empty());

    view.oin = L"long enough";
    view.filePath = L"C:\\a.xml";
    EXPECT_TRUE(presenter.ValidateAndStore());
    EXPECT_EQ(3u, model.writes.size());
    EXPECT_EQ("long enough", model.oin);
    EXPECT_EQ("C:\\a.xml", model.filePath);
    EXPECT_EQ(MakeDate(2024, 5, 21), model.date);
    EXPECT_EQ(1u, view.shownErrors.size()) << "the passing press shows nothing";
}

TEST_F(PresenterLoadAndStore, NeverAsksForAWarning)
{
    view.date = MakeDate(2024, 5, 11);
    view.oin = L"";
    view.filePath = L"";
    presenter.ValidateAndStore();
    view.date = MakeDate(2024, 5, 16);
    view.oin = L"ABCDEF";
    view.filePath = L"x";
    presenter.ValidateAndStore();

    for (const std::string& call : view.calls)
        EXPECT_NE("ShowWarning", call);
}

TEST(TrimBlanks, RemovesOnlyOuterSpacesAndTabs)
{
    struct Case {
        const char* text;
        const char* trimmed;
    };
    const Case cases[] = {
        {"", ""},
        {" \t \t", ""},
        {"  a b  ", "a b"},
        {"\ta\t", "a"},
        {"\na\n", "\na\n"}, // line feeds stay
        {" \r\nx\r\n ", "\r\nx\r\n"},
        {"\xA0x\xA0", "\xA0x\xA0"}, // no-break space is not a blank
        {"a", "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.trimmed, CSepaInfoPresenter::TrimBlanks(c.text)) << "'" << c.text << "'";
}

TEST(IsOinSymbol, AcceptsExactlyElevenCharacters)
{
    std::string accepted;
    for (int c = 0; c < 256; ++c) {
        if (CSepaInfoPresenter::IsOinSymbol(static_cast<char>(c))) accepted += static_cast<char>(c);
    }
    EXPECT_EQ(" '()+,-./:?", accepted);
}
} // namespace
