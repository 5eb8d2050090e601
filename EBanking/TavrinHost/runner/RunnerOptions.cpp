#include "RunnerOptions.h"

#include <stdexcept>

namespace tavrin_host {
namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

const char* RunnerUsage()
{
    return "usage: tavrin-host [options] [BATCH.csv]\n"
           "  Runs the bank component's payment service on a payment batch, as the host does,\n"
           "  and prints a report. Without BATCH.csv a built-in sample batch is used.\n"
           "options:\n"
           "  --report FILE       also write the report as JSON\n"
           "  --payment-dir DIR   the host's default payment directory\n"
           "  --auto              answer the payment details dialog and every message box\n"
           "  --date YYYY-MM-DD   with --auto: the execution date to pick\n"
           "  --oin TEXT          with --auto: the OIN to type\n"
           "  --save PATH         with --auto: the file path to type\n"
           "  --cancel            with --auto: abandon the transfer instead of confirming it\n"
           "exit status: 0 file written, every payment valid; 1 file written with invalid payments;\n"
           "  2 no file written; 3 cancelled; 4 the call failed; 5 bad command line or batch file\n";
}

RunnerOptions ParseRunnerOptions(const std::vector<std::wstring>& args)
{
    RunnerOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        auto value = [&]() -> std::wstring {
            if (i + 1 >= args.size()) throw std::invalid_argument(Narrow(arg) + " needs a value");
            return args[++i];
        };
        if (arg == L"--report") options.reportFile = value();
        else if (arg == L"--payment-dir") { options.paymentDir = value(); options.paymentDirGiven = true; }
        else if (arg == L"--auto") options.automatic = true;
        else if (arg == L"--cancel") options.cancel = true;
        else if (arg == L"--date") {
            const std::string date = Narrow(value());
            // From 1601, where the platform's calendar starts.
            if (!ParseCalendarDay(date, 1601, options.date))
                throw std::invalid_argument("--date needs a calendar day as YYYY-MM-DD, not " + date);
            options.dateGiven = true;
        }
        else if (arg == L"--oin") { options.oin = value(); options.oinGiven = true; }
        else if (arg == L"--save") { options.save = value(); options.saveGiven = true; }
        else if (arg == L"--help" || arg == L"-h") options.help = true;
        else if (!arg.empty() && arg[0] == L'-') throw std::invalid_argument("unknown option " + Narrow(arg));
        else if (options.batchFile.empty()) options.batchFile = arg;
        else throw std::invalid_argument("only one batch file can be given");
    }
    if ((options.cancel || options.dateGiven || options.oinGiven || options.saveGiven) && !options.automatic)
        throw std::invalid_argument("--date, --oin, --save and --cancel go with --auto");
    return options;
}

} // namespace tavrin_host
