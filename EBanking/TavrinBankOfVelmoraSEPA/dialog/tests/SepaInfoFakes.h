#pragma once

#include <wtypes.h>
#include "common/tests/TestDates.h"
#include "dialog/CSepaInfoPresenter.h"
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// Logs the call by its name and keeps the value it passed.
template <class T>
void Record(std::vector<std::string>& log, const char* call, T& field, const T& value)
{
    log.push_back(call);
    field = value;
}

// A dialog whose fields the test fills in and whose output it records.
class RecordingView : public ISepaViewInfo {
public:
    DATE date = 0.0;
    std::wstring oin;
    std::wstring filePath;

    std::vector<std::string> calls;
    std::vector<std::vector<std::string>> shownErrors;

    bool SetExecutionDate(DATE value) override
    {
        Record(calls, "SetExecutionDate", date, value);
        return true;
    }
    bool GetExecutionDate(DATE* value) override
    {
        calls.push_back("GetExecutionDate");
        *value = date;
        return true;
    }
    void SetOin(std::wstring value) override { Record(calls, "SetOin", oin, value); }
    const wchar_t* GetOin() override { return Get("GetOin", oin, m_oinRead); }
    void SetFilePath(std::wstring value) override { Record(calls, "SetFilePath", filePath, value); }
    const wchar_t* GetFilePath() override { return Get("GetFilePath", filePath, m_pathRead); }
    void ShowErrors(std::vector<std::string> messages) override
    {
        calls.push_back("ShowErrors");
        shownErrors.push_back(messages);
    }
    bool ShowWarning(std::string) override
    {
        calls.push_back("ShowWarning");
        return false;
    }

private:
    // The field's text from a copy that, like the real dialog's, stays valid until the next read.
    const wchar_t* Get(const char* call, const std::wstring& field, std::wstring& copy)
    {
        calls.push_back(call);
        copy = field;
        return copy.c_str();
    }

    std::wstring m_oinRead;
    std::wstring m_pathRead;
};

// A model that records every value written to it.
class RecordingModel : public ISepaInfoModel {
public:
    DATE date = 0.0;
    std::string oin;
    std::string filePath;
    std::string extension = "xml";
    std::optional<FileIdentity> fileToReplace;

    std::vector<std::string> writes;

    DATE GetExecutionDate() override { return date; }
    void SetExecutionDate(DATE value) override { Record(writes, "SetExecutionDate", date, value); }
    std::string GetOin() override { return oin; }
    void SetOin(const std::string& value) override { Record(writes, "SetOin", oin, value); }
    std::string GetFilePath() override { return filePath; }
    void SetFilePath(const std::string& value) override { Record(writes, "SetFilePath", filePath, value); }
    std::string GetFileExtension() override { return extension; }
    void SetFileToReplace(const std::optional<FileIdentity>& file) override { fileToReplace = file; }
};

// A presenter between a recording dialog and a recording model, on a clock the test sets.
class PresenterTest : public ::testing::Test {
protected:
    // Wednesday 15 May 2024, mid-afternoon.
    DATE now = MakeDate(2024, 5, 15, 15, 42, 7);
    RecordingView view;
    RecordingModel model;
    CSepaInfoPresenter presenter{&view, &model, [this] { return now; }};
};
