#include "MessageBoxWatcher.h"

#include <algorithm>

namespace tavrin_host {
namespace {

thread_local MessageBoxWatcher* t_watcher = nullptr;

struct Button {
    int id;
    const wchar_t* label;
};

const Button kButtons[] = {
    {IDOK, L"OK"},
    {IDCANCEL, L"Cancel"},
    {IDABORT, L"Abort"},
    {IDRETRY, L"Retry"},
    {IDIGNORE, L"Ignore"},
    {IDYES, L"Yes"},
    {IDNO, L"No"},
};

const wchar_t* LabelOf(int id)
{
    for (const Button& b : kButtons)
        if (b.id == id) return b.label;
    return L"?";
}

int DefaultAnswer(const MessageBoxRecord&, HWND window)
{
    if (GetDlgItem(window, IDOK)) return IDOK;
    if (GetDlgItem(window, IDYES)) return IDYES;
    return IDCANCEL;
}

} // namespace

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

MessageBoxWatcher::MessageBoxWatcher(Policy policy) : m_policy(policy ? std::move(policy) : Policy(DefaultAnswer))
{
    m_previous = t_watcher;
    t_watcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_watcher = m_previous;
}

bool MessageBoxWatcher::IsMessageBox(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return std::wstring(className) == L"#32770" && GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

bool MessageBoxWatcher::Handle(HWND window)
{
    if (!IsMessageBox(window)) return false;
    if (std::find(m_answered.begin(), m_answered.end(), window) != m_answered.end()) return true;
    m_answered.push_back(window);

    MessageBoxRecord box;
    box.caption = WindowText(window);
    box.text = WindowText(GetDlgItem(window, kMessageBoxTextId));
    int answer = m_policy(box, window);
    box.answer = LabelOf(answer);
    m_boxes.push_back(box);

    // No answer leaves the box to the person at the screen.
    if (answer == 0) return true;
    // Clicked the way a person's click arrives: a command from the button to its box.
    PostMessageW(
        window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, answer)));
    return true;
}

LRESULT CALLBACK MessageBoxWatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxWatcher* self = t_watcher;
    if (code == HCBT_ACTIVATE && self) self->Handle(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
}

} // namespace tavrin_host
