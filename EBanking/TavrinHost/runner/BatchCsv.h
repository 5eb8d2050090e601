#pragma once
// A payment batch as the host keeps it in a CSV file: UTF-8, a header row naming the columns,
// RFC 4180 quoting. Pure C++ so that it builds and can be tested anywhere.
#include "CalendarDay.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin_host {

struct PaymentRow {
    std::string payerName, payerIban, payerBic;
    std::string payeeName, payeeIban, payeeBic;
    double amount = 0.0;
    long currency1 = 978, currency2 = 978;
    std::string paymentReference, payeeReference;
    int executionYear = 0, executionMonth = 0, executionDay = 0; // all zero: no date
    std::string oin;                                             // first row only
    bool hasOin = false;
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
std::vector<PaymentRow> ParseBatchCsv(const std::string& bytes, const ShowableDay& showable);

} // namespace tavrin_host
