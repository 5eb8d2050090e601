// A payment file that does not fit on its disk: the writer reports failure, the file that was
// there keeps its content and nothing else is left. SEPA_TEST_FULL_DISK names the folder of a
// small file system that full_disk.sh mounted; where no file system can be mounted, a disk that
// fills up after 16 KiB is simulated under the same checks.
#include "sepa/CreditTransferFile.h"

#include "resources/resource.h"

#include "FaultyFileOperations.h"
#include "HostObjects.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace paymentfile;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;

namespace {

TEST(FullDisk, AFileThatDoesNotFitLeavesTheFolderAsItWas)
{
    char mounted[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("SEPA_TEST_FULL_DISK", mounted, sizeof mounted);
    TemporaryFolder temporary;
    const bool real = length > 0 && length < sizeof mounted;
    const std::string folder = real ? std::string(mounted) : temporary.Path();
    std::printf("%s\n", real ? "on a full file system" : "no file system mounted: a simulated full disk");

    // The file that a user agreed to replace.
    const std::string target = folder + "\\BOV20130521140309PAIN001.xml";
    const std::string previous = "<Document>the file of an earlier run</Document>";
    {
        HANDLE file =
            CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, previous.data(), static_cast<DWORD>(previous.size()), &written, nullptr));
        CloseHandle(file);
    }

    // Some 400 KB of payment file.
    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    for (int i = 0; i < 1000; ++i)
        AddValidPayment(*batch, L"Velmora Supplies", 10.0 + i, L"PO 7");
    CFaultyFileOperations files;
    if (!real) files.writeLimit = 16 * 1024;
    EXPECT_FALSE(CreateCreditTransferFile(_bstr_t(L"OIN"),
                                          batch.get(),
                                          target.c_str(),
                                          IDR_PAIN001_STYLESHEET,
                                          IdentifyFile(target),
                                          CurrentLocalTime,
                                          files));
    // Wine answers a full disk with a write that succeeds short.
    EXPECT_TRUE(files.writeFellShort) << "the disk must have filled up";
    EXPECT_EQ(previous, ReadBytes(target));
    EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, FilesIn(folder));
    DeleteFileA(target.c_str());
}

} // namespace
