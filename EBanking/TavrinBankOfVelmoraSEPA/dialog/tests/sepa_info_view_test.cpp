// Drives the real payment details dialog: the dialog runs modally on the test
// thread while a second thread plays the user, finding windows by caption and
// pressing their buttons. Needs a display (Xvfb under Wine).
#include "dialog/SepaInfoView.h"

#include "SepaInfoFakes.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace
{
const char kDialogCaption[] = "Bank of Velmora SEPA Payment Processing";
// Only a guard against a hung run; nothing here measures time.
constexpr DWORD kGiveUpAfterMs = 60000;

HWND WaitForWindow(const char* caption)
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs; waited += 20)
    {
        if (HWND window = FindWindowA("#32770", caption))
            if (IsWindowVisible(window))
                return window;
        Sleep(20);
    }
    return nullptr;
}

void WaitUntilGone(HWND window)
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(window); waited += 20)
        Sleep(20);
}

std::string TextOf(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// A message box's text and a press of one of its buttons.
std::string AnswerMessageBox(const char* caption, int button)
{
    HWND box = WaitForWindow(caption);
    if (!box)
        return "<no message box '" + std::string(caption) + "'>";
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitUntilGone(box);
    return text;
}

struct Script
{
    std::function<void(HWND dialog)> play;
};

// If a script leaves the dialog open (a test about to fail), cancel it so
// the modal loop on the test thread returns.
void CloseIfStillOpen(HWND dialog)
{
    if (!IsWindow(dialog))
        return;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(dialog); waited += 20)
    {
        HWND box = FindWindowA("#32770", "Processing Details");
        if (box && IsWindowVisible(box))
            PostMessageA(box, WM_COMMAND, IDYES, 0);
        Sleep(20);
    }
}

DWORD WINAPI PlayScript(void* parameter)
{
    auto* script = static_cast<Script*>(parameter);
    HWND dialog = WaitForWindow(kDialogCaption);
    if (!dialog)
        return 0;
    script->play(dialog);
    CloseIfStillOpen(dialog);
    return 0;
}

// Shows the dialog while `play` acts as the user; returns the dialog's result.
INT_PTR RunDialog(CSepaInfoView& view, std::function<void(HWND)> play)
{
    Script script{std::move(play)};
    HANDLE user = CreateThread(nullptr, 0, PlayScript, &script, 0, nullptr);
    const INT_PTR result = view.DoModal(GetActiveWindow(), 0);
    WaitForSingleObject(user, INFINITE);
    CloseHandle(user);
    return result;
}

void SetField(HWND dialog, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class SepaInfoView : public ::testing::Test
{
protected:
    DATE now = MakeDate(2010, 3, 3, 10, 0, 0); // a Wednesday
    RecordingModel model;

    void SetUp() override
    {
        model.date = MakeDate(2010, 3, 5, 14, 30, 0);
        model.oin = "ab-12 cd";
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        missingPath = std::string(folder) + "sepa_view_test_missing.xml";
        existingPath = std::string(folder) + "sepa_view_test_existing.xml";
        DeleteFileA(missingPath.c_str());
        if (FILE* file = std::fopen(existingPath.c_str(), "w"))
            std::fclose(file);
        model.filePath = missingPath;
    }
    void TearDown() override { DeleteFileA(existingPath.c_str()); }

    CSepaInfoPresenter::Clock Clock()
    {
        return [this] { return now; };
    }

    std::string missingPath;
    std::string existingPath;
};

TEST_F(SepaInfoView, OpensWithTheModelsValuesAndEndsWithOneOnValidOk)
{
    CSepaInfoView view(model, Clock());
    std::string oin, path, dateText;
    LRESULT oinLimit = 0;
    SYSTEMTIME shown{};
    LRESULT bigIcon = 0;

    const INT_PTR result = RunDialog(view, [&](HWND dialog) {
        oin = TextOf(GetDlgItem(dialog, IDC_SEPA_OIN));
        path = TextOf(GetDlgItem(dialog, IDC_SEPA_FILE_PATH));
        oinLimit = SendMessageA(GetDlgItem(dialog, IDC_SEPA_OIN), EM_GETLIMITTEXT, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDC_SEPA_EXECUTION_DATE), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&shown));
        bigIcon = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
        Press(dialog, IDOK);
    });

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("ab-12 cd", oin);
    EXPECT_EQ(missingPath, path);
    EXPECT_EQ(35, oinLimit);
    EXPECT_EQ(2010, shown.wYear);
    EXPECT_EQ(3, shown.wMonth);
    EXPECT_EQ(5, shown.wDay);
    EXPECT_NE(0, bigIcon) << "the bank icon is set";
    EXPECT_EQ((std::vector<std::string>{"SetOin", "SetFilePath", "SetExecutionDate"}), model.writes);
}

TEST_F(SepaInfoView, ErrorsAreListedInOneBoxAndTheDialogStaysOpen)
{
    CSepaInfoView view(model, Clock());
    std::string errors;
    bool stillOpen = false;

    const INT_PTR result = RunDialog(view, [&](HWND dialog) {
        SetField(dialog, IDC_SEPA_OIN, "AB");
        SetField(dialog, IDC_SEPA_FILE_PATH, "   ");
        Press(dialog, IDOK);
        errors = AnswerMessageBox("Errors encountered", IDOK);
        stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        Press(dialog, IDCANCEL);
        AnswerMessageBox("Processing Details", IDYES);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ("You must correct the following issues before continuing."
              "\n    * Please supply a valid OIN; this will be provided by your bank.\n"
              "        * OIN must contain at least 6 characters.\n"
              "        * Characters allowed are A-Z and 0-9."
              "\n    * Please supply a valid file name & location for generated payments file.",
              errors);
    EXPECT_TRUE(model.writes.empty());
}

TEST_F(SepaInfoView, ExistingFileAsksBeforeReplacingIt)
{
    model.filePath = existingPath;
    CSepaInfoView view(model, Clock());
    std::string firstQuestion;
    bool openAfterNo = false;

    const INT_PTR result = RunDialog(view, [&](HWND dialog) {
        // Blanks around the name still find the file that would be replaced.
        SetField(dialog, IDC_SEPA_FILE_PATH, "  " + existingPath + "  ");
        Press(dialog, IDOK);
        firstQuestion = AnswerMessageBox("File already exists", IDNO);
        openAfterNo = IsWindow(dialog) != FALSE;
        Press(dialog, IDOK);
        AnswerMessageBox("File already exists", IDYES);
    });

    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ("The " + existingPath +
                  " file already exists. If you continue this file will be replaced."
                  "\n\nDo you wish to continue?",
              firstQuestion);
    EXPECT_EQ(existingPath, model.filePath);
}

TEST_F(SepaInfoView, CancelAsksFirstAndStoresNothing)
{
    CSepaInfoView view(model, Clock());
    std::string question;
    bool openAfterNo = false;

    const INT_PTR result = RunDialog(view, [&](HWND dialog) {
        SetField(dialog, IDC_SEPA_OIN, "CHANGED1");
        Press(dialog, IDCANCEL);
        question = AnswerMessageBox("Processing Details", IDNO);
        openAfterNo = IsWindow(dialog) != FALSE;
        PostMessageA(dialog, WM_CLOSE, 0, 0); // the close box
        AnswerMessageBox("Processing Details", IDYES);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ("Are you sure you wish to abandon credit transfer?", question);
    EXPECT_TRUE(model.writes.empty());
    EXPECT_EQ("ab-12 cd", model.oin);
}
} // namespace
