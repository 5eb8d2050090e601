#pragma once

#include <windows.h>

#include <exception>

// A modal dialog built from a template in the component's resources whose
// messages go to a member function. The window procedure keeps `this` in the
// window's user data from WM_INITDIALOG on.
class CModalDialog {
public:
    explicit CModalDialog(UINT templateId);
    virtual ~CModalDialog() = default;

    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Runs the dialog, owned by `owner`, until it ends; returns the value
    // passed to EndDialog, or -1 when the dialog could not be created.
    // An exception thrown by a message handler closes the dialog and is
    // thrown again from here, once the window is gone.
    INT_PTR DoModal(HWND owner);

protected:
    // Returns TRUE for a message it handled, FALSE to leave it to the dialog
    // manager. WM_INITDIALOG's return value says whether to set the focus.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    void EndDialog(INT_PTR result);
    HWND Item(int id) const;

    HWND m_hwnd = nullptr;

private:
    static INT_PTR CALLBACK s_DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    // The first exception a handler threw while the dialog ran.
    std::exception_ptr m_failure;
};
