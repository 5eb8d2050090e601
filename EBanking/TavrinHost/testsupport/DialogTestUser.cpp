#include "DialogTestUser.h"

#include <utility>

namespace testsupport {
namespace {

const DWORD kGiveUpAfterMs = 60000;
const DWORD kPollMs = 20;
// The static control that holds a message box's text.
const int kMessageBoxTextId = 0xFFFF;
const char kAbandonCaption[] = "Processing Details";

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (DialogTestUser::TextOf(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

struct Script {
    DWORD uiThread;
    const char* caption;
    std::function<void(DialogTestUser&, HWND)> play;
};

// If a script leaves the dialog open (a test about to fail), cancel it so that the modal loop
// on the test thread returns.
void CloseIfStillOpen(const DialogTestUser& user, HWND dialog)
{
    if (!IsWindow(dialog)) return;
    DialogTestUser::Press(dialog, IDCANCEL);
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(dialog); waited += kPollMs) {
        if (HWND question = user.Find(kAbandonCaption)) DialogTestUser::Press(question, IDYES);
        Sleep(kPollMs);
    }
}

DWORD WINAPI PlayScript(void* parameter)
{
    auto* script = static_cast<Script*>(parameter);
    DialogTestUser user(script->uiThread);
    HWND dialog = user.WaitForWindow(script->caption);
    if (!dialog) return 0;
    script->play(user, dialog);
    CloseIfStillOpen(user, dialog);
    return 0;
}

} // namespace

HWND DialogTestUser::Find(const char* caption) const
{
    Search search{caption, nullptr};
    EnumThreadWindows(m_uiThread, MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND DialogTestUser::WaitForWindow(const char* caption) const
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs; waited += kPollMs) {
        if (HWND window = Find(caption)) return window;
        Sleep(kPollMs);
    }
    return nullptr;
}

std::string DialogTestUser::AnswerMessageBox(const char* caption, int button) const
{
    HWND box = WaitForWindow(caption);
    if (!box) return "<no message box '" + std::string(caption) + "'>";
    const std::string text = TextOf(GetDlgItem(box, kMessageBoxTextId));
    Press(box, button);
    WaitUntilGone(box);
    return text;
}

void DialogTestUser::Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DialogTestUser::SetField(HWND dialog, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogTestUser::Type(HWND dialog, int id, const std::string& text)
{
    HWND field = GetDlgItem(dialog, id);
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string DialogTestUser::TextOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void DialogTestUser::WaitUntilGone(HWND window)
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(window); waited += kPollMs) Sleep(kPollMs);
}

void RunWithUser(const char* caption, const std::function<void()>& showModal,
                 std::function<void(DialogTestUser& user, HWND dialog)> play)
{
    Script script{GetCurrentThreadId(), caption, std::move(play)};
    HANDLE user = CreateThread(nullptr, 0, PlayScript, &script, 0, nullptr);
    showModal();
    WaitForSingleObject(user, INFINITE);
    CloseHandle(user);
}

} // namespace testsupport
