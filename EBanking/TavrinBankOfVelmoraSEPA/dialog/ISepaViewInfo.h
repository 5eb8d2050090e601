#pragma once

#include <wtypes.h>

#include <string>
#include <vector>

// The payment details dialog as its presenter sees it: three fields and two
// ways to talk to the user. Implemented by the real dialog and by test fakes.
class ISepaViewInfo {
public:
    // Shows the date in the date field; true when the field took it.
    virtual bool SetExecutionDate(DATE date) = 0;
    // Reads the date field, with whatever time of day the field holds; true
    // when `date` was written.
    virtual bool GetExecutionDate(DATE* date) = 0;

    virtual void SetOin(std::string oin) = 0;
    // The OIN field's text; valid until the next GetOin.
    virtual const char* GetOin() = 0;

    virtual void SetFilePath(std::string path) = 0;
    // The save-path field's text; valid until the next GetFilePath.
    virtual const char* GetFilePath() = 0;

    // Shows all messages together and returns once the user has read them.
    virtual void ShowErrors(std::vector<std::string> messages) = 0;
    // Shows a note and asks whether to go on; true means go on.
    virtual bool ShowWarning(std::string message) = 0;

    virtual ~ISepaViewInfo() = default;
};
