#pragma once

#include "dialog/CurrentLocalDate.h"
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// Copies the payment details between the model and the dialog and checks
// what the user typed before any of it reaches the model. Knows nothing of
// windows: the dialog is an ISepaViewInfo and the clock is a function.
class CSepaInfoPresenter {
public:
    using Clock = std::function<DATE()>;

    // Neither the view nor the model is owned.
    CSepaInfoPresenter(ISepaViewInfo* view, ISepaInfoModel* model, Clock clock = CurrentLocalDate);

    // Fills the dialog's three fields from the model.
    void LoadValues();

    // Checks the three fields. On any failed rule shows every message at once
    // and returns false without touching the model; otherwise stores the
    // values in the model and returns true.
    bool ValidateAndStore();

    // Tells the user that a path chosen outside the field (in the Save As box) is longer than
    // kMaxFilePathLength.
    void ShowFilePathTooLong();

    // Drops leading and trailing spaces and tabs, nothing else.
    static std::string TrimBlanks(const std::string& text);
    static std::wstring TrimBlanks(const std::wstring& text);

    // Whole days only: a date of today passes at any time of day.
    static bool IsBeforeToday(DATE date, DATE now);
    static bool IsTooFarAhead(DATE date, DATE now);
    static bool IsWorkingDay(DATE date);

    // The longest OIN accepted, and the most the dialog lets the user type.
    static constexpr std::size_t kMaxOinLength = 35;

    // 6 to kMaxOinLength characters, each an ASCII letter or digit or an IsOinSymbol.
    static bool IsValidOin(const std::string& oin);
    static bool IsOinSymbol(char c);

    // The longest save path accepted, in UTF-16 characters: the most that Windows's wide file
    // calls take. The dialog's field and its Save As box hold more, so that a longer path is
    // refused rather than cut.
    static constexpr std::size_t kMaxFilePathLength = 32767;
    // The code page of the model's path: the process's, in which the system's narrow file calls
    // read it.
    static constexpr UINT kFilePathCodePage = CP_ACP;

private:
    ISepaViewInfo* m_view;
    ISepaInfoModel* m_model;
    Clock m_clock;
};
