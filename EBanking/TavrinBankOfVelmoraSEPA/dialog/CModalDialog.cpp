#include "dialog/CModalDialog.h"

#include "common/ResourceModule.h"

CModalDialog::CModalDialog(UINT templateId) : m_templateId(templateId)
{
}

INT_PTR CModalDialog::DoModal(HWND owner)
{
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(m_templateId), owner,
                           GetDialogProc(), reinterpret_cast<LPARAM>(this));
}

DLGPROC CModalDialog::GetDialogProc() const
{
    return &CModalDialog::s_DialogProc;
}

void CModalDialog::EndDialog(INT_PTR result)
{
    ::EndDialog(m_hwnd, result);
}

HWND CModalDialog::Item(int id) const
{
    return GetDlgItem(m_hwnd, id);
}

INT_PTR CALLBACK CModalDialog::s_DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CModalDialog* self = nullptr;
    if (message == WM_INITDIALOG)
    {
        self = reinterpret_cast<CModalDialog*>(lParam);
        self->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    }
    else
    {
        self = reinterpret_cast<CModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages sent before WM_INITDIALOG (WM_SETFONT) have no object yet.
    if (!self)
        return FALSE;

    INT_PTR handled = FALSE;
    try
    {
        handled = self->HandleMessage(message, wParam, lParam);
    }
    catch (...)
    {
        // Nothing may unwind through the dialog manager; the caller sees the
        // same result as for a dialog that could not be shown.
        ::EndDialog(hwnd, -1);
        handled = TRUE;
    }

    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
        self->OnFinalMessage();
    }
    return handled;
}
