// The host runner: loads a payment batch, hands it to the bank component's payment service
// as the host does, and reports what the run did.
#include "BatchCsv.h"
#include "DialogAutomation.h"
#include "HostBatch.h"
#include "HostSettingsControl.h"
#include "PaymentServiceLoader.h"
#include "RunReport.h"
#include "RunnerOptions.h"
#include "SampleBatch.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

using namespace tavrin_host;

namespace {

enum ExitStatus {
    kExitAllValid = 0,
    kExitInvalidPayments = 1,
    kExitNoFile = 2,
    kExitCancelled = 3,
    kExitCallFailed = 4,
    kExitBadInput = 5,
};

void Print(const std::string& text, FILE* stream = stdout)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::vector<std::wstring> Arguments()
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i) args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}

std::string ReadWholeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open the batch file " + Utf8(path));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
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

bool WrittenSince(const std::wstring& path, const FILETIME& start)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return CompareFileTime(&data.ftLastWriteTime, &start) >= 0;
}

// The payment file the run wrote: where the dialog was confirmed, or else a new time-stamped
// file in the host's payment directory.
std::wstring FindWrittenFile(const RunnerOptions& options, const DialogAutomation& dialog, const FILETIME& start)
{
    if (WrittenSince(dialog.ConfirmedPath(), start)) return dialog.ConfirmedPath();
    if (options.saveGiven && WrittenSince(options.save, start)) return options.save;
    if (!options.paymentDir.empty()) {
        std::wstring folder = options.paymentDir;
        if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"BOV*PAIN001.xml").c_str(), &found);
        std::wstring newest;
        FILETIME newestTime = start;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (CompareFileTime(&found.ftLastWriteTime, &newestTime) >= 0) {
                    newestTime = found.ftLastWriteTime;
                    newest = folder + found.cFileName;
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        if (!newest.empty()) return newest;
    }
    return std::wstring();
}

std::wstring TakeString(HRESULT hr, BSTR value)
{
    std::wstring text = SUCCEEDED(hr) && value ? std::wstring(value, SysStringLen(value)) : std::wstring();
    SysFreeString(value);
    return text;
}

std::vector<PaymentOutcome> ReadOutcomes(HostPaymentBatch& batch, ITavrinBankPaymentService* service)
{
    std::vector<PaymentOutcome> outcomes;
    for (size_t i = 0; i < batch.payments.size(); ++i) {
        const HostPayment& p = *batch.payments[i];
        PaymentOutcome o;
        o.index = static_cast<long>(i);
        o.code = p.resultCode;
        BSTR message = nullptr;
        const HRESULT hr = service->GetResultMessage(p.resultCode, &message);
        o.message = TakeString(hr, message);
        o.payerName = p.payerName;
        o.payerIban = p.payerIban;
        o.payerBic = p.payerBic;
        o.payeeName = p.payeeName;
        o.payeeIban = p.payeeIban;
        o.payeeBic = p.payeeBic;
        o.amount = p.amount;
        o.paymentReference = p.paymentReference;
        o.executionDate = FormatDate(p.executionDate);
        if (i == 0) o.oin = p.Oin();
        outcomes.push_back(o);
    }
    return outcomes;
}

int ExitStatusOf(const RunReport& report)
{
    if (report.hresult != S_OK) return kExitCallFailed;
    switch (report.status) {
    case 0: return kExitAllValid;
    case 1: return kExitInvalidPayments;
    case 3: return kExitCancelled;
    default: return kExitNoFile;
    }
}

int Run(const RunnerOptions& options)
{
    std::vector<PaymentRow> rows;
    try {
        rows = options.batchFile.empty() ? SampleBatch() : ParseBatchCsv(ReadWholeFile(options.batchFile));
    } catch (const std::exception& e) {
        Print(std::string("tavrin-host: bad batch file: ") + e.what() + "\n", stderr);
        return kExitBadInput;
    }

    ConfigureHostSettings(options);
    std::wstring whyNot;
    BankDescription bank;
    ITavrinBankPaymentService* service = LoadPaymentService(L"TavrinBankOfVelmoraSEPA.Bank", bank, whyNot);
    if (!service) {
        Print("tavrin-host: " + Utf8(whyNot) + "\n", stderr);
        return kExitCallFailed;
    }

    HostRef<HostPaymentBatch> batch = MakeHostBatch(rows);
    // From here on the host's payments live in the batch alone, as in the host itself.
    std::vector<PaymentRow>().swap(rows);
    HostRef<HostPaymentBatch> context = HostPaymentBatch::Create();  // the host's second argument
    RunReport report;
    report.bankName = bank.name;
    report.bankKind = bank.kind;
    report.bankSubCategory = bank.subCategory;
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
        report.file = FindWrittenFile(options, dialog, start);
    }
    report.payments = ReadOutcomes(*batch, service);
    service->Release();

    Print(FormatReportText(report));
    if (!options.reportFile.empty() && !WriteWholeFile(options.reportFile, FormatReportJson(report))) {
        Print("tavrin-host: cannot write the report " + Utf8(options.reportFile) + "\n", stderr);
        return kExitBadInput;
    }
    return ExitStatusOf(report);
}

} // namespace

int main()
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
        return 0;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        Print("tavrin-host: cannot enter a COM apartment\n", stderr);
        return kExitCallFailed;
    }
    int status = Run(options);
    CoUninitialize();
    return status;
}
