#include "RunReport.h"

#include "HostBatch.h"

#include "common/RunStatus.h"

#include <charconv>
#include <cstdio>
#include <locale>
#include <sstream>

namespace tavrin_host {
namespace {

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

// Two decimals with a full stop whatever the locale; cheap enough for a report line per payment.
std::string Amount(double amount)
{
    char text[400];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string();
}

// JSON has no NaN or infinity.
std::string JsonNumber(double amount)
{
    return amount == amount && amount - amount == 0.0 ? Amount(amount) : std::string("null");
}

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string JsonString(const std::wstring& text)
{
    std::string utf8 = Utf8(text);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Message texts hold line breaks; the text report shows them escaped on one line.
std::string OneLine(const std::wstring& text)
{
    std::string out;
    for (char c : Utf8(text)) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string FormatReportText(const RunReport& report)
{
    std::ostringstream out;
    out << "Payment run of the Bank Payment Service of " << Utf8(report.bankName) << " (kind " << report.bankKind
        << ", sub-category " << Utf8(report.bankSubCategory) << ")\n";
    out << "  ProcessPayments returned " << Hex(report.hresult) << (report.hresult == S_OK ? " (S_OK)" : "") << "\n";
    out << "  Run status: " << report.status << " (" << StatusMeaning(report.status) << ")\n";
    out << "  File: " << (report.file.empty() ? std::string("(none)") : Utf8(report.file));
    if (!report.filePath.empty()) out << "  (" << report.filePath << ")";
    out << "\n";
    out << "Messages shown: " << report.messages.size() << "\n";
    for (const MessageBoxRecord& box : report.messages)
        out << "  [" << Utf8(box.caption) << "] " << OneLine(box.text) << "  -> " << Utf8(box.answer) << "\n";
    out << "Payments: " << report.payments.size() << "\n";
    for (const PaymentOutcome& p : report.payments) {
        out << "  #" << p.index << "  code " << p.code;
        if (!p.message.empty()) out << "  " << Utf8(p.message);
        out << "\n";
        out << "      payer  " << Utf8(p.payerName) << " | " << Utf8(p.payerIban) << " | " << Utf8(p.payerBic) << "\n";
        out << "      payee  " << Utf8(p.payeeName) << " | " << Utf8(p.payeeIban) << " | " << Utf8(p.payeeBic) << "\n";
        out << "      amount " << Amount(p.amount) << "  currencies " << p.currency1 << "/" << p.currency2
            << "  reference " << Utf8(p.paymentReference);
        if (!p.payeeReference.empty()) out << "  payee reference " << Utf8(p.payeeReference);
        if (!p.executionDate.empty()) out << "  execution date " << Utf8(p.executionDate);
        if (p.index == 0) out << "  OIN " << (p.oin.empty() ? std::string("(none)") : Utf8(p.oin));
        out << "\n";
    }
    return out.str();
}

std::string FormatReportJson(const RunReport& report)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    const std::string hresult = Hex(report.hresult);
    out << "{\n  \"bank\": {\"name\": " << JsonString(report.bankName) << ", \"kind\": " << report.bankKind
        << ", \"sub_category\": " << JsonString(report.bankSubCategory)
        << "},\n  \"hresult\": " << JsonString(std::wstring(hresult.begin(), hresult.end()))
        << ",\n  \"status\": " << report.status
        << ",\n  \"status_text\": " << JsonString(Widen(StatusMeaning(report.status)))
        << ",\n  \"file\": " << (report.file.empty() ? std::string("null") : JsonString(report.file))
        << ",\n  \"file_path\": "
        << (report.filePath.empty() ? std::string("null") : JsonString(Widen(report.filePath)))
        << ",\n  \"messages\": [";
    for (size_t i = 0; i < report.messages.size(); ++i) {
        const MessageBoxRecord& box = report.messages[i];
        out << (i ? "," : "") << "\n    {\"caption\": " << JsonString(box.caption)
            << ", \"text\": " << JsonString(box.text) << ", \"answer\": " << JsonString(box.answer) << "}";
    }
    out << (report.messages.empty() ? "" : "\n  ") << "],\n  \"payments\": [";
    for (size_t i = 0; i < report.payments.size(); ++i) {
        const PaymentOutcome& p = report.payments[i];
        out << (i ? "," : "") << "\n    {\"index\": " << p.index << ", \"code\": " << p.code
            << ", \"message\": " << JsonString(p.message) << ", \"payer_name\": " << JsonString(p.payerName)
            << ", \"payer_iban\": " << JsonString(p.payerIban) << ", \"payer_bic\": " << JsonString(p.payerBic)
            << ", \"payee_name\": " << JsonString(p.payeeName) << ", \"payee_iban\": " << JsonString(p.payeeIban)
            << ", \"payee_bic\": " << JsonString(p.payeeBic) << ", \"amount\": " << JsonNumber(p.amount)
            << ", \"currency1\": " << p.currency1 << ", \"currency2\": " << p.currency2
            << ", \"payment_reference\": " << JsonString(p.paymentReference)
            << ", \"payee_reference\": " << JsonString(p.payeeReference)
            << ", \"execution_date\": " << (p.executionDate.empty() ? std::string("null") : JsonString(p.executionDate))
            << ", \"oin\": " << (p.index == 0 ? JsonString(p.oin) : std::string("null")) << "}";
    }
    out << (report.payments.empty() ? "" : "\n  ") << "]\n}\n";
    return out.str();
}

} // namespace tavrin_host
