#include "dialog/CModalDialog.h"

#include "common/ResourceModule.h"

#include <utility>

CModalDialog::CModalDialog(UINT templateId) : m_templateId(templateId) {}

INT_PTR CModalDialog::DoModal(HWND owner)
{
    m_failure = nullptr;
    // A Unicode dialog, so that its controls keep the user's text as typed rather than as the
    // ANSI code page's look-alikes of it.
    const INT_PTR result = DialogBoxParamW(ResourceModule(),
                                           MAKEINTRESOURCEW(m_templateId),
                                           owner,
                                           &CModalDialog::s_DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
    return result;
}

void CModalDialog::EndDialog(INT_PTR result) { ::EndDialog(m_hwnd, result); }

HWND CModalDialog::Item(int id) const { return GetDlgItem(m_hwnd, id); }

INT_PTR CALLBACK CModalDialog::s_DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CModalDialog*>(lParam);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // Messages sent before WM_INITDIALOG (WM_SETFONT) have no object yet.
    if (!self) return FALSE;

    INT_PTR handled = FALSE;
    // Once a handler has failed, the object's state is not trusted with
    // another message: the dialog only closes.
    if (!self->m_failure) {
        try {
            handled = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // Nothing may unwind through the dialog manager: the failure is
            // kept for DoModal to throw once the modal loop has destroyed
            // the window.
            self->m_failure = std::current_exception();
            ::EndDialog(hwnd, -1);
            handled = TRUE;
        }
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return handled;
}
