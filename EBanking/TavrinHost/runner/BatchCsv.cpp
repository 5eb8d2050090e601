#include "BatchCsv.h"

#include "Utf8Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tavrin_host {
namespace {

// The columns as BatchColumns() lists them.
enum Column {
    kPayerName,
    kPayerIban,
    kPayerBic,
    kPayeeName,
    kPayeeIban,
    kPayeeBic,
    kAmount,
    kCurrency1,
    kCurrency2,
    kPaymentReference,
    kPayeeReference,
    kExecutionDate,
    kOin,
    kColumnCount
};

bool EndsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

// Reads RFC 4180 text one record at a time, without a string per field. Quoted fields may hold
// commas, doubled quotes and line breaks; CRLF, LF and a lone CR end a record.
class RecordReader {
public:
    RecordReader(std::string_view text, std::forward_list<std::string>& unquoted) : m_text(text), m_unquoted(unquoted)
    {
    }
    bool AtEnd() const { return m_next >= m_text.size(); }
    // The line on which the next record starts.
    size_t Line() const { return m_line; }
    void Next(std::vector<std::string_view>& fields);

private:
    std::string_view QuotedField();

    std::string_view m_text;
    std::forward_list<std::string>& m_unquoted;
    size_t m_next = 0;
    size_t m_line = 1;
};

void RecordReader::Next(std::vector<std::string_view>& fields)
{
    fields.clear();
    const size_t n = m_text.size();
    for (;;) {
        if (m_next < n && m_text[m_next] == '"') {
            fields.push_back(QuotedField());
        } else {
            const size_t start = m_next;
            for (; m_next < n && !EndsField(m_text[m_next]); ++m_next)
                if (m_text[m_next] == '"') throw CsvError(m_line, "a quote inside an unquoted field");
            fields.push_back(m_text.substr(start, m_next - start));
        }
        if (m_next >= n) return;
        if (m_text[m_next] == ',') {
            ++m_next;
            continue;
        }
        if (m_text[m_next] == '\r') ++m_next;
        if (m_next < n && m_text[m_next] == '\n') ++m_next;
        ++m_line;
        return;
    }
}

std::string_view RecordReader::QuotedField()
{
    const size_t n = m_text.size();
    const size_t openedAt = m_line;
    const size_t start = ++m_next;
    bool doubledQuotes = false;
    for (;;) {
        if (m_next >= n) throw CsvError(openedAt, "a quoted field is not closed");
        const char c = m_text[m_next++];
        if (c == '"') {
            if (m_next < n && m_text[m_next] == '"') {
                doubledQuotes = true;
                ++m_next;
                continue;
            }
            break;
        }
        if (c == '\n') ++m_line;
    }
    if (m_next < n && !EndsField(m_text[m_next])) throw CsvError(m_line, "unexpected text after a closing quote");
    const std::string_view quoted = m_text.substr(start, m_next - 1 - start);
    if (!doubledQuotes) return quoted;
    // Inside the quotes every quote is doubled: the second of each pair goes.
    std::string& unquoted = m_unquoted.emplace_front();
    unquoted.reserve(quoted.size());
    for (size_t i = 0; i < quoted.size(); ++i) {
        unquoted += quoted[i];
        if (quoted[i] == '"') ++i;
    }
    return unquoted;
}

bool IsBlank(const std::vector<std::string_view>& fields) { return fields.size() == 1 && fields[0].empty(); }

// Takes off what a C++ stream and strtol pass over before a number's digits: blanks and one
// sign. False when no digit or decimal point follows.
bool SkipToDigits(std::string_view& text, bool& negative)
{
    while (!text.empty() && (text.front() == ' ' || (text.front() >= '\t' && text.front() <= '\r')))
        text.remove_prefix(1);
    negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() && ((text.front() >= '0' && text.front() <= '9') || text.front() == '.');
}

double ParseAmount(std::string_view text, size_t line)
{
    if (text.empty()) throw CsvError(line, "the amount is empty");
    // The file's numbers use a full stop whatever the machine's locale says.
    std::string_view digits = text;
    bool negative = false;
    double value = 0.0;
    const bool number = SkipToDigits(digits, negative);
    const char* end = digits.data() + digits.size();
    std::from_chars_result read = std::from_chars(digits.data(), end, value);
    // Too small for a double, a number reads as the C library rounds it, to zero or nearly; too
    // large, it is no amount.
    if (read.ec == std::errc::result_out_of_range && read.ptr == end) {
        value = std::strtod(std::string(digits).c_str(), nullptr);
        if (!std::isinf(value)) read.ec = std::errc();
    }
    if (!number || read.ec != std::errc() || read.ptr != end)
        throw CsvError(line, "the amount '" + std::string(text) + "' is not a number");
    return negative ? -value : value;
}

long ParseCurrency(std::string_view text, size_t line, const char* column)
{
    if (text.empty()) return 978;
    std::string_view digits = text;
    bool negative = false;
    long value = 0;
    const bool number = SkipToDigits(digits, negative);
    const std::from_chars_result read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (!number || read.ec != std::errc() || read.ptr != digits.data() + digits.size() || (negative && value) ||
        value > 999)
        throw CsvError(line,
                       std::string("the ") + column + " '" + std::string(text) + "' is not an ISO 4217 numeric code");
    return value;
}

void ParseDate(std::string_view text, size_t line, const ShowableDay& showable, PaymentRow& row)
{
    if (text.empty()) return;
    bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    for (size_t i = 0; shaped && i < text.size(); ++i)
        if (i != 4 && i != 7) shaped = text[i] >= '0' && text[i] <= '9';
    const std::string date(text);
    if (!shaped) throw CsvError(line, "the execution date '" + date + "' is not YYYY-MM-DD");
    // From the year 100, the first an automation date can hold.
    CalendarDay day;
    if (!ParseCalendarDay(date, 100, day))
        throw CsvError(line, "the execution date '" + date + "' is not a calendar date");
    // The dialog would show another day in its place.
    if (!showable(day)) throw CsvError(line, "the dialog's date picker cannot show the execution date " + date);
    row.executionYear = day.year;
    row.executionMonth = day.month;
    row.executionDay = day.day;
}

// Where each column is in the file's records, from its header.
struct ColumnPositions {
    size_t of[kColumnCount];
    size_t fieldCount;
};

ColumnPositions ReadHeader(const std::vector<std::string_view>& names, size_t line)
{
    const std::vector<std::string>& columns = BatchColumns();
    ColumnPositions positions;
    std::fill(std::begin(positions.of), std::end(positions.of), names.size());
    positions.fieldCount = names.size();
    for (size_t i = 0; i < names.size(); ++i) {
        const auto column = std::find(columns.begin(), columns.end(), names[i]);
        if (column == columns.end()) throw CsvError(line, "unknown column '" + std::string(names[i]) + "'");
        size_t& position = positions.of[column - columns.begin()];
        if (position != names.size()) throw CsvError(line, "column '" + *column + "' appears twice");
        position = i;
    }
    for (size_t c = 0; c < kColumnCount; ++c)
        if (positions.of[c] == names.size()) throw CsvError(line, "column '" + columns[c] + "' is missing");
    return positions;
}

PaymentRow ReadRow(const std::vector<std::string_view>& fields, const ColumnPositions& positions, size_t line,
                   bool first, const ShowableDay& showable)
{
    if (fields.size() != positions.fieldCount)
        throw CsvError(
            line,
            "expected " + std::to_string(positions.fieldCount) + " fields, found " + std::to_string(fields.size()));
    auto field = [&](Column column) { return fields[positions.of[column]]; };
    PaymentRow row;
    row.payerName = field(kPayerName);
    row.payerIban = field(kPayerIban);
    row.payerBic = field(kPayerBic);
    row.payeeName = field(kPayeeName);
    row.payeeIban = field(kPayeeIban);
    row.payeeBic = field(kPayeeBic);
    row.amount = ParseAmount(field(kAmount), line);
    row.currency1 = ParseCurrency(field(kCurrency1), line, "currency1");
    row.currency2 = ParseCurrency(field(kCurrency2), line, "currency2");
    row.paymentReference = field(kPaymentReference);
    row.payeeReference = field(kPayeeReference);
    ParseDate(field(kExecutionDate), line, showable, row);
    if (first) {
        row.oin = field(kOin);
        row.hasOin = !row.oin.empty();
    } else if (!field(kOin).empty()) {
        throw CsvError(line, "only the first payment carries the batch's OIN");
    }
    return row;
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

BatchRows ParseBatchCsv(std::string_view text, const ShowableDay& showable)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.remove_prefix(3);
    // Checked whole first: converted later, a stray byte would be dropped without a word.
    const size_t invalid = FirstInvalidUtf8(text);
    if (invalid != std::string_view::npos)
        throw CsvError(1 + std::count(text.begin(), text.begin() + invalid, '\n'), "the text is not UTF-8");

    BatchRows batch;
    // A record a line, but for line breaks inside quotes: room enough, in one allocation.
    batch.rows.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    RecordReader reader(text, batch.unquoted);
    std::vector<std::string_view> fields;
    fields.reserve(kColumnCount);
    ColumnPositions positions = {};
    bool haveHeader = false;
    // Blank records at the end are no payments; one that more records follow is read as a record.
    size_t blankLine = 0;
    auto read = [&](const std::vector<std::string_view>& record, size_t line) {
        if (!haveHeader) {
            positions = ReadHeader(record, line);
            haveHeader = true;
        } else {
            batch.rows.push_back(ReadRow(record, positions, line, batch.rows.empty(), showable));
        }
    };
    while (!reader.AtEnd()) {
        const size_t line = reader.Line();
        reader.Next(fields);
        if (IsBlank(fields)) {
            if (!blankLine) blankLine = line;
            continue;
        }
        // Read as a record, a blank line fails: neither a header nor a payment is one empty field.
        if (blankLine) read({std::string_view()}, blankLine);
        blankLine = 0;
        read(fields, line);
    }
    if (!haveHeader) throw CsvError(1, "the file is empty: a header row is needed");
    return batch;
}

} // namespace tavrin_host
