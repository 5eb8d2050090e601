#pragma once
// The payment details of one run: the path chosen for the file, its extension, and the
// requested execution date and OIN. The date and the OIN are not kept here but in the host's
// first payment, so that the host holds what the user confirmed: every read asks the host
// afresh and every write goes to it at once. No operation reports a failure; a value the host
// cannot deliver reads as the default or as empty, and a write it cannot take is dropped.
#include "common/FileIdentity.h"
#include "common/LocalClock.h"
#include "TavrinBankPayments.h"

#include <optional>
#include <string>

class CSepaInfoModel {
public:
    // The batch is borrowed for the run (no reference is taken); the path is the run's default
    // full path and the extension has no dot.
    CSepaInfoModel(IPaymentBatch* batch, const char* fullPath, const char* extension,
                   LocalClock clock = CurrentLocalTime);

    // The first payment's execution date, unchanged even when past; the default date when the
    // host holds none (0.0) or the first payment cannot be fetched.
    DATE GetExecutionDate() const;
    void SetExecutionDate(DATE date);

    // Now on Monday to Friday; on Saturday and Sunday the coming Monday at the current time of
    // day. No holidays are known.
    DATE DefaultExecutionDate() const;

    // The value of the first identification entry of the first payment whose name is exactly
    // "Other", as a new BSTR the caller frees; an empty BSTR when there is none.
    BSTR GetOin() const;
    // Writes the value into that entry, or into a new entry named "Other" when there is none.
    // Takes ownership of oin and frees it.
    void SetOin(BSTR oin);

    std::string GetFilePath() const;
    void SetFilePath(const char* path);
    std::string GetFileExtension() const;

    // The one file the run may replace: the file that stood at the path when the user agreed
    // to replace it. Nothing when the path was free, or before the user confirmed.
    std::optional<FileIdentity> GetFileToReplace() const { return m_fileToReplace; }
    void SetFileToReplace(const std::optional<FileIdentity>& file) { m_fileToReplace = file; }

private:
    IPaymentBatch* m_batch;
    std::string m_path;
    std::string m_extension;
    std::optional<FileIdentity> m_fileToReplace;
    LocalClock m_clock;
};
