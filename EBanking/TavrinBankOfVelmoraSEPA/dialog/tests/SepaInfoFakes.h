#pragma once

#include <wtypes.h>
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

#include <string>
#include <vector>

// A dialog whose fields the test fills in and whose output it records.
class RecordingView : public ISepaViewInfo
{
public:
    DATE date = 0.0;
    std::string oin;
    std::string filePath;

    std::vector<std::string> calls;
    std::vector<std::vector<std::string>> shownErrors;

    bool SetExecutionDate(DATE value) override
    {
        calls.push_back("SetExecutionDate");
        date = value;
        return true;
    }
    bool GetExecutionDate(DATE* value) override
    {
        calls.push_back("GetExecutionDate");
        *value = date;
        return true;
    }
    void SetOin(std::string value) override
    {
        calls.push_back("SetOin");
        oin = value;
    }
    const char* GetOin() override
    {
        calls.push_back("GetOin");
        m_oinRead = oin;
        return m_oinRead.c_str();
    }
    void SetFilePath(std::string value) override
    {
        calls.push_back("SetFilePath");
        filePath = value;
    }
    const char* GetFilePath() override
    {
        calls.push_back("GetFilePath");
        m_pathRead = filePath;
        return m_pathRead.c_str();
    }
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
    std::string m_oinRead;
    std::string m_pathRead;
};

// A model that records every value written to it.
class RecordingModel : public ISepaInfoModel
{
public:
    DATE date = 0.0;
    std::string oin;
    std::string filePath;
    std::string extension = "xml";

    std::vector<std::string> writes;

    DATE GetExecutionDate() override { return date; }
    void SetExecutionDate(DATE value) override
    {
        writes.push_back("SetExecutionDate");
        date = value;
    }
    std::string GetOin() override { return oin; }
    void SetOin(const std::string& value) override
    {
        writes.push_back("SetOin");
        oin = value;
    }
    std::string GetFilePath() override { return filePath; }
    void SetFilePath(const std::string& value) override
    {
        writes.push_back("SetFilePath");
        filePath = value;
    }
    std::string GetFileExtension() override { return extension; }
};

// Calendar day and time as a DATE; fails the calling test on a bad day.
DATE MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
