#include "RunnerOptions.h"

#include <stdexcept>

namespace tavrin_host {
namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

const char* RunnerUsage()
{
    // usage.txt, which the wrapper prints too.
    return
#include "RunnerUsage.inc"
        ;
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
        if (arg == L"--report")
            options.reportFile = value();
        else if (arg == L"--payment-dir") {
            options.paymentDir = value();
            options.paymentDirGiven = true;
        } else if (arg == L"--auto")
            options.automatic = true;
        else if (arg == L"--cancel")
            options.cancel = true;
        else if (arg == L"--date") {
            const std::string date = Narrow(value());
            // From 1601, where the platform's calendar starts.
            if (!ParseCalendarDay(date, 1601, options.date))
                throw std::invalid_argument("--date needs a calendar day as YYYY-MM-DD, not " + date);
            options.dateGiven = true;
        } else if (arg == L"--oin") {
            options.oin = value();
            options.oinGiven = true;
        } else if (arg == L"--save") {
            options.save = value();
            options.saveGiven = true;
        } else if (arg == L"--help" || arg == L"-h")
            options.help = true;
        else if (!arg.empty() && arg[0] == L'-')
            throw std::invalid_argument("unknown option " + Narrow(arg));
        else if (options.batchFile.empty())
            options.batchFile = arg;
        else
            throw std::invalid_argument("only one batch file can be given");
    }
    if ((options.cancel || options.dateGiven || options.oinGiven || options.saveGiven) && !options.automatic)
        throw std::invalid_argument("--date, --oin, --save and --cancel go with --auto");
    return options;
}

} // namespace tavrin_host
