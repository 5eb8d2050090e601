// The host runner: loads a payment batch, hands it to the bank component's payment service
// as the host does, and reports what the run did.
#include "BatchCsv.h"
#include "BatchDatePicker.h"
#include "DialogAutomation.h"
#include "HostBatch.h"
#include "HostSettingsControl.h"
#include "PaymentServiceLoader.h"
#include "RunOutcome.h"
#include "RunReport.h"
#include "RunnerOptions.h"
#include "SameFile.h"
#include "SampleBatch.h"
#include "StepTimer.h"
#include "WholeFile.h"
#include "WrittenFile.h"

#include "common/RunStatus.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <stdexcept>
#include <string_view>

using namespace tavrin_host;

namespace {

enum ExitStatus {
    kExitAllValid = 0,
    kExitInvalidPayments = 1,
    kExitNoFile = 2,
    kExitCancelled = 3,
    kExitCallFailed = 4,
    kExitBadInput = 5,
    // 6 is the wrapper's: the program ended without recording its outcome.
    kExitReportNotWritten = 7,
};

void Print(std::string_view text, FILE* stream = stdout)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::vector<std::wstring> Arguments()
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}

// Configures the host's bank settings server in this process: the runner plays the host.
void ConfigureHostSettings(const RunnerOptions& options)
{
    if (!options.paymentDirGiven) return;
    HMODULE settings = LoadLibraryW(L"TavrinHostSettings.dll");
    if (!settings) return;
    auto configure = reinterpret_cast<HostSettingsConfigureFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(settings, "TavrinHostSettings_Configure")));
    if (configure) configure(Utf8(options.paymentDir).c_str(), HOST_SETTINGS_OK);
    // Kept loaded: COM uses this same instance for the settings object.
}

// The payment file the run wrote: only when the run says it wrote one, at the path the dialog
// held when it was confirmed, as Windows resolved it, and written during this run.
std::wstring FindWrittenFile(const RunReport& report, const DialogAutomation& dialog, const FILETIME& start)
{
    if (report.hresult != S_OK || (report.status != kRunDone && report.status != kRunDoneWithInvalidPayments))
        return std::wstring();
    const std::wstring path = ResolveSavePath(dialog.SavePathAtClose());
    return WrittenSince(path, start) ? path : std::wstring();
}

std::wstring TakeString(HRESULT hr, BSTR value)
{
    std::wstring text = SUCCEEDED(hr) && value ? std::wstring(value, SysStringLen(value)) : std::wstring();
    SysFreeString(value);
    return text;
}

// The component's message for each result code the payments hold, asked once a code.
std::map<long, std::wstring> ResultMessages(const HostPaymentBatch& batch, ITavrinBankPaymentService* service)
{
    std::map<long, std::wstring> messages;
    for (const HostRef<HostPayment>& payment : batch.payments) {
        const long code = payment->resultCode;
        if (messages.count(code)) continue;
        BSTR message = nullptr;
        const HRESULT hr = service->GetResultMessage(code, &message);
        messages.emplace(code, TakeString(hr, message));
    }
    return messages;
}

int ExitStatusOf(const RunReport& report)
{
    if (report.hresult != S_OK) return kExitCallFailed;
    switch (report.status) {
    case kRunDone: return kExitAllValid;
    case kRunDoneWithInvalidPayments: return kExitInvalidPayments;
    case kRunCancelled: return kExitCancelled;
    default: return kExitNoFile;
    }
}

// Why the report may not be written where the options say, or empty: it would take the place
// of the batch or of the payment file.
std::string ReportClash(const RunnerOptions& options)
{
    if (options.reportFile.empty()) return std::string();
    if (!options.batchFile.empty() && SameFile(options.reportFile, options.batchFile))
        return "the report " + Utf8(options.reportFile) + " would replace the batch file";
    const std::wstring save = options.saveGiven ? ResolveSavePath(options.save) : std::wstring();
    if (!save.empty() && SameFile(options.reportFile, save))
        return "the report " + Utf8(options.reportFile) + " would replace the payment file";
    return std::string();
}

// The batch the options name, or the built-in sample. The rows view bytes, which holds the file.
BatchRows ReadBatch(const RunnerOptions& options, std::string& bytes)
{
    if (options.batchFile.empty()) return BatchRows{SampleBatch(), {}};
    bytes = ReadWholeFile(options.batchFile, "the batch file");
    BatchDatePicker picker;
    return ParseBatchCsv(bytes, [&picker](const CalendarDay& day) { return picker.Shows(day); });
}

int Run(const RunnerOptions& options)
{
    const std::string clash = ReportClash(options);
    if (!clash.empty()) {
        Print("tavrin-host: " + clash + "\n", stderr);
        return kExitBadInput;
    }
    StepTimer steps;
    std::string bytes;
    BatchRows rows;
    try {
        rows = ReadBatch(options, bytes);
    } catch (const std::exception& e) {
        Print(std::string("tavrin-host: bad batch file: ") + e.what() + "\n", stderr);
        return kExitBadInput;
    }
    steps.Lap("runner-read");

    ConfigureHostSettings(options);
    std::wstring whyNot;
    BankDescription bank;
    const HostRef<ITavrinBankPaymentService> service(LoadPaymentService(L"TavrinBankOfVelmoraSEPA.Bank", bank, whyNot));
    if (!service) {
        Print("tavrin-host: " + Utf8(whyNot) + "\n", stderr);
        return kExitCallFailed;
    }

    steps.Restart();
    HostRef<HostPaymentBatch> batch = MakeHostBatch(rows.rows);
    // From here on the host's payments live in the batch alone, as in the host itself.
    rows = BatchRows();
    std::string().swap(bytes);
    HostRef<HostPaymentBatch> context = HostPaymentBatch::Create(); // the host's second argument
    steps.Lap("runner-objects");
    RunReport report;
    report.bankName = bank.name;
    report.bankKind = bank.kind;
    report.bankSubCategory = bank.subCategory;
    bool dateRefused = false;
    {
        DialogAutomation dialog(options);
        // Without --auto a person answers the boxes; they are still recorded.
        MessageBoxWatcher boxes(
            [&](const MessageBoxRecord& box, HWND window) { return dialog.AnswerFor(box, window); });
        FILETIME start;
        GetSystemTimeAsFileTime(&start);
        report.hresult = service->ProcessPayments(batch.get(), context.get());
        LONG status = -1;
        service->get_Status(&status);
        report.status = status;
        report.messages = boxes.Boxes();
        report.file = FindWrittenFile(report, dialog, start);
        report.filePath = UnixPathOf(report.file);
        dateRefused = dialog.DateRefused();
    }
    steps.Restart();
    report.payments = batch.get();
    report.resultMessages = ResultMessages(*batch, service.get());

    WriteReportText(report, [](std::string_view text) {
        Print(text);
        return true;
    });
    const int status = dateRefused ? kExitBadInput : ExitStatusOf(report);
    if (!options.reportFile.empty()) {
        if (!ReplaceWholeFile(options.reportFile,
                              [&report](const ByteSink& sink) { return WriteReportJson(report, sink); })) {
            Print("tavrin-host: cannot write the report " + Utf8(options.reportFile) +
                      "; the run itself ended with exit status " + std::to_string(status) + "\n",
                  stderr);
            return kExitReportNotWritten;
        }
    }
    steps.Lap("runner-report");
    if (dateRefused)
        Print("tavrin-host: the dialog's date picker cannot show --date " + FormatCalendarDay(options.date) +
                  "; the transfer was abandoned\n",
              stderr);
    return status;
}

int RunFromCommandLine()
{
    RunnerOptions options;
    try {
        options = ParseRunnerOptions(Arguments());
    } catch (const std::exception& e) {
        Print(std::string("tavrin-host: ") + e.what() + "\n" + RunnerUsage(), stderr);
        return kExitBadInput;
    }
    if (options.help) {
        Print(RunnerUsage());
        return kExitAllValid;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        Print("tavrin-host: cannot enter a COM apartment\n", stderr);
        return kExitCallFailed;
    }
    const int status = Run(options);
    CoUninitialize();
    return status;
}

} // namespace

int main()
{
    // Lines end in a line feed alone, as the scripts that read the output under Wine expect.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const int status = RunFromCommandLine();
    // Last of all, after the report: a record means the run really ended here.
    RecordOutcome(status);
    return status;
}
