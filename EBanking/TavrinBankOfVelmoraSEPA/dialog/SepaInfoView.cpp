#include "dialog/SepaInfoView.h"

#include "dialog/CSepaInfoModelAdapter.h"
#include "dialog/FileDialogFilter.h"
#include "dialog/SepaInfoModel.h"

#include "common/CodePageText.h"
#include "common/FileIdentity.h"
#include "common/MessageBoxes.h"
#include "common/ResourceModule.h"
#include "common/TextTemplate.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>
#include <oleauto.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {
constexpr int kOinFieldChars = 50;
// One character more than the longest path accepted, so that a longer one is refused, not cut.
constexpr std::size_t kFilePathFieldChars = CSepaInfoPresenter::kMaxFilePathLength + 1;

// Reads a control's text through a zeroed buffer of `size` characters, so at most
// size - 1 characters come back.
std::wstring ReadText(HWND control, int size)
{
    std::wstring buffer(static_cast<std::size_t>(size), L'\0');
    GetWindowTextW(control, &buffer[0], size);
    buffer.resize(buffer.find(L'\0'));
    return buffer;
}

bool PathExists(const std::string& path)
{
    struct _stat64i32 status;
    return _stat64i32(path.c_str(), &status) == 0;
}
} // namespace

CSepaInfoView::CSepaInfoView(CSepaInfoModel& model, CSepaInfoPresenter::Clock clock)
    : CSepaInfoView(std::make_unique<CSepaInfoModelAdapter<CSepaInfoModel>>(model), std::move(clock))
{
}

CSepaInfoView::CSepaInfoView(std::unique_ptr<ISepaInfoModel> adapter, CSepaInfoPresenter::Clock clock)
    : CSepaInfoView(*adapter, std::move(clock))
{
    m_adapter = std::move(adapter);
}

CSepaInfoView::CSepaInfoView(ISepaInfoModel& model, CSepaInfoPresenter::Clock clock)
    : CModalDialog(IDD_SEPA_INFO),
      m_model(model),
      m_presenter(std::make_unique<CSepaInfoPresenter>(this, &model, std::move(clock)))
{
    // The date picker needs its window class registered; without it the
    // dialog still opens, just without a working date field.
    m_commonControls = UniqueResource<HMODULE, &FreeLibrary>(LoadLibraryA("comctl32.dll"));
    if (!m_commonControls) return;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_commonControls.Get(), "InitCommonControlsEx")));
    if (init) {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
        init(&classes);
    }
}

CSepaInfoView::~CSepaInfoView()
{
    // The presenter goes first; the common controls library is freed after this body.
    m_presenter.reset();
}

INT_PTR CSepaInfoView::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (message != WM_COMMAND) return FALSE;

    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    case IDC_SEPA_BROWSE:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        OnBrowse();
        return TRUE;
    default: return FALSE;
    }
}

BOOL CSepaInfoView::OnInitDialog()
{
    CenterOverOwner();

    if (HICON icon = LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDI_SEPA_INFO))) {
        SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }

    SendMessageA(Item(IDC_SEPA_EXECUTION_DATE), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("dd/MM/yyyy"));
    // Only typing is limited: a longer OIN from the host is still shown whole.
    SendMessageA(Item(IDC_SEPA_OIN), EM_LIMITTEXT, CSepaInfoPresenter::kMaxOinLength, 0);
    // Above the edit control's default limit, which would cut a long path without a word.
    SendMessageA(Item(IDC_SEPA_FILE_PATH), EM_LIMITTEXT, kFilePathFieldChars, 0);

    m_presenter->LoadValues();

    // No control gets the focus from the dialog manager.
    return FALSE;
}

void CSepaInfoView::OnOK()
{
    if (!m_presenter->ValidateAndStore()) return;

    // Ask about the file that will really be written: the stored path, which
    // has lost the blanks the field may still show around it.
    const std::string path = m_model.GetFilePath();
    std::optional<FileIdentity> fileToReplace;
    if (PathExists(path)) {
        // The file the question names is the only one a Yes lets the run replace; one put in
        // its place while the question is up is not.
        fileToReplace = IdentifyFile(path);
        const std::string question = FillTemplate(kFileExistsBox.text, {{"path", path}});
        if (MessageBoxA(m_hwnd, question.c_str(), kFileExistsBox.caption, kFileExistsBox.flags) != IDYES) return;
    }
    m_model.SetFileToReplace(fileToReplace);
    EndDialog(IDOK);
}

void CSepaInfoView::OnCancel()
{
    if (MessageBoxA(m_hwnd, kAbandonTransferBox.text, kAbandonTransferBox.caption, kAbandonTransferBox.flags) == IDYES)
        EndDialog(IDCANCEL);
}

void CSepaInfoView::OnBrowse()
{
    const UINT codePage = CSepaInfoPresenter::kFilePathCodePage;
    const std::wstring extension = WidenText(m_model.GetFileExtension(), codePage);
    const std::wstring filter = WidenText(FileDialogFilter(m_model.GetFileExtension()), codePage);

    // Starts from the model's path, not from what is in the field now.
    std::vector<wchar_t> fileName(kFilePathFieldChars, L'\0');
    const std::wstring initial = WidenText(m_model.GetFilePath(), codePage);
    initial.copy(fileName.data(), fileName.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_ENABLESIZING;

    if (GetSaveFileNameW(&dialog))
        SetWindowTextW(Item(IDC_SEPA_FILE_PATH), fileName.data());
    else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        m_presenter->ShowFilePathTooLong();
}

void CSepaInfoView::CenterOverOwner()
{
    RECT dialog{};
    GetWindowRect(m_hwnd, &dialog);
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;

    const HWND owner = GetWindow(m_hwnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(owner ? owner : m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;

    RECT around = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);

    LONG left = around.left + ((around.right - around.left) - width) / 2;
    LONG top = around.top + ((around.bottom - around.top) - height) / 2;
    // Keep the whole dialog on the work area, its top-left corner first.
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));

    SetWindowPos(m_hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CSepaInfoView::SetExecutionDate(DATE date)
{
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time)) return false;
    return SendMessageA(Item(IDC_SEPA_EXECUTION_DATE), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)) !=
           0;
}

bool CSepaInfoView::GetExecutionDate(DATE* date)
{
    SYSTEMTIME time{};
    if (SendMessageA(Item(IDC_SEPA_EXECUTION_DATE), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return false;
    return SystemTimeToVariantTime(&time, date) != FALSE;
}

void CSepaInfoView::SetOin(std::wstring oin) { SetWindowTextW(Item(IDC_SEPA_OIN), oin.c_str()); }

const wchar_t* CSepaInfoView::GetOin()
{
    m_oin = ReadText(Item(IDC_SEPA_OIN), kOinFieldChars);
    return m_oin.c_str();
}

void CSepaInfoView::SetFilePath(std::wstring path) { SetWindowTextW(Item(IDC_SEPA_FILE_PATH), path.c_str()); }

const wchar_t* CSepaInfoView::GetFilePath()
{
    // Read whole: a path cut short would name another file than the one the user typed.
    const HWND field = Item(IDC_SEPA_FILE_PATH);
    m_filePath = ReadText(field, GetWindowTextLengthW(field) + 1);
    return m_filePath.c_str();
}

void CSepaInfoView::ShowErrors(std::vector<std::string> messages)
{
    const std::string text = FillTemplateLines(kErrorsEncounteredBox.text, "message", messages);
    // The messages may name characters that no ANSI code page holds.
    MessageBoxW(m_hwnd,
                WidenText(text, CP_UTF8).c_str(),
                WidenText(kErrorsEncounteredBox.caption, CP_UTF8).c_str(),
                kErrorsEncounteredBox.flags);
}

bool CSepaInfoView::ShowWarning(std::string message)
{
    const std::string text = FillTemplate(kPleaseNoteBox.text, {{"message", message}});
    return MessageBoxA(m_hwnd, text.c_str(), kPleaseNoteBox.caption, kPleaseNoteBox.flags) == IDYES;
}
