// Measures how the time to write the payment file grows with the number of payments: the
// document build alone and the whole file (build, transformation, save), per payment, for
// each batch size given (default 10000 and 99999), best of a few rounds (default 3). It checks that each
// file holds every payment, and prints how the time per payment of the largest batch compares
// with the smallest. A benchmark, not a test: timings depend on the machine.
//
//   scripts/wine-run.sh build/bench-x86_64 PROGRAM [ROUNDS [SIZE...]]
//
// with PROGRAM build/bench-x86_64/bin/sepa_credit_transfer_file_benchmark.exe, which
// scripts/benchmark.sh builds.
#include "sepa/CreditTransferDocument.h"
#include "sepa/CreditTransferFile.h"

#include "resources/resource.h"

#include "HostObjects.h"

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;

namespace {

using Clock = std::chrono::steady_clock;

SYSTEMTIME CreationTime()
{
    SYSTEMTIME time = {};
    time.wYear = 2013;
    time.wMonth = 5;
    time.wDay = 21;
    time.wHour = 14;
    time.wMinute = 3;
    time.wSecond = 9;
    return time;
}

// Payments with the lengths of real ones, each with its own name, amount and reference.
HostRef<HostPaymentBatch> MakeBatch(int count)
{
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    for (int i = 0; i < count; ++i) {
        auto& payment = batch->Add();
        payment.payerName = L"Tavrin Holdings Velmora Branch";
        payment.payerIban = L"DE89370400440532013000";
        payment.payerBic = L"COBADEFFXXX";
        payment.payeeName = L"Supplier number " + std::to_wstring(i) + L" Trading Ltd";
        payment.payeeIban = L"GB29NWBK60161331926819";
        payment.payeeBic = L"NWBKGB2L";
        payment.payeeReference = L"Account " + std::to_wstring(100000 + i);
        payment.paymentReference = L"INV " + std::to_wstring(2013000 + i);
        payment.amount = 1 + (i % 100000) * 0.37;
        payment.executionDate = 41417.0;
    }
    return batch;
}

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct Result {
    int count = 0;
    double buildSeconds = 1e300;
    double fileSeconds = 1e300;
    bool complete = true;
};

// One round for one batch: the best times are kept, and the file is checked.
void Measure(HostPaymentBatch* batch, const std::string& path, Result& result)
{
    Clock::time_point start = Clock::now();
    IXMLDOMDocumentPtr document = BuildCreditTransferDocument(_bstr_t(L"VELMORA-OIN-0042"), batch, CreationTime);
    result.buildSeconds = std::min(result.buildSeconds, Seconds(Clock::now() - start));
    document = nullptr;

    DeleteFileA(path.c_str());
    start = Clock::now();
    const bool written = CreateCreditTransferFile(
        _bstr_t(L"VELMORA-OIN-0042"), batch, path.c_str(), IDR_PAIN001_STYLESHEET, std::nullopt, CreationTime);
    result.fileSeconds = std::min(result.fileSeconds, Seconds(Clock::now() - start));

    // Every payment is in the file, the last one with its own sequence number.
    char sequence[16];
    std::snprintf(sequence, sizeof sequence, "%05d", result.count);
    const std::string bytes = ReadAll(path);
    size_t transactions = 0;
    for (size_t at = bytes.find("<CdtTrfTxInf>"); at != std::string::npos; at = bytes.find("<CdtTrfTxInf>", at + 1))
        ++transactions;
    result.complete = result.complete && written && transactions == static_cast<size_t>(result.count) &&
                      bytes.find("<NbOfTxs>" + std::to_string(result.count) + "</NbOfTxs>") != std::string::npos &&
                      bytes.find(std::string("130521140309") + sequence + "</EndToEndId>") != std::string::npos;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 99999};

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "sepa-benchmark-PAIN001.xml";

    std::vector<HostRef<HostPaymentBatch>> batches;
    std::vector<Result> results(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        batches.push_back(MakeBatch(sizes[i]));
        results[i].count = sizes[i];
    }
    // The sizes take turns in every round, so that a change in the machine's load between
    // rounds does not favour one size.
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < sizes.size(); ++i)
            Measure(batches[i].get(), path, results[i]);

    int status = 0;
    std::printf(
        "%9s %12s %14s %12s %14s  %s\n", "payments", "build s", "build us/pmt", "file s", "file us/pmt", "complete");
    for (const Result& r : results) {
        std::printf("%9d %12.3f %14.2f %12.3f %14.2f  %s\n",
                    r.count,
                    r.buildSeconds,
                    1e6 * r.buildSeconds / r.count,
                    r.fileSeconds,
                    1e6 * r.fileSeconds / r.count,
                    r.complete ? "yes" : "NO");
        if (!r.complete) status = 1;
    }
    if (results.size() >= 2) {
        const Result& small = results.front();
        const Result& large = results.back();
        const double buildRatio = (large.buildSeconds / large.count) / (small.buildSeconds / small.count);
        const double fileRatio = (large.fileSeconds / large.count) / (small.fileSeconds / small.count);
        std::printf("time per payment, %d against %d payments: build %.2fx, file %.2fx (%s 1.5x)\n",
                    large.count,
                    small.count,
                    buildRatio,
                    fileRatio,
                    fileRatio <= 1.5 ? "within" : "ABOVE");
    }
    DeleteFileA(path.c_str());
    CoUninitialize();
    return status;
}
