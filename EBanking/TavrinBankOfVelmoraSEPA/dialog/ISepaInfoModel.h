#pragma once

#include "common/FileIdentity.h"

#include <wtypes.h>

#include <optional>
#include <string>

// The payment details of one run as the dialog and its presenter need them,
// as narrow text: the OIN in the thread's ANSI code page, the path in the
// process's ANSI code page, in which the system's narrow file calls read it.
// CSepaInfoModelAdapter puts this face on the run's CSepaInfoModel.
class ISepaInfoModel {
public:
    virtual DATE GetExecutionDate() = 0;
    virtual void SetExecutionDate(DATE date) = 0;

    virtual std::string GetOin() = 0;
    virtual void SetOin(const std::string& oin) = 0;

    virtual std::string GetFilePath() = 0;
    virtual void SetFilePath(const std::string& path) = 0;

    // Extension of the output file, without the dot.
    virtual std::string GetFileExtension() = 0;

    // The file at the path that the user agreed to replace; nothing when the path was free.
    virtual void SetFileToReplace(const std::optional<FileIdentity>& file) = 0;

    virtual ~ISepaInfoModel() = default;
};
