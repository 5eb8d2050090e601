#pragma once

#include "common/Bstr.h"
#include "common/CodePageText.h"
#include "dialog/ISepaInfoModel.h"

#include <string>

// Shows the run's payment details model to the dialog as an ISepaInfoModel:
// the model speaks BSTR for the OIN and the dialog narrow text, so the OIN is
// converted through the thread's ANSI code page on the way in and out.
// The model is not owned.
template <class TModel>
class CSepaInfoModelAdapter : public ISepaInfoModel {
public:
    explicit CSepaInfoModelAdapter(TModel& model) : m_model(model) {}

    DATE GetExecutionDate() override { return m_model.GetExecutionDate(); }
    void SetExecutionDate(DATE date) override { m_model.SetExecutionDate(date); }

    std::string GetOin() override
    {
        // Takes over the BSTR the model hands out; a null one reads as empty.
        const CBstr oin(m_model.GetOin());
        return NarrowText(oin.Get(), oin.Length(), CP_THREAD_ACP);
    }
    // The model takes over the BSTR and frees it.
    void SetOin(const std::string& oin) override
    {
        const std::wstring text = WidenText(oin, CP_THREAD_ACP);
        m_model.SetOin(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    }

    std::string GetFilePath() override { return m_model.GetFilePath(); }
    void SetFilePath(const std::string& path) override { m_model.SetFilePath(path.c_str()); }

    std::string GetFileExtension() override { return m_model.GetFileExtension(); }

    void SetFileToReplace(const std::optional<FileIdentity>& file) override { m_model.SetFileToReplace(file); }

private:
    TModel& m_model;
};
