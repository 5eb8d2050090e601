#pragma once
// The host runner's command line.
#include "CalendarDay.h"

#include <string>
#include <vector>

namespace tavrin_host {

struct RunnerOptions {
    std::wstring batchFile;  // empty: the built-in sample batch
    std::wstring reportFile; // --report: also write the report as JSON
    std::wstring paymentDir; // --payment-dir: the host's default payment directory
    bool paymentDirGiven = false;
    bool automatic = false; // --auto: answer the dialog and every message box
    bool cancel = false;    // --cancel: abandon the transfer in the dialog
    CalendarDay date;       // --date: picked in the dialog when given
    std::wstring oin, save; // typed into the dialog when given
    bool dateGiven = false, oinGiven = false, saveGiven = false;
    bool help = false;
};

// Throws std::invalid_argument with a readable message for a bad command line.
RunnerOptions ParseRunnerOptions(const std::vector<std::wstring>& args);

const char* RunnerUsage();

} // namespace tavrin_host
