#pragma once

#include "dialog/ISepaInfoModel.h"

#include <comutil.h>

#include <string>

// Shows the run's payment details model to the dialog as an ISepaInfoModel:
// the model speaks BSTR for the OIN and the dialog narrow text, so the OIN is
// converted through the ANSI code page on the way in and out.
// The model is not owned.
template <class TModel>
class CSepaInfoModelAdapter : public ISepaInfoModel
{
public:
    explicit CSepaInfoModelAdapter(TModel& model) : m_model(model) {}

    DATE GetExecutionDate() override { return m_model.GetExecutionDate(); }
    void SetExecutionDate(DATE date) override { m_model.SetExecutionDate(date); }

    std::string GetOin() override
    {
        // Takes over the BSTR the model hands out; a null one reads as empty.
        const _bstr_t oin(m_model.GetOin(), false);
        const char* text = oin;
        return text ? text : "";
    }
    // The model takes over the BSTR and frees it.
    void SetOin(const std::string& oin) override { m_model.SetOin(_bstr_t(oin.c_str()).Detach()); }

    std::string GetFilePath() override { return m_model.GetFilePath(); }
    void SetFilePath(const std::string& path) override { m_model.SetFilePath(path.c_str()); }

    std::string GetFileExtension() override { return m_model.GetFileExtension(); }

private:
    TModel& m_model;
};
