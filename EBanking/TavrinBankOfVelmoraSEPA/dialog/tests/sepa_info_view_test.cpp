// Drives the real payment details dialog over a recording model: the dialog runs modally on the
// test thread while a second thread plays the user. Needs a display (Xvfb under Wine).
#include "dialog/SepaInfoView.h"

#include "common/CodePageText.h"
#include "PaymentDialogUser.h"
#include "SepaInfoFakes.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {
using tavrin_host::PaymentDialogUser;

const char kDialogCaption[] = "Bank of Velmora SEPA Payment Processing";
const char kAbandonCaption[] = "Processing Details";
const char kReplaceCaption[] = "File already exists";
const char kErrorsCaption[] = "Errors encountered";
const char kAbandonQuestion[] = "Are you sure you wish to abandon credit transfer?";

std::string TempFolder()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::string ReplaceQuestion(const std::string& path)
{
    return "The " + path +
           " file already exists. If you continue this file will be replaced.\n\nDo you wish to continue?";
}

class SepaInfoView : public ::testing::Test {
protected:
    DATE now = MakeDate(2010, 3, 3, 10, 0, 0); // a Wednesday
    RecordingModel model;
    std::string missingPath = TempFolder() + "sepa_view_test_missing.xml";
    std::string existingPath = TempFolder() + "sepa_view_test_existing.xml";

    void SetUp() override
    {
        model.date = MakeDate(2010, 3, 5, 14, 30, 0);
        model.oin = "ab-12 cd";
        model.filePath = missingPath;
        DeleteFileA(missingPath.c_str());
        if (FILE* file = std::fopen(existingPath.c_str(), "w")) std::fclose(file);
    }
    void TearDown() override { DeleteFileA(existingPath.c_str()); }

    // Shows the dialog while `play` acts as the user; returns the dialog's result.
    INT_PTR Run(std::function<void(PaymentDialogUser&, HWND)> play)
    {
        CSepaInfoView view(model, [this] { return now; });
        INT_PTR result = 0;
        tavrin_host::RunWithUser([&] { result = view.DoModal(GetActiveWindow()); }, std::move(play));
        return result;
    }
};

TEST_F(SepaInfoView, OpensWithTheModelsValuesAndOkStoresThemAndEndsWithOne)
{
    model.fileToReplace = IdentifyFile(existingPath);
    std::string caption, oin, path, dateText;
    SYSTEMTIME shown{};
    LRESULT bigIcon = 0;

    const INT_PTR result = Run([&](PaymentDialogUser&, HWND dialog) {
        caption = PaymentDialogUser::TextOf(dialog);
        oin = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_OIN));
        path = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_FILE_PATH));
        dateText = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_EXECUTION_DATE));
        SendMessageA(
            GetDlgItem(dialog, IDC_SEPA_EXECUTION_DATE), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
        bigIcon = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
        PaymentDialogUser::Press(dialog, IDOK);
    });

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(kDialogCaption, caption);
    EXPECT_EQ("ab-12 cd", oin);
    EXPECT_EQ(missingPath, path);
    EXPECT_EQ("05/03/2010", dateText) << "two-digit day and month, four-digit year";
    EXPECT_EQ(14, shown.wHour) << "the picker keeps the model's time of day";
    EXPECT_NE(0, bigIcon) << "the bank icon is set";
    EXPECT_EQ((std::vector<std::string>{"SetOin", "SetFilePath", "SetExecutionDate"}), model.writes);
    EXPECT_EQ(MakeDate(2010, 3, 5, 14, 30, 0), model.date) << "stored as read, time of day included";
    EXPECT_FALSE(model.fileToReplace) << "no file stood at the path: none may be replaced";
}

// Typing is capped at 35 characters, but a longer OIN from the host is shown whole; the rules
// then refuse it rather than store a shortened one.
TEST_F(SepaInfoView, TypingInTheOinFieldStopsAt35Characters)
{
    const std::string longOin(60, 'A');
    model.oin = longOin;
    std::string shownOin, firstErrors, typedOin;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        shownOin = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_OIN));
        PaymentDialogUser::Press(dialog, IDOK);
        firstErrors = user.AnswerMessageBox(kErrorsCaption, IDOK);

        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "");
        PaymentDialogUser::Type(dialog, IDC_SEPA_OIN, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd");
        typedOin = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_OIN));
        PaymentDialogUser::Press(dialog, IDOK);
    });

    EXPECT_EQ(longOin, shownOin);
    EXPECT_NE(std::string::npos, firstErrors.find("Please supply a valid OIN")) << firstErrors;
    EXPECT_EQ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXY", typedOin);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("0123456789ABCDEFGHIJKLMNOPQRSTUVWXY", model.oin);
}

TEST_F(SepaInfoView, ErrorsAreListedInOneBoxAndTheDialogStaysOpen)
{
    std::string errors;
    bool stillOpen = false;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "AB");
        PaymentDialogUser::SetField(dialog, IDC_SEPA_FILE_PATH, "   ");
        PaymentDialogUser::Press(dialog, IDOK);
        errors = user.AnswerMessageBox(kErrorsCaption, IDOK);
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        PaymentDialogUser::Press(dialog, IDCANCEL);
        user.AnswerMessageBox(kAbandonCaption, IDYES);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(
        "You must correct the following issues before continuing."
        "\n    * Please supply a valid OIN; this will be provided by your bank.\n"
        "        * OIN must contain at least 6 characters.\n"
        "        * Characters allowed are A-Z and 0-9."
        "\n    * Please supply a valid file name & location for generated payments file.",
        errors);
    EXPECT_TRUE(model.writes.empty());
}

// The save field holds one character more than the longest path accepted, so a longer one is
// refused rather than cut, and it keeps the user's UTF-16 text, so a look-alike of a separator
// is refused by name. On Windows only a Unicode field keeps the text as typed; Wine's edit
// control keeps Unicode text in an ANSI dialog too, so there the field's kind is checked on its
// own. A corrected path, longer than the platform's usual maximum, is then stored whole.
TEST_F(SepaInfoView, SavePathsTooLongOrBeyondTheCodePageAreRefusedUntilCorrected)
{
    const std::string longPath = "C:\\payments\\" + std::string(300, 'p') + ".xml";
    LRESULT limit = 0;
    bool unicodeField = false;
    std::wstring tooLong, lookAlikes;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        const HWND field = GetDlgItem(dialog, IDC_SEPA_FILE_PATH);
        limit = SendMessageA(field, EM_GETLIMITTEXT, 0, 0);
        unicodeField = IsWindowUnicode(field) != FALSE;
        const auto refusal = [&](const std::wstring& path) {
            PaymentDialogUser::SetField(dialog, IDC_SEPA_FILE_PATH, path);
            PaymentDialogUser::Press(dialog, IDOK);
            const HWND box = user.WaitForWindow(kErrorsCaption);
            const std::wstring text = tavrin_host::WindowText(GetDlgItem(box, tavrin_host::kMessageBoxTextId));
            PaymentDialogUser::Press(box, IDOK);
            PaymentDialogUser::WaitUntilGone(box);
            return text;
        };
        tooLong = refusal(L"C:\\" + std::wstring(CSepaInfoPresenter::kMaxFilePathLength, L'p'));
        lookAlikes = refusal(L"sp\\sub\\\uFF0E\uFF0E\uFF0Fescaped.xml");
        PaymentDialogUser::SetField(dialog, IDC_SEPA_FILE_PATH, longPath);
        PaymentDialogUser::Press(dialog, IDOK);
    });

    EXPECT_GT(limit, static_cast<LRESULT>(CSepaInfoPresenter::kMaxFilePathLength));
    EXPECT_TRUE(unicodeField);
    EXPECT_NE(std::wstring::npos, tooLong.find(L"too long"));
    EXPECT_NE(std::wstring::npos, lookAlikes.find(L"cannot contain these characters: \uFF0E \uFF0F"));
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(longPath, model.filePath);
}

// No keeps the dialog open with the values already stored; the next OK asks again.
TEST_F(SepaInfoView, OkOnAnExistingFileAsksBeforeReplacingIt)
{
    std::string firstQuestion;
    bool openAfterNo = false;
    std::size_t writesAfterNo = 0;
    std::string oinAfterNo;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        // Blanks around the name still find the file that would be replaced.
        PaymentDialogUser::SetField(dialog, IDC_SEPA_FILE_PATH, "  " + existingPath + "  ");
        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "NEW-OIN-1");
        PaymentDialogUser::Press(dialog, IDOK);
        firstQuestion = user.AnswerMessageBox(kReplaceCaption, IDNO);
        openAfterNo = IsWindow(dialog) && IsWindowVisible(dialog);
        writesAfterNo = model.writes.size();
        oinAfterNo = model.oin;
        PaymentDialogUser::Press(dialog, IDOK);
        user.AnswerMessageBox(kReplaceCaption, IDYES);
    });

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(ReplaceQuestion(existingPath), firstQuestion);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(3u, writesAfterNo) << "the values passed the rules and stay stored after No";
    EXPECT_EQ("NEW-OIN-1", oinAfterNo);
    EXPECT_EQ(existingPath, model.filePath);
    ASSERT_TRUE(model.fileToReplace) << "the file the user agreed to replace";
    EXPECT_TRUE(IdentifyFile(existingPath) == model.fileToReplace);
}

TEST_F(SepaInfoView, OkOnAnExistingFolderAsksTheSameQuestion)
{
    const std::string folder = TempFolder() + "sepa_view_test_folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    model.filePath = folder;
    std::string question;
    bool openAfterNo = false;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        PaymentDialogUser::Press(dialog, IDOK);
        question = user.AnswerMessageBox(kReplaceCaption, IDNO);
        openAfterNo = IsWindow(dialog) && IsWindowVisible(dialog);
        PaymentDialogUser::Press(dialog, IDCANCEL);
        user.AnswerMessageBox(kAbandonCaption, IDYES);
    });
    RemoveDirectoryA(folder.c_str());

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(ReplaceQuestion(folder), question);
    EXPECT_TRUE(openAfterNo);
}

// The Cancel button, the Esc key and the close box all ask first; No keeps the dialog open,
// and nothing typed reaches the model.
TEST_F(SepaInfoView, CancelEscAndTheCloseBoxAskBeforeAbandoning)
{
    std::string afterEsc, afterCloseBox, afterCancel;
    bool openAfterEsc = false, openAfterCloseBox = false;

    const INT_PTR result = Run([&](PaymentDialogUser& user, HWND dialog) {
        PaymentDialogUser::SetField(dialog, IDC_SEPA_OIN, "CHANGED1");

        PostMessageA(GetDlgItem(dialog, IDC_SEPA_OIN), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        afterEsc = user.AnswerMessageBox(kAbandonCaption, IDNO);
        openAfterEsc = IsWindow(dialog) && IsWindowVisible(dialog);

        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        afterCloseBox = user.AnswerMessageBox(kAbandonCaption, IDNO);
        openAfterCloseBox = IsWindow(dialog) && IsWindowVisible(dialog);

        PaymentDialogUser::Press(dialog, IDCANCEL);
        afterCancel = user.AnswerMessageBox(kAbandonCaption, IDYES);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(kAbandonQuestion, afterEsc);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(kAbandonQuestion, afterCloseBox);
    EXPECT_TRUE(openAfterCloseBox);
    EXPECT_EQ(kAbandonQuestion, afterCancel);
    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ("ab-12 cd", model.oin);
}

// Browse starts from the model's path, whatever the field says; cancelling it changes nothing
// and a chosen name replaces the field's text, without reaching the model before OK.
TEST_F(SepaInfoView, BrowseStartsFromTheModelsPathAndTheChosenNameReplacesTheField)
{
    const std::string folder = TempFolder() + "sepa_view_browse";
    CreateDirectoryA(folder.c_str(), nullptr);
    model.filePath = folder + "\\start.xml";
    std::wstring startName, startFolder;
    std::string afterCancel, afterSave;

    Run([&](PaymentDialogUser& user, HWND dialog) {
        PaymentDialogUser::SetField(dialog, IDC_SEPA_FILE_PATH, "C:\\typed\\elsewhere.xml");

        PaymentDialogUser::Press(dialog, IDC_SEPA_BROWSE);
        HWND saveAs = user.WaitForWindow("Save As");
        // The dialog's own messages answer in its character set, which is Unicode.
        wchar_t text[MAX_PATH] = {};
        SendMessageW(saveAs, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(text));
        startName = text;
        SendMessageW(saveAs, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
        startFolder = text;
        PaymentDialogUser::Press(saveAs, IDCANCEL);
        PaymentDialogUser::WaitUntilGone(saveAs);
        afterCancel = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_FILE_PATH));

        PaymentDialogUser::Press(dialog, IDC_SEPA_BROWSE);
        saveAs = user.WaitForWindow("Save As");
        // The file name box of the explorer-style dialog; typed without the extension.
        PaymentDialogUser::SetField(saveAs, cmb13, "chosen");
        PaymentDialogUser::Press(saveAs, IDOK);
        PaymentDialogUser::WaitUntilGone(saveAs);
        afterSave = PaymentDialogUser::TextOf(GetDlgItem(dialog, IDC_SEPA_FILE_PATH));
    });
    RemoveDirectoryA(folder.c_str());

    EXPECT_EQ(L"start.xml", startName);
    EXPECT_EQ(0, lstrcmpiW(WidenText(folder, CP_ACP).c_str(), startFolder.c_str()));
    EXPECT_EQ("C:\\typed\\elsewhere.xml", afterCancel);
    EXPECT_EQ(0, lstrcmpiA((folder + "\\chosen.xml").c_str(), afterSave.c_str()))
        << "the default extension is added: " << afterSave;
    EXPECT_TRUE(model.writes.empty());
}
} // namespace
