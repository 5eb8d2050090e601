#include "dialog/CSepaInfoPresenter.h"

#include "common/AsciiChars.h"

#include <oleauto.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {
const char kDateInPast[] = "The Requested Execution Date must not be before today.";
const char kDateTooFarAhead[] = "The Requested Execution Date cannot be more than 60 days in the future.";
const char kDateNotWorkingDay[] = "The Requested Execution Date must be a working day (Monday to Friday).";
const char kInvalidOin[] =
    "Please supply a valid OIN; this will be provided by your bank.\n"
    "        * OIN must contain at least 6 characters.\n"
    "        * Characters allowed are A-Z and 0-9.";
const char kMissingFilePath[] = "Please supply a valid file name & location for generated payments file.";

constexpr double kMaxDaysAhead = 60.0;
constexpr std::size_t kMinOinLength = 6;

std::string TextOrEmpty(const char* text) { return text ? std::string(text) : std::string(); }
} // namespace

CSepaInfoPresenter::CSepaInfoPresenter(ISepaViewInfo* view, ISepaInfoModel* model, Clock clock)
    : m_view(view), m_model(model), m_clock(std::move(clock))
{
}

void CSepaInfoPresenter::LoadValues()
{
    m_view->SetExecutionDate(m_model->GetExecutionDate());
    m_view->SetOin(m_model->GetOin());
    m_view->SetFilePath(m_model->GetFilePath());
}

bool CSepaInfoPresenter::ValidateAndStore()
{
    std::vector<std::string> errors;

    // An unreadable date field leaves day 0, a Saturday long past.
    DATE date = 0.0;
    m_view->GetExecutionDate(&date);

    // The clock is read for each rule so that a check made just after
    // midnight measures against the new day.
    if (IsBeforeToday(date, m_clock())) errors.push_back(kDateInPast);
    if (IsTooFarAhead(date, m_clock())) errors.push_back(kDateTooFarAhead);
    if (!IsWorkingDay(date)) errors.push_back(kDateNotWorkingDay);

    const std::string oin = TrimBlanks(TextOrEmpty(m_view->GetOin()));
    if (!IsValidOin(oin)) errors.push_back(kInvalidOin);

    const std::string path = TrimBlanks(TextOrEmpty(m_view->GetFilePath()));
    if (path.empty()) errors.push_back(kMissingFilePath);

    if (!errors.empty()) {
        m_view->ShowErrors(errors);
        return false;
    }

    // The OIN keeps the case it was typed in, and the date keeps its time of day.
    m_model->SetOin(oin);
    m_model->SetFilePath(path);
    m_model->SetExecutionDate(date);
    return true;
}

std::string CSepaInfoPresenter::TrimBlanks(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && ascii::IsBlank(text[first]))
        ++first;
    while (last > first && ascii::IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool CSepaInfoPresenter::IsBeforeToday(DATE date, DATE now) { return std::floor(now) > std::floor(date); }

bool CSepaInfoPresenter::IsTooFarAhead(DATE date, DATE now)
{
    return std::floor(date) > std::floor(now) + kMaxDaysAhead;
}

bool CSepaInfoPresenter::IsWorkingDay(DATE date)
{
    SYSTEMTIME calendar{};
    if (!VariantTimeToSystemTime(date, &calendar)) return false;
    return calendar.wDayOfWeek != 0 && calendar.wDayOfWeek != 6;
}

bool CSepaInfoPresenter::IsValidOin(const std::string& oin)
{
    if (oin.size() < kMinOinLength || oin.size() > kMaxOinLength) return false;
    for (char c : oin) {
        if (!ascii::IsAlphanumeric(c) && !IsOinSymbol(c)) return false;
    }
    return true;
}

bool CSepaInfoPresenter::IsOinSymbol(char c)
{
    // strchr would also find the terminating NUL.
    return c != '\0' && std::strchr(" /-?:().,+'", c) != nullptr;
}
