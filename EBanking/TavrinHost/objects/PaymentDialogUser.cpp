#include "PaymentDialogUser.h"

#include "DatePickerDay.h"

#include <utility>

namespace tavrin_host {
namespace {

// The payment details dialog's controls, as its template numbers them.
const int kOinField = 212;
const int kSaveField = 213;
const int kDatePicker = 220;

const ULONGLONG kFileTimeUnitsPerDay = 864000000000ULL;

const DWORD kGiveUpAfterMs = 60000;
const DWORD kPollMs = 20;

const wchar_t kErrorsCaption[] = L"Errors encountered";
const wchar_t kAbandonCaption[] = L"Processing Details";
const wchar_t kReplaceCaption[] = L"File already exists";

thread_local PaymentDialogUser* t_user = nullptr;

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return lstrcmpiW(name, className) == 0;
}

struct Search {
    std::function<bool(HWND)> matches;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!HasClass(window, L"#32770") || !IsWindowVisible(window) || !search->matches(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// The first visible dialog window of the thread that `matches` accepts, or null.
HWND FindDialog(DWORD thread, std::function<bool(HWND)> matches)
{
    Search search{std::move(matches), nullptr};
    EnumThreadWindows(thread, MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The day of the week of a calendar day, which the picker expects to be right.
bool FillDayOfWeek(SYSTEMTIME& day)
{
    FILETIME time;
    SYSTEMTIME checked;
    if (!SystemTimeToFileTime(&day, &time) || !FileTimeToSystemTime(&time, &checked)) return false;
    day.wDayOfWeek = checked.wDayOfWeek;
    return true;
}

} // namespace

PaymentDialogInput ConfirmAsShown() { return PaymentDialogInput(); }

PaymentDialogInput PickNextWorkingDayAndConfirm()
{
    SYSTEMTIME day;
    GetLocalTime(&day);
    FILETIME time;
    SystemTimeToFileTime(&day, &time);
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    do {
        ticks.QuadPart += kFileTimeUnitsPerDay;
        time.dwLowDateTime = ticks.LowPart;
        time.dwHighDateTime = ticks.HighPart;
        FileTimeToSystemTime(&time, &day);
    } while (day.wDayOfWeek == 0 || day.wDayOfWeek == 6);

    PaymentDialogInput input;
    input.dateGiven = true;
    input.date = day;
    return input;
}

PaymentDialogInput Abandon()
{
    PaymentDialogInput input;
    input.cancel = true;
    return input;
}

PaymentDialogUser::PaymentDialogUser(PaymentDialogInput input)
    : m_input(std::move(input)), m_thread(GetCurrentThreadId())
{
    m_previous = t_user;
    t_user = this;
    m_hook = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

PaymentDialogUser::~PaymentDialogUser()
{
    WaitForScript();
    if (m_hook) UnhookWindowsHookEx(m_hook);
    t_user = m_previous;
}

bool PaymentDialogUser::IsPaymentDialog(HWND window)
{
    HWND picker = GetDlgItem(window, kDatePicker);
    return HasClass(window, L"#32770") && picker && HasClass(picker, DATETIMEPICK_CLASSW) &&
           GetDlgItem(window, kOinField) && GetDlgItem(window, kSaveField);
}

int PaymentDialogUser::AnswerFor(const MessageBoxRecord& box, HWND window)
{
    if (box.caption == kReplaceCaption && !m_input.replaceExisting) {
        m_cancelAfterBox = window;
        return IDNO;
    }
    if (box.caption == kReplaceCaption || box.caption == kAbandonCaption) return IDYES;
    if (box.caption == kErrorsCaption) {
        // The values were refused: once the box is gone, give up.
        m_cancelAfterBox = window;
        return IDOK;
    }
    if (GetDlgItem(window, IDOK)) return IDOK;
    if (GetDlgItem(window, IDNO)) return IDNO;
    return IDCANCEL;
}

MessageBoxWatcher::Policy PaymentDialogUser::Policy()
{
    return [this](const MessageBoxRecord& box, HWND window) { return AnswerFor(box, window); };
}

LRESULT CALLBACK PaymentDialogUser::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    PaymentDialogUser* self = t_user;
    if (self && code == HCBT_ACTIVATE) self->OnActivate(reinterpret_cast<HWND>(wParam));
    if (self && code == HCBT_DESTROYWND) self->OnDestroy(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
}

// Called as the window is about to become active: for the dialog that is after its
// initialisation, so what is typed here is not overwritten by the values it loads.
void PaymentDialogUser::OnActivate(HWND window)
{
    if (m_dialog || !IsPaymentDialog(window)) return;

    m_dialog = window;
    m_lastConfirmed = false;
    m_dateRefused = false;
    m_pathAtClose.clear();
    if (m_input.script) {
        WaitForScript();
        m_scriptDialog = window;
        m_script = CreateThread(nullptr, 0, PlayScript, this, 0, nullptr);
        return;
    }
    if (m_input.watchOnly) return;
    if (m_input.dateGiven && !PickDate()) {
        // Confirming would send the day the picker happened to show instead of the one asked for.
        m_dateRefused = true;
        Press(IDCANCEL);
        return;
    }
    if (m_input.oinGiven) TypeOver(kOinField, m_input.oin);
    if (m_input.saveGiven) TypeOver(kSaveField, m_input.save);
    if (m_input.whileShown) m_input.whileShown();
    Press(m_input.cancel ? IDCANCEL : IDOK);
}

void PaymentDialogUser::OnDestroy(HWND window)
{
    if (m_dialog && window == m_cancelAfterBox) {
        // Posted as the box goes, not when the dialog is active again: while other programs show
        // windows the dialog may stay inactive after its box has closed. The box's own loop has
        // ended, so the dialog's loop takes the command once MessageBox has returned.
        m_cancelAfterBox = nullptr;
        Press(IDCANCEL);
        return;
    }
    if (!m_dialog || window != m_dialog) return;
    // The controls still exist: children are destroyed after their parent is told.
    m_lastConfirmed = m_lastPressed == IDOK;
    m_pathAtClose = WindowText(GetDlgItem(m_dialog, kSaveField));
    m_dialog = nullptr;
    m_lastPressed = 0;
    m_cancelAfterBox = nullptr;
}

// A day picked from the calendar: the picker takes the new day and keeps its time of day, then
// tells the dialog, as it does for a person's pick. False when the picker refuses the day or
// reads back another one (a day outside the range it can show).
bool PaymentDialogUser::PickDate()
{
    HWND picker = GetDlgItem(m_dialog, kDatePicker);
    SYSTEMTIME shown{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) != GDT_VALID) shown = SYSTEMTIME{};
    m_picked = shown;
    m_picked.wYear = m_input.date.wYear;
    m_picked.wMonth = m_input.date.wMonth;
    m_picked.wDay = m_input.date.wDay;
    if (!FillDayOfWeek(m_picked)) return false;

    // Sent, not posted: the picker's answer decides whether the dialog may be confirmed.
    if (!ShowDayInPicker(picker, m_picked)) return false;
    m_dateChange.nmhdr.hwndFrom = picker;
    m_dateChange.nmhdr.idFrom = kDatePicker;
    m_dateChange.nmhdr.code = DTN_DATETIMECHANGE;
    m_dateChange.dwFlags = GDT_VALID;
    m_dateChange.st = m_picked;
    PostMessageW(m_dialog, WM_NOTIFY, kDatePicker, reinterpret_cast<LPARAM>(&m_dateChange));
    return true;
}

// Selects the field's whole text and types over it, one character at a time; an empty value
// deletes the selection. The field's own limits apply as they do to a person's typing.
void PaymentDialogUser::TypeOver(int controlId, const std::wstring& text)
{
    HWND field = GetDlgItem(m_dialog, controlId);
    PostMessageW(field, EM_SETSEL, 0, -1);
    if (text.empty()) PostMessageW(field, WM_CHAR, VK_BACK, 1);
    for (wchar_t c : text)
        PostMessageW(field, WM_CHAR, c, 1);
}

void PaymentDialogUser::Press(int buttonId)
{
    m_lastPressed = buttonId;
    Press(m_dialog, buttonId);
}

DWORD WINAPI PaymentDialogUser::PlayScript(void* user)
{
    auto* self = static_cast<PaymentDialogUser*>(user);
    self->m_input.script(*self, self->m_scriptDialog);
    self->CloseIfStillOpen(self->m_scriptDialog);
    return 0;
}

// If a script leaves the dialog open (a test about to fail), cancel it so that the modal loop
// on the dialog's thread returns.
void PaymentDialogUser::CloseIfStillOpen(HWND dialog) const
{
    if (!IsWindow(dialog)) return;
    Press(dialog, IDCANCEL);
    const auto isAbandonQuestion = [](HWND window) { return WindowText(window) == kAbandonCaption; };
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(dialog); waited += kPollMs) {
        if (HWND question = FindDialog(m_thread, isAbandonQuestion)) Press(question, IDYES);
        Sleep(kPollMs);
    }
}

void PaymentDialogUser::WaitForScript()
{
    if (!m_script) return;
    WaitForSingleObject(m_script, INFINITE);
    CloseHandle(m_script);
    m_script = nullptr;
}

HWND PaymentDialogUser::Find(const char* caption) const
{
    return FindDialog(m_thread, [caption](HWND window) { return TextOf(window) == caption; });
}

HWND PaymentDialogUser::WaitForWindow(const char* caption) const
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs; waited += kPollMs) {
        if (HWND window = Find(caption)) return window;
        Sleep(kPollMs);
    }
    return nullptr;
}

std::string PaymentDialogUser::AnswerMessageBox(const char* caption, int button) const
{
    HWND box = WaitForWindow(caption);
    if (!box) return "<no message box '" + std::string(caption) + "'>";
    const std::string text = TextOf(GetDlgItem(box, kMessageBoxTextId));
    Press(box, button);
    WaitUntilGone(box);
    return text;
}

// A click on one of a dialog's buttons arrives as this command.
void PaymentDialogUser::Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PaymentDialogUser::SetField(HWND dialog, int id, const std::string& text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PaymentDialogUser::SetField(HWND dialog, int id, const std::wstring& text)
{
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PaymentDialogUser::Type(HWND dialog, int id, const std::string& text)
{
    HWND field = GetDlgItem(dialog, id);
    for (char c : text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::string PaymentDialogUser::TextOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void PaymentDialogUser::WaitUntilGone(HWND window)
{
    for (DWORD waited = 0; waited < kGiveUpAfterMs && IsWindow(window); waited += kPollMs)
        Sleep(kPollMs);
}

void RunWithUser(const std::function<void()>& showModal, PaymentDialogScript play)
{
    PaymentDialogInput input;
    input.script = std::move(play);
    PaymentDialogUser user(std::move(input));
    showModal();
}

} // namespace tavrin_host
