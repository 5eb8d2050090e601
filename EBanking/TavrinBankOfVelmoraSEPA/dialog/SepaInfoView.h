#pragma once

#include "common/UniqueResource.h"
#include "dialog/CModalDialog.h"
#include "dialog/CSepaInfoPresenter.h"
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

#include <memory>
#include <string>
#include <vector>

class CSepaInfoModel;

// The payment details dialog: execution date, OIN and save path for the
// whole batch. Ends with 1 when the values passed the checks and are stored
// in the model, 2 when the user abandoned the transfer, -1 when it could not
// be shown; a failure while it is open closes it and is thrown to the caller.
class CSepaInfoView : public CModalDialog, public ISepaViewInfo {
public:
    // The run's model, not owned; it must outlive the dialog, which reaches
    // it through an adapter of its own.
    explicit CSepaInfoView(CSepaInfoModel& model, CSepaInfoPresenter::Clock clock = CurrentLocalDate);
    // A model that already speaks the dialog's language; not owned.
    explicit CSepaInfoView(ISepaInfoModel& model, CSepaInfoPresenter::Clock clock = CurrentLocalDate);
    ~CSepaInfoView() override;

    bool SetExecutionDate(DATE date) override;
    bool GetExecutionDate(DATE* date) override;
    void SetOin(std::wstring oin) override;
    const wchar_t* GetOin() override;
    void SetFilePath(std::wstring path) override;
    const wchar_t* GetFilePath() override;
    void ShowErrors(std::vector<std::string> messages) override;
    bool ShowWarning(std::string message) override;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CSepaInfoView(std::unique_ptr<ISepaInfoModel> adapter, CSepaInfoPresenter::Clock clock);

    BOOL OnInitDialog();
    void OnOK();
    void OnCancel();
    void OnBrowse();

    void CenterOverOwner();

    std::wstring m_oin;
    std::wstring m_filePath;
    std::unique_ptr<ISepaInfoModel> m_adapter;
    ISepaInfoModel& m_model;
    std::unique_ptr<CSepaInfoPresenter> m_presenter;
    UniqueResource<HMODULE, &FreeLibrary> m_commonControls;
};
