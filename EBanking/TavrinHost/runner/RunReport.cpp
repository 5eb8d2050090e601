#include "RunReport.h"

#include "CalendarDay.h"
#include "HostBatch.h"
#include "Utf8Text.h"

#include "common/RunStatus.h"

#include <oleauto.h>

#include <charconv>
#include <cstdio>
#include <string_view>

namespace tavrin_host {
namespace {

// The report is handed on in pieces of about this size.
const size_t kPieceSize = 256 * 1024;

const char* StatusMeaning(long status)
{
    switch (status) {
    case kRunDone: return "file written, every payment valid";
    case kRunDoneWithInvalidPayments: return "file written, with invalid payments";
    case kRunFileNotCreated: return "file not created";
    case kRunCancelled: return "cancelled";
    default: return "unknown";
    }
}

size_t PaymentCount(const RunReport& report) { return report.payments ? report.payments->payments.size() : 0; }

const std::wstring& ResultMessage(const RunReport& report, long code)
{
    static const std::wstring none;
    const auto found = report.resultMessages.find(code);
    return found == report.resultMessages.end() ? none : found->second;
}

void AppendNumber(std::string& out, long long value)
{
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Two decimals with a full stop whatever the locale.
void AppendAmount(std::string& out, double amount)
{
    char text[400];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
    if (written.ec == std::errc()) out.append(text, written.ptr);
}

// JSON has no NaN or infinity.
void AppendJsonNumber(std::string& out, double amount)
{
    if (amount == amount && amount - amount == 0.0)
        AppendAmount(out, amount);
    else
        out += "null";
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// "YYYY-MM-DD" for a DATE, or empty for none (zero). A batch mostly has one date, so the last
// one is kept.
class DateText {
public:
    std::string_view Of(DATE date)
    {
        if (date != m_date) {
            m_date = date;
            SYSTEMTIME day = {};
            if (date != 0.0 && VariantTimeToSystemTime(date, &day))
                m_text = FormatCalendarDay({day.wYear, day.wMonth, day.wDay});
            else
                m_text.clear();
        }
        return m_text;
    }

private:
    DATE m_date = 0.0;
    std::string m_text;
};

// Appends text in UTF-8 with each character that escape spells out (into spelled, returning
// its length) replaced by that spelling.
template <class Escape>
void AppendEscaped(std::string& out, std::wstring_view text, Escape escape)
{
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char spelled[8];
        const size_t length = escape(text[i], spelled);
        if (length == 0) continue;
        AppendUtf8(out, text.substr(plain, i - plain));
        out.append(spelled, length);
        plain = i + 1;
    }
    AppendUtf8(out, text.substr(plain));
}

size_t JsonEscape(wchar_t c, char (&spelled)[8])
{
    const char* escape = nullptr;
    switch (c) {
    case L'"': escape = "\\\""; break;
    case L'\\': escape = "\\\\"; break;
    case L'\n': escape = "\\n"; break;
    case L'\r': escape = "\\r"; break;
    case L'\t': escape = "\\t"; break;
    default:
        if (c >= 0x20) return 0;
        return static_cast<size_t>(std::snprintf(spelled, sizeof spelled, "\\u%04x", static_cast<unsigned>(c)));
    }
    spelled[0] = escape[0];
    spelled[1] = escape[1];
    return 2;
}

void AppendJsonString(std::string& out, std::wstring_view text)
{
    out += '"';
    AppendEscaped(out, text, JsonEscape);
    out += '"';
}

void AppendJsonString(std::string& out, const char* ascii)
{
    out += '"';
    out += ascii;
    out += '"';
}

// Message texts hold line breaks; the text report shows them escaped on one line.
void AppendOneLine(std::string& out, std::wstring_view text)
{
    AppendEscaped(out, text, [](wchar_t c, char(&spelled)[8]) -> size_t {
        if (c != L'\n' && c != L'\r') return 0;
        spelled[0] = '\\';
        spelled[1] = c == L'\n' ? 'n' : 'r';
        return 2;
    });
}

void AppendPaymentText(std::string& out, const HostPayment& p, long index, const std::wstring& message, DateText& dates)
{
    out += "  #";
    AppendNumber(out, index);
    out += "  code ";
    AppendNumber(out, p.resultCode);
    if (!message.empty()) {
        out += "  ";
        AppendUtf8(out, message);
    }
    out += "\n      payer  ";
    AppendUtf8(out, p.payerName.View());
    out += " | ";
    AppendUtf8(out, p.payerIban.View());
    out += " | ";
    AppendUtf8(out, p.payerBic.View());
    out += "\n      payee  ";
    AppendUtf8(out, p.payeeName.View());
    out += " | ";
    AppendUtf8(out, p.payeeIban.View());
    out += " | ";
    AppendUtf8(out, p.payeeBic.View());
    out += "\n      amount ";
    AppendAmount(out, p.amount);
    out += "  currencies ";
    AppendNumber(out, p.currency1);
    out += '/';
    AppendNumber(out, p.currency2);
    out += "  reference ";
    AppendUtf8(out, p.paymentReference.View());
    if (!p.payeeReference.empty()) {
        out += "  payee reference ";
        AppendUtf8(out, p.payeeReference.View());
    }
    const std::string_view date = dates.Of(p.executionDate);
    if (!date.empty()) {
        out += "  execution date ";
        out += date;
    }
    if (index == 0) {
        const std::wstring oin = p.Oin();
        out += "  OIN ";
        if (oin.empty())
            out += "(none)";
        else
            AppendUtf8(out, oin);
    }
    out += '\n';
}

void AppendPaymentJson(std::string& out, const HostPayment& p, long index, const std::wstring& message, DateText& dates)
{
    out += "\n    {\"index\": ";
    AppendNumber(out, index);
    out += ", \"code\": ";
    AppendNumber(out, p.resultCode);
    out += ", \"message\": ";
    AppendJsonString(out, message);
    out += ", \"payer_name\": ";
    AppendJsonString(out, p.payerName.View());
    out += ", \"payer_iban\": ";
    AppendJsonString(out, p.payerIban.View());
    out += ", \"payer_bic\": ";
    AppendJsonString(out, p.payerBic.View());
    out += ", \"payee_name\": ";
    AppendJsonString(out, p.payeeName.View());
    out += ", \"payee_iban\": ";
    AppendJsonString(out, p.payeeIban.View());
    out += ", \"payee_bic\": ";
    AppendJsonString(out, p.payeeBic.View());
    out += ", \"amount\": ";
    AppendJsonNumber(out, p.amount);
    out += ", \"currency1\": ";
    AppendNumber(out, p.currency1);
    out += ", \"currency2\": ";
    AppendNumber(out, p.currency2);
    out += ", \"payment_reference\": ";
    AppendJsonString(out, p.paymentReference.View());
    out += ", \"payee_reference\": ";
    AppendJsonString(out, p.payeeReference.View());
    out += ", \"execution_date\": ";
    const std::string_view date = dates.Of(p.executionDate);
    if (date.empty()) {
        out += "null";
    } else {
        out += '"';
        out += date;
        out += '"';
    }
    out += ", \"oin\": ";
    if (index == 0)
        AppendJsonString(out, p.Oin());
    else
        out += "null";
    out += '}';
}

// A report's text on its way to a sink: one buffer, handed on and emptied whenever it is full.
class Pieces {
public:
    explicit Pieces(const ByteSink& sink) : m_sink(sink) { m_text.reserve(kPieceSize + kPieceSize / 4); }
    std::string& Text() { return m_text; }
    // Hands the text on when a piece is full.
    bool Spill() { return m_text.size() < kPieceSize || HandOn(); }
    bool Finish() { return m_text.empty() || HandOn(); }

private:
    bool HandOn()
    {
        const bool taken = m_sink(m_text);
        m_text.clear();
        return taken;
    }

    const ByteSink& m_sink;
    std::string m_text;
};

} // namespace

bool WriteReportText(const RunReport& report, const ByteSink& sink)
{
    Pieces pieces(sink);
    std::string& out = pieces.Text();
    out += "Payment run of the Bank Payment Service of ";
    AppendUtf8(out, report.bankName);
    out += " (kind ";
    AppendNumber(out, report.bankKind);
    out += ", sub-category ";
    AppendUtf8(out, report.bankSubCategory);
    out += ")\n  ProcessPayments returned ";
    out += Hex(report.hresult);
    out += report.hresult == S_OK ? " (S_OK)\n" : "\n";
    out += "  Run status: ";
    AppendNumber(out, report.status);
    out += " (";
    out += StatusMeaning(report.status);
    out += ")\n  File: ";
    if (report.file.empty())
        out += "(none)";
    else
        AppendUtf8(out, report.file);
    if (!report.filePath.empty()) {
        out += "  (";
        out += report.filePath;
        out += ")";
    }
    out += "\nMessages shown: ";
    AppendNumber(out, static_cast<long long>(report.messages.size()));
    out += '\n';
    for (const MessageBoxRecord& box : report.messages) {
        out += "  [";
        AppendUtf8(out, box.caption);
        out += "] ";
        AppendOneLine(out, box.text);
        out += "  -> ";
        AppendUtf8(out, box.answer);
        out += '\n';
    }
    out += "Payments: ";
    AppendNumber(out, static_cast<long long>(PaymentCount(report)));
    out += '\n';
    DateText dates;
    for (size_t i = 0; i < PaymentCount(report); ++i) {
        const HostPayment& p = *report.payments->payments[i];
        AppendPaymentText(out, p, static_cast<long>(i), ResultMessage(report, p.resultCode), dates);
        if (!pieces.Spill()) return false;
    }
    return pieces.Finish();
}

bool WriteReportJson(const RunReport& report, const ByteSink& sink)
{
    Pieces pieces(sink);
    std::string& out = pieces.Text();
    out += "{\n  \"bank\": {\"name\": ";
    AppendJsonString(out, report.bankName);
    out += ", \"kind\": ";
    AppendNumber(out, report.bankKind);
    out += ", \"sub_category\": ";
    AppendJsonString(out, report.bankSubCategory);
    out += "},\n  \"hresult\": ";
    AppendJsonString(out, Hex(report.hresult).c_str());
    out += ",\n  \"status\": ";
    AppendNumber(out, report.status);
    out += ",\n  \"status_text\": ";
    AppendJsonString(out, StatusMeaning(report.status));
    out += ",\n  \"file\": ";
    if (report.file.empty())
        out += "null";
    else
        AppendJsonString(out, report.file);
    out += ",\n  \"file_path\": ";
    if (report.filePath.empty())
        out += "null";
    else
        AppendJsonString(out, Widen(report.filePath));
    out += ",\n  \"messages\": [";
    for (size_t i = 0; i < report.messages.size(); ++i) {
        const MessageBoxRecord& box = report.messages[i];
        if (i) out += ',';
        out += "\n    {\"caption\": ";
        AppendJsonString(out, box.caption);
        out += ", \"text\": ";
        AppendJsonString(out, box.text);
        out += ", \"answer\": ";
        AppendJsonString(out, box.answer);
        out += '}';
    }
    out += report.messages.empty() ? "" : "\n  ";
    out += "],\n  \"payments\": [";
    DateText dates;
    for (size_t i = 0; i < PaymentCount(report); ++i) {
        const HostPayment& p = *report.payments->payments[i];
        if (i) out += ',';
        AppendPaymentJson(out, p, static_cast<long>(i), ResultMessage(report, p.resultCode), dates);
        if (!pieces.Spill()) return false;
    }
    out += PaymentCount(report) == 0 ? "" : "\n  ";
    out += "]\n}\n";
    return pieces.Finish();
}

} // namespace tavrin_host
