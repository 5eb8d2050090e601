#pragma once

#include "dialog/BstrText.h"
#include "dialog/ISepaInfoModel.h"

#include <string>

// Shows the run's payment details model to the dialog as an ISepaInfoModel:
// the model speaks BSTR for the OIN and the dialog narrow text, so the OIN is
// converted through the thread's ANSI code page on the way in and out.
// The model is not owned.
template <class TModel>
class CSepaInfoModelAdapter : public ISepaInfoModel
{
public:
    explicit CSepaInfoModelAdapter(TModel* model) : m_model(model) {}

    DATE GetExecutionDate() override { return m_model->GetExecutionDate(); }
    void SetExecutionDate(DATE date) override { m_model->SetExecutionDate(date); }

    std::string GetOin() override
    {
        const UniqueBstr oin(m_model->GetOin());
        return NarrowFromBstr(oin.get());
    }
    // The model takes over the BSTR and frees it.
    void SetOin(const std::string& oin) override { m_model->SetOin(AllocBstrFromNarrow(oin)); }

    std::string GetFilePath() override { return TextOf(m_model->GetFilePath()); }
    void SetFilePath(const std::string& path) override { m_model->SetFilePath(path.c_str()); }

    std::string GetFileExtension() override { return TextOf(m_model->GetFileExtension()); }

private:
    static std::string TextOf(const std::string& text) { return text; }
    static std::string TextOf(const char* text) { return text ? text : ""; }

    TModel* m_model;
};
