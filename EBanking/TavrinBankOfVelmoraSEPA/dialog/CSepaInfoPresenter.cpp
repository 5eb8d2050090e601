#include "dialog/CSepaInfoPresenter.h"

#include "common/AsciiChars.h"
#include "common/CodePageText.h"

#include <oleauto.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {
#define SEPA_CHECK_MESSAGE(name, text) const char name[] = text;
#include "dialog/CheckMessages.inc"
#undef SEPA_CHECK_MESSAGE

static_assert(CSepaInfoPresenter::kMaxFilePathLength == 32767, "kFilePathTooLong names the limit");

constexpr double kMaxDaysAhead = 60.0;
constexpr std::size_t kMinOinLength = 6;

// The model takes the OIN in the thread's code page, as it hands it to the host.
constexpr UINT kOinCodePage = CP_THREAD_ACP;

std::wstring TextOrEmpty(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

template <class Text>
Text TrimmedOf(const Text& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t'))
        --last;
    return text.substr(first, last - first);
}

// Names the characters, so that the user knows what to change.
std::string CharactersMessage(const std::vector<std::wstring>& characters)
{
    std::wstring list;
    for (const std::wstring& character : characters)
        list += (list.empty() ? L"" : L" ") + character;
    if (list.empty()) return kFilePathUnusable;
    return kFilePathCharacters + NarrowText(list.data(), list.size(), CP_UTF8);
}
} // namespace

CSepaInfoPresenter::CSepaInfoPresenter(ISepaViewInfo* view, ISepaInfoModel* model, Clock clock)
    : m_view(view), m_model(model), m_clock(std::move(clock))
{
}

void CSepaInfoPresenter::LoadValues()
{
    m_view->SetExecutionDate(m_model->GetExecutionDate());
    m_view->SetOin(WidenText(m_model->GetOin(), kOinCodePage));
    m_view->SetFilePath(WidenText(m_model->GetFilePath(), kFilePathCodePage));
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

    // An OIN character the code page cannot hold is no letter, digit or symbol either.
    std::string oin;
    if (!NarrowExactly(TrimBlanks(TextOrEmpty(m_view->GetOin())), kOinCodePage, oin) || !IsValidOin(oin))
        errors.push_back(kInvalidOin);

    // The path is refused rather than let a look-alike or the default character take the
    // place of what was typed: a look-alike of a separator would lead to another folder.
    const std::wstring typedPath = TextOrEmpty(m_view->GetFilePath());
    const std::wstring trimmedPath = TrimBlanks(typedPath);
    std::string path;
    if (trimmedPath.empty()) {
        errors.push_back(kMissingFilePath);
    } else {
        // Measured before trimming: a field filled to its limit may have cut what was typed.
        if (typedPath.size() > kMaxFilePathLength) errors.push_back(kFilePathTooLong);
        if (!NarrowExactly(trimmedPath, kFilePathCodePage, path))
            errors.push_back(CharactersMessage(CharactersOutside(trimmedPath, kFilePathCodePage)));
    }

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

void CSepaInfoPresenter::ShowFilePathTooLong() { m_view->ShowErrors({kFilePathTooLong}); }

std::string CSepaInfoPresenter::TrimBlanks(const std::string& text) { return TrimmedOf(text); }

std::wstring CSepaInfoPresenter::TrimBlanks(const std::wstring& text) { return TrimmedOf(text); }

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
