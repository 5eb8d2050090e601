#include "dialog/SepaInfoView.h"

// Interim view: the model's values stand as confirmed.
CSepaInfoView::CSepaInfoView(CSepaInfoModel& model) : m_model(model) {}

INT_PTR CSepaInfoView::DoModal(HWND, LPARAM)
{
    return IDOK;
}
