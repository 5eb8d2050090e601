#include "dialog/CSepaInfoPresenter.h"

#include "SepaInfoFakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kPast = "The Requested Execution Date must not be before today.";
const std::string kTooFar = "The Requested Execution Date cannot be more than 60 days in the future.";
const std::string kWeekend = "The Requested Execution Date must be a working day (Monday to Friday).";
const std::string kOin =
    "Please supply a valid OIN; this will be provided by your bank.\n"
    "        * OIN must contain at least 6 characters.\n"
    "        * Characters allowed are A-Z and 0-9.";
const std::string kPath = "Please supply a valid file name & location for generated payments file.";

using Messages = std::vector<std::string>;

// An OIN typed into the field, whether the rules let it pass, and why.
struct OinCase {
    std::string oin;
    bool valid;
    const char* why;
};

// A dialog filled with values that pass every rule on a fixed day, so each
// test changes only what it is about.
class DialogInputRules : public PresenterTest {
protected:
    void SetUp() override
    {
        view.date = MakeDate(2024, 5, 15, 9, 0, 0);
        view.oin = "DE98ZZZ09999999999";
        view.filePath = "C:\\Payments\\BOV.xml";
    }

    // Runs one validation and returns the messages shown for it (none when it passed).
    std::vector<std::string> Validate()
    {
        const std::size_t shownBefore = view.shownErrors.size();
        const std::size_t writesBefore = model.writes.size();
        const bool stored = presenter.ValidateAndStore();
        if (view.shownErrors.size() == shownBefore) {
            EXPECT_TRUE(stored);
            EXPECT_EQ(writesBefore + 3, model.writes.size()) << "all three values stored";
            return {};
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(shownBefore + 1, view.shownErrors.size()) << "errors shown more than once";
        EXPECT_EQ(writesBefore, model.writes.size()) << "a failed validation wrote to the model";
        return view.shownErrors.back();
    }

    // Each OIN in the otherwise valid dialog either passes or fails with the OIN message alone.
    void ExpectOinVerdicts(const std::vector<OinCase>& cases)
    {
        for (const OinCase& c : cases) {
            view.oin = c.oin;
            EXPECT_EQ(c.valid ? Messages{} : Messages{kOin}, Validate()) << c.why;
        }
    }
};

TEST_F(DialogInputRules, TodayPassesWhateverTheTimeOfDayOfEitherSide)
{
    const DATE dates[] = {MakeDate(2024, 5, 15, 0, 0, 0), MakeDate(2024, 5, 15, 23, 59, 59)};
    const DATE clocks[] = {MakeDate(2024, 5, 15, 0, 0, 0), MakeDate(2024, 5, 15, 23, 59, 59)};
    for (DATE date : dates) {
        for (DATE clock : clocks) {
            view.date = date;
            now = clock;
            EXPECT_EQ(Messages{}, Validate()) << "date " << date << " clock " << clock;
        }
    }
}

TEST_F(DialogInputRules, YesterdayFailsOnlyTheFirstRule)
{
    view.date = MakeDate(2024, 5, 14, 23, 59, 59); // a Tuesday
    EXPECT_EQ(Messages{kPast}, Validate());
}

TEST_F(DialogInputRules, SixtyDaysAheadIsTheLastDayAllowed)
{
    now = MakeDate(2024, 5, 12, 23, 0, 0); // a Sunday, so +60 and +61 are weekdays
    view.date = MakeDate(2024, 7, 11, 23, 59, 59);
    EXPECT_EQ(Messages{}, Validate());

    view.date = MakeDate(2024, 7, 12, 0, 0, 0);
    EXPECT_EQ(Messages{kTooFar}, Validate());
}

TEST_F(DialogInputRules, WeekendsFailTheWorkingDayRuleAfterTheDateRules)
{
    view.date = MakeDate(2024, 5, 11, 12, 0, 0); // Saturday in the past
    EXPECT_EQ((Messages{kPast, kWeekend}), Validate());

    now = MakeDate(2024, 5, 12, 10, 0, 0);
    view.date = MakeDate(2024, 7, 21, 10, 0, 0); // Sunday, 70 days ahead
    EXPECT_EQ((Messages{kTooFar, kWeekend}), Validate());

    view.date = MakeDate(2024, 5, 18, 10, 0, 0); // Saturday, in range
    EXPECT_EQ(Messages{kWeekend}, Validate());
}

TEST_F(DialogInputRules, ClockIsReadAgainOnEveryValidation)
{
    now = MakeDate(2024, 5, 15, 23, 59, 59);
    view.oin = "X"; // the first press fails, so the dialog stays open
    EXPECT_EQ(Messages{kOin}, Validate());

    now = MakeDate(2024, 5, 16, 0, 0, 1);
    view.oin = "ABCDEF";
    EXPECT_EQ(Messages{kPast}, Validate());
}

TEST_F(DialogInputRules, UnreadableDateFieldIsRejected)
{
    class SilentDateView : public RecordingView {
    public:
        bool GetExecutionDate(DATE*) override { return false; }
    } silentView;
    silentView.oin = view.oin;
    silentView.filePath = view.filePath;
    CSepaInfoPresenter silentPresenter(&silentView, &model, [this] { return now; });

    EXPECT_FALSE(silentPresenter.ValidateAndStore());
    ASSERT_EQ(1u, silentView.shownErrors.size());
    EXPECT_EQ((Messages{kPast, kWeekend}), silentView.shownErrors[0]);
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(DialogInputRules, OinLengthCountsTheTrimmedText)
{
    ExpectOinVerdicts({
        {"ABCDE", false, "5 characters"},
        {"ABCDEF", true, "6 characters"},
        {"  ABCDE  ", false, "5 characters once the blanks are gone"},
        {"\tABCDE\t", false, "tabs are trimmed too"},
        {std::string(35, '7'), true, "35 characters"},
        {std::string(36, '7'), false, "36 characters"},
        {"  " + std::string(35, 'q') + "  ", true, "35 characters inside blanks"},
        {"", false, "empty"},
        {"      ", false, "spaces only"},
    });
}

TEST_F(DialogInputRules, OinAllowsAsciiLettersDigitsAndElevenSymbols)
{
    ExpectOinVerdicts({
        {"abcxyzABCXYZ0189", true, "letters of either case and digits"},
        {"A /-?:().,+'9", true, "every allowed symbol"},
        {"ABC DEF", true, "an inner space"},
        {"ABC_DEF", false, "underscore"},
        {"ABC&DEF", false, "ampersand"},
        {"ABC\xE9"
         "DEF",
         false,
         "accented letter (e acute in Windows-1252)"},
        {"ABC\xC3\xA9"
         "DEF",
         false,
         "accented letter as UTF-8 bytes"},
        {"ABC\tDEF", false, "tab between other characters"},
        {"ABC\nDEF", false, "line feed"},
        {"ABC*DEF", false, "asterisk"},
        {"ABC\"DEF", false, "double quote"},
        {"ABC@DEF", false, "at sign"},
        {"ABC;DEF", false, "semicolon"},
        {"ABC\x80"
         "DEF",
         false,
         "byte 0x80"},
        {"ABC\xFF"
         "DEF",
         false,
         "byte 0xFF"},
        {std::string("ABC\0DEF", 7), false, "embedded NUL"},
    });
}

TEST_F(DialogInputRules, BlankSavePathFailsTheLastRule)
{
    for (const char* blank : {"", "   ", "\t \t"}) {
        view.filePath = blank;
        EXPECT_EQ(Messages{kPath}, Validate()) << "path '" << blank << "'";
    }
}

TEST_F(DialogInputRules, SavePathIsNotCheckedBeyondBeingPresent)
{
    view.filePath = "Q:\\no such folder\\payments";
    EXPECT_EQ(Messages{}, Validate());
    EXPECT_EQ("Q:\\no such folder\\payments", model.filePath);
}

TEST_F(DialogInputRules, AllFiveRulesReportInOrder)
{
    view.date = MakeDate(2024, 5, 11, 8, 0, 0); // Saturday, in the past
    view.oin = "AB_";
    view.filePath = " ";
    // Rules 1 and 2 cannot both fail against one clock reading, but each rule
    // reads the clock: here the system clock is set back in between.
    int reads = 0;
    CSepaInfoPresenter jumpyPresenter(&view, &model, [&reads] {
        return ++reads % 2 == 1 ? MakeDate(2024, 5, 12, 0, 0, 0) : MakeDate(2023, 12, 1, 0, 0, 0);
    });

    EXPECT_FALSE(jumpyPresenter.ValidateAndStore());
    ASSERT_EQ(1u, view.shownErrors.size());
    EXPECT_EQ((Messages{kPast, kTooFar, kWeekend, kOin, kPath}), view.shownErrors[0]);
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(DialogInputRules, NothingReachesTheModelWhenAnyRuleFails)
{
    model.date = MakeDate(2024, 6, 3);
    model.oin = "ORIGINAL";
    model.filePath = "C:\\original.xml";

    view.oin = "AB";
    EXPECT_EQ(Messages{kOin}, Validate());
    view.oin = "ABCDEF";
    view.filePath = "  ";
    EXPECT_EQ(Messages{kPath}, Validate());
    view.filePath = "C:\\new.xml";
    view.date = MakeDate(2024, 5, 19);
    EXPECT_EQ(Messages{kWeekend}, Validate());

    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ(MakeDate(2024, 6, 3), model.date);
    EXPECT_EQ("ORIGINAL", model.oin);
    EXPECT_EQ("C:\\original.xml", model.filePath);
}
} // namespace
