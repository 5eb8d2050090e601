#pragma once
// A payment batch as the host keeps it in a CSV file: UTF-8, a header row naming the columns,
// RFC 4180 quoting. Pure C++ so that it builds and can be tested anywhere.
#include "CalendarDay.h"

#include <forward_list>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin_host {

// One payment of a batch. Its text is not copied: it views the bytes it was read from.
struct PaymentRow {
    std::string_view payerName, payerIban, payerBic;
    std::string_view payeeName, payeeIban, payeeBic;
    double amount = 0.0;
    long currency1 = 978, currency2 = 978;
    std::string_view paymentReference, payeeReference;
    int executionYear = 0, executionMonth = 0, executionDay = 0; // all zero: no date
    std::string_view oin;                                        // first row only
    bool hasOin = false;
};

// The payments of a batch file. Their text views the bytes parsed, which must outlive them, or,
// for a quoted field that held doubled quotes, its unquoted copy kept here.
struct BatchRows {
    std::vector<PaymentRow> rows;
    std::forward_list<std::string> unquoted;
};

class CsvError : public std::runtime_error {
public:
    CsvError(size_t line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what), m_line(line)
    {
    }
    size_t Line() const { return m_line; }

private:
    size_t m_line;
};

// The columns, in the order a written file has them; a file may order them as it likes.
const std::vector<std::string>& BatchColumns();

// Whether the payment details dialog can show a day as the execution date.
using ShowableDay = std::function<bool(const CalendarDay& day)>;

// Parses a whole file's bytes. Throws CsvError naming the line (1-based) of the first fault:
// also text that is not UTF-8 and an execution date that the dialog cannot show.
BatchRows ParseBatchCsv(std::string_view bytes, const ShowableDay& showable);
// The rows would view a string that is gone.
BatchRows ParseBatchCsv(std::string&& bytes, const ShowableDay& showable) = delete;

} // namespace tavrin_host
