#pragma once

#include "dialog/CModalDialog.h"
#include "dialog/CSepaInfoModelAdapter.h"
#include "dialog/CSepaInfoPresenter.h"
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// The payment details dialog: execution date, OIN and save path for the
// whole batch. Ends with 1 when the values passed the checks and are stored
// in the model, 2 when the user abandoned the transfer, -1 on failure.
class CSepaInfoView : public CModalDialog, public ISepaViewInfo
{
public:
    // The model (the run's CSepaInfoModel) is not owned and must outlive the
    // dialog; the dialog reaches it through an adapter it owns.
    template <class TModel,
              std::enable_if_t<!std::is_base_of<ISepaInfoModel, TModel>::value, int> = 0>
    explicit CSepaInfoView(TModel* model, CSepaInfoPresenter::Clock clock = CurrentLocalDate)
        : CSepaInfoView(std::make_unique<CSepaInfoModelAdapter<TModel>>(model), std::move(clock))
    {
    }
    // For a model that already speaks the dialog's language; not owned.
    explicit CSepaInfoView(ISepaInfoModel* model, CSepaInfoPresenter::Clock clock = CurrentLocalDate);
    ~CSepaInfoView() override;

    // Shows the dialog modally to the calling thread's active window.
    INT_PTR DoModal();

    bool SetExecutionDate(DATE date) override;
    bool GetExecutionDate(DATE* date) override;
    void SetOin(std::string oin) override;
    const char* GetOin() override;
    void SetFilePath(std::string path) override;
    const char* GetFilePath() override;
    void ShowErrors(std::vector<std::string> messages) override;
    bool ShowWarning(std::string message) override;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void OnOK();
    void OnCancel();
    void OnBrowse();

    CSepaInfoView(std::unique_ptr<ISepaInfoModel> adapter, CSepaInfoPresenter::Clock clock);

    void CenterOverOwner();

    std::string m_oin;
    std::string m_filePath;
    std::unique_ptr<ISepaInfoModel> m_adapter;
    ISepaInfoModel* m_model;
    std::unique_ptr<CSepaInfoPresenter> m_presenter;
    HMODULE m_commonControls = nullptr;
};
