#pragma once

#include <wtypes.h>

#include <string>
#include <vector>

// The payment details dialog as its presenter sees it: three fields and two
// ways to talk to the user. Implemented by the real dialog and by test fakes.
// The text fields hold the user's UTF-16 text, as the dialog's controls do.
class ISepaViewInfo {
public:
    // Shows the date in the date field; true when the field took it.
    virtual bool SetExecutionDate(DATE date) = 0;
    // Reads the date field, with whatever time of day the field holds; true
    // when `date` was written.
    virtual bool GetExecutionDate(DATE* date) = 0;

    virtual void SetOin(std::wstring oin) = 0;
    // The OIN field's text; valid until the next GetOin.
    virtual const wchar_t* GetOin() = 0;

    virtual void SetFilePath(std::wstring path) = 0;
    // The save-path field's text; valid until the next GetFilePath.
    virtual const wchar_t* GetFilePath() = 0;

    // Shows all messages, UTF-8 text, together and returns once the user has read them.
    virtual void ShowErrors(std::vector<std::string> messages) = 0;
    // Shows a note and asks whether to go on; true means go on.
    virtual bool ShowWarning(std::string message) = 0;

    virtual ~ISepaViewInfo() = default;
};
