#include "BatchCsv.h"

#include "Utf8Text.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <locale>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string_view>

namespace tavrin_host {
namespace {

struct Record {
    size_t line; // where the record starts
    std::vector<std::string> fields;
};

// Splits RFC 4180 text into records. Quoted fields may hold commas, doubled quotes and line
// breaks; CRLF and LF both end a record.
std::vector<Record> SplitRecords(std::string_view text)
{
    std::vector<Record> records;
    size_t line = 1;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        Record record{line, {}};
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            field.clear();
            if (i < n && text[i] == '"') {
                const size_t openedAt = line;
                ++i;
                for (;;) {
                    if (i >= n) throw CsvError(openedAt, "a quoted field is not closed");
                    char c = text[i++];
                    if (c == '"') {
                        if (i < n && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
                if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                    throw CsvError(line, "unexpected text after a closing quote");
            } else {
                const size_t start = i;
                while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"') throw CsvError(line, "a quote inside an unquoted field");
                    ++i;
                }
                field.assign(text.data() + start, i - start);
            }
            record.fields.push_back(std::move(field));
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == ',') {
                ++i;
            } else {
                if (text[i] == '\r') ++i;
                if (i < n && text[i] == '\n') ++i;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

bool IsBlank(const Record& record) { return record.fields.size() == 1 && record.fields[0].empty(); }

double ParseAmount(const std::string& text, size_t line)
{
    if (text.empty()) throw CsvError(line, "the amount is empty");
    // The file's numbers use a full stop whatever the machine's locale says.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    if (in.fail() || !in.eof()) throw CsvError(line, "the amount '" + text + "' is not a number");
    return value;
}

long ParseCurrency(const std::string& text, size_t line, const char* column)
{
    if (text.empty()) return 978;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 0 || value > 999)
        throw CsvError(line, std::string("the ") + column + " '" + text + "' is not an ISO 4217 numeric code");
    return value;
}

void ParseDate(const std::string& text, size_t line, const ShowableDay& showable, PaymentRow& row)
{
    if (text.empty()) return;
    bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    for (size_t i = 0; shaped && i < text.size(); ++i)
        if (i != 4 && i != 7) shaped = text[i] >= '0' && text[i] <= '9';
    if (!shaped) throw CsvError(line, "the execution date '" + text + "' is not YYYY-MM-DD");
    // From the year 100, the first an automation date can hold.
    CalendarDay day;
    if (!ParseCalendarDay(text, 100, day))
        throw CsvError(line, "the execution date '" + text + "' is not a calendar date");
    // The dialog would show another day in its place.
    if (!showable(day)) throw CsvError(line, "the dialog's date picker cannot show the execution date " + text);
    row.executionYear = day.year;
    row.executionMonth = day.month;
    row.executionDay = day.day;
}

} // namespace

const std::vector<std::string>& BatchColumns()
{
    static const std::vector<std::string> columns = {"payer_name",
                                                     "payer_iban",
                                                     "payer_bic",
                                                     "payee_name",
                                                     "payee_iban",
                                                     "payee_bic",
                                                     "amount",
                                                     "currency1",
                                                     "currency2",
                                                     "payment_reference",
                                                     "payee_reference",
                                                     "execution_date",
                                                     "oin"};
    return columns;
}

std::vector<PaymentRow> ParseBatchCsv(const std::string& bytes, const ShowableDay& showable)
{
    // A large batch is read without copying it.
    std::string_view text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
    // Checked whole first: converted later, a stray byte would be dropped without a word.
    const size_t invalid = FirstInvalidUtf8(text);
    if (invalid != std::string_view::npos)
        throw CsvError(1 + std::count(text.begin(), text.begin() + invalid, '\n'), "the text is not UTF-8");

    std::vector<Record> records = SplitRecords(text);
    while (!records.empty() && IsBlank(records.back()))
        records.pop_back();
    if (records.empty()) throw CsvError(1, "the file is empty: a header row is needed");

    const Record& header = records.front();
    // Looked up by the column's literal name for every field: no string is made for it.
    std::map<std::string, size_t, std::less<>> index;
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& name = header.fields[i];
        bool known = false;
        for (const std::string& column : BatchColumns())
            known = known || column == name;
        if (!known) throw CsvError(header.line, "unknown column '" + name + "'");
        if (!index.emplace(name, i).second) throw CsvError(header.line, "column '" + name + "' appears twice");
    }
    for (const std::string& column : BatchColumns())
        if (!index.count(column)) throw CsvError(header.line, "column '" + column + "' is missing");

    std::vector<PaymentRow> rows;
    rows.reserve(records.size() - 1);
    for (size_t r = 1; r < records.size(); ++r) {
        Record& record = records[r];
        if (record.fields.size() != header.fields.size())
            throw CsvError(record.line,
                           "expected " + std::to_string(header.fields.size()) + " fields, found " +
                               std::to_string(record.fields.size()));
        // Each field is read once, so it is moved into the row rather than copied.
        auto field = [&](const char* column) -> std::string& { return record.fields[index.find(column)->second]; };
        PaymentRow row;
        row.payerName = std::move(field("payer_name"));
        row.payerIban = std::move(field("payer_iban"));
        row.payerBic = std::move(field("payer_bic"));
        row.payeeName = std::move(field("payee_name"));
        row.payeeIban = std::move(field("payee_iban"));
        row.payeeBic = std::move(field("payee_bic"));
        row.amount = ParseAmount(field("amount"), record.line);
        row.currency1 = ParseCurrency(field("currency1"), record.line, "currency1");
        row.currency2 = ParseCurrency(field("currency2"), record.line, "currency2");
        row.paymentReference = std::move(field("payment_reference"));
        row.payeeReference = std::move(field("payee_reference"));
        ParseDate(field("execution_date"), record.line, showable, row);
        if (r == 1) {
            row.oin = std::move(field("oin"));
            row.hasOin = !row.oin.empty();
        } else if (!field("oin").empty()) {
            throw CsvError(record.line, "only the first payment carries the batch's OIN");
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tavrin_host
