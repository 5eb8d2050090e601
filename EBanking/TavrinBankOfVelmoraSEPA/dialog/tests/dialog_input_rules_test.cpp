#include "dialog/CSepaInfoPresenter.h"

#include "SepaInfoFakes.h"

#include <gtest/gtest.h>

#include <cwchar>
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
const std::string kPathTooLong = "The file name and location are too long: use at most 32,767 characters.";
const std::string kPathCharacters = "The file name and location cannot contain these characters: ";

using Messages = std::vector<std::string>;

// An OIN typed into the field, whether the rules let it pass, and why.
struct OinCase {
    std::wstring oin;
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
        view.oin = L"DE98ZZZ09999999999";
        view.filePath = L"C:\\Payments\\BOV.xml";
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
    view.oin = L"X"; // the first press fails, so the dialog stays open
    EXPECT_EQ(Messages{kOin}, Validate());

    now = MakeDate(2024, 5, 16, 0, 0, 1);
    view.oin = L"ABCDEF";
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
        {L"ABCDE", false, "5 characters"},
        {L"ABCDEF", true, "6 characters"},
        {L"  ABCDE  ", false, "5 characters once the blanks are gone"},
        {L"\tABCDE\t", false, "tabs are trimmed too"},
        {std::wstring(35, L'7'), true, "35 characters"},
        {std::wstring(36, L'7'), false, "36 characters"},
        {L"  " + std::wstring(35, L'q') + L"  ", true, "35 characters inside blanks"},
        {L"", false, "empty"},
        {L"      ", false, "spaces only"},
    });
}

TEST_F(DialogInputRules, OinAllowsAsciiLettersDigitsAndElevenSymbols)
{
    ExpectOinVerdicts({
        {L"abcxyzABCXYZ0189", true, "letters of either case and digits"},
        {L"A /-?:().,+'9", true, "every allowed symbol"},
        {L"ABC DEF", true, "an inner space"},
        {L"ABC_DEF", false, "underscore"},
        {L"ABC&DEF", false, "ampersand"},
        {L"ABC\u00E9DEF", false, "accented letter"},
        {L"\uFF21\uFF22\uFF23\uFF24\uFF25\uFF26", false, "full-width letters, whose look-alikes would pass"},
        {L"ABC\tDEF", false, "tab between other characters"},
        {L"ABC\nDEF", false, "line feed"},
        {L"ABC*DEF", false, "asterisk"},
        {L"ABC\"DEF", false, "double quote"},
        {L"ABC@DEF", false, "at sign"},
        {L"ABC;DEF", false, "semicolon"},
        {L"ABC\u20ACDEF", false, "euro sign"},
        {L"ABC\u00FFDEF", false, "y with diaeresis"},
        {std::wstring(L"ABC\0DEF", 7), false, "embedded NUL"},
    });
}

TEST_F(DialogInputRules, BlankSavePathFailsTheLastRule)
{
    for (const wchar_t* blank : {L"", L"   ", L"\t \t"}) {
        view.filePath = blank;
        EXPECT_EQ(Messages{kPath}, Validate()) << "a path of " << std::wcslen(blank) << " blanks";
    }
}

TEST_F(DialogInputRules, SavePathToAMissingFolderPasses)
{
    view.filePath = L"Q:\\no such folder\\payments";
    EXPECT_EQ(Messages{}, Validate());
    EXPECT_EQ("Q:\\no such folder\\payments", model.filePath);
}

// A character the process's code page cannot hold as itself would reach the file system as a
// look-alike or as the default character: another name, or another folder for a look-alike of
// a separator. Windows-1252 here, the code page of the tests' Wine prefix.
TEST_F(DialogInputRules, SavePathsTheCodePageCannotHoldAreRefusedNamingTheCharacters)
{
    ASSERT_EQ(1252u, GetACP()) << "the cases below are for Windows-1252";
    struct PathCase {
        std::wstring path;
        std::string characters; // UTF-8
    };
    const PathCase cases[] = {
        {L"sp\\sub\\\uFF0E\uFF0E\uFF0Fescaped.xml", "\xEF\xBC\x8E \xEF\xBC\x8F"}, // full-width dots, solidus
        {L"C:\\\u0141\u00F3d\u017A.xml", "\xC5\x81 \xC5\xBA"},                    // L and z with strokes; o acute fits
        {L"\u0101.xml", "\xC4\x81"},                                              // a with macron
        {L"C:\\\U0001F4B0\U0001F4B0.xml", "\xF0\x9F\x92\xB0"},                    // a surrogate pair, named once
    };
    for (const PathCase& c : cases) {
        view.filePath = c.path;
        EXPECT_EQ(Messages{kPathCharacters + c.characters}, Validate()) << c.characters;
    }
    EXPECT_EQ("", model.filePath);
}

TEST_F(DialogInputRules, SavePathsLongerThanWindowsTakesAreRefused)
{
    const std::wstring longest = L"C:\\" + std::wstring(CSepaInfoPresenter::kMaxFilePathLength - 3, L'p');
    view.filePath = longest + L"q";
    EXPECT_EQ(Messages{kPathTooLong}, Validate());
    view.filePath = longest;
    EXPECT_EQ(Messages{}, Validate());
    EXPECT_EQ(CSepaInfoPresenter::kMaxFilePathLength, model.filePath.size());
}

// The path goes to the system's narrow file calls, which read the process's code page, not the
// thread's: here the thread's is Windows-1251, which has no e acute.
TEST_F(DialogInputRules, SavePathsAreJudgedAndStoredInTheProcessCodePage)
{
    const LCID previous = GetThreadLocale();
    ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
    char cyrillic = 0;
    WideCharToMultiByte(CP_THREAD_ACP, 0, L"\u0439", 1, &cyrillic, 1, nullptr, nullptr);
    view.filePath = L"C:\\caf\u00E9.xml";
    const Messages shown = Validate();
    SetThreadLocale(previous);

    ASSERT_EQ('\xE9', cyrillic) << "the thread's code page is Windows-1251";
    EXPECT_EQ(Messages{}, shown);
    EXPECT_EQ("C:\\caf\xE9.xml", model.filePath);
}

TEST_F(DialogInputRules, AllFiveRulesReportInOrder)
{
    view.date = MakeDate(2024, 5, 11, 8, 0, 0); // Saturday, in the past
    view.oin = L"AB_";
    view.filePath = L" ";
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

    view.oin = L"AB";
    EXPECT_EQ(Messages{kOin}, Validate());
    view.oin = L"ABCDEF";
    view.filePath = L"  ";
    EXPECT_EQ(Messages{kPath}, Validate());
    view.filePath = L"C:\\new.xml";
    view.date = MakeDate(2024, 5, 19);
    EXPECT_EQ(Messages{kWeekend}, Validate());

    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ(MakeDate(2024, 6, 3), model.date);
    EXPECT_EQ("ORIGINAL", model.oin);
    EXPECT_EQ("C:\\original.xml", model.filePath);
}
} // namespace
