#pragma once

#include "dialog/CurrentLocalDate.h"
#include "dialog/ISepaInfoModel.h"
#include "dialog/ISepaViewInfo.h"

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

    // Drops leading and trailing spaces and tabs, nothing else.
    static std::string TrimBlanks(const std::string& text);

    // Whole days only: a date of today passes at any time of day.
    static bool IsBeforeToday(DATE date, DATE now);
    static bool IsTooFarAhead(DATE date, DATE now);
    static bool IsWorkingDay(DATE date);

    // The longest OIN accepted, and the most the dialog lets the user type.
    static constexpr std::size_t kMaxOinLength = 35;

    // 6 to kMaxOinLength characters, each an ASCII letter or digit or an IsOinSymbol.
    static bool IsValidOin(const std::string& oin);
    static bool IsOinSymbol(char c);

private:
    ISepaViewInfo* m_view;
    ISepaInfoModel* m_model;
    Clock m_clock;
};
