#include "dialog/SepaInfoModel.h"

// Interim model: holds the path; the OIN is not read from the host yet.
CSepaInfoModel::CSepaInfoModel(IPaymentBatch* batch, const char* fullPath, const char* extension)
    : m_batch(batch), m_path(fullPath), m_extension(extension)
{
}

std::string CSepaInfoModel::GetFilePath() const { return m_path; }

BSTR CSepaInfoModel::GetOin() const { return SysAllocString(L""); }
