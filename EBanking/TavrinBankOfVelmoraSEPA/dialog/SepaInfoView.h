#pragma once
// The payment details dialog, shown modally over the model of the run.
#include "dialog/SepaInfoModel.h"

#include <windows.h>

class CSepaInfoView {
public:
    explicit CSepaInfoView(CSepaInfoModel& model);
    // The command that ended the dialog (IDOK, IDCANCEL), or -1 when it could not open.
    INT_PTR DoModal(HWND owner, LPARAM parameter);

private:
    CSepaInfoModel& m_model;
};
