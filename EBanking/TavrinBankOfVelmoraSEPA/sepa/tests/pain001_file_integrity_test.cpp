// A payment file is there whole or not at all: whatever fails on the way (a write, the flush,
// the move into place, a file that ends up short), the writer says so, an existing file at the
// path keeps its content and no temporary file is left; a device is never taken for a file.
#include "sepa/CreditTransferFile.h"
#include "sepa/XmlRootDetector.h"

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

const char kPreviousContent[] = "<Document>the file of an earlier run</Document>";

class Pain001FileIntegrity : public testing::Test {
protected:
    void SetUp() override
    {
        // Enough payments for the engine to write the file in several pieces.
        for (int i = 0; i < 60; ++i)
            AddValidPayment(*batch, L"Velmora Supplies", 10.0 + i, L"PO 7");
    }

    bool Write(const std::string& path, CFileOperations& files)
    {
        return CreateCreditTransferFile(
            _bstr_t(L"OIN"), batch.get(), path.c_str(), IDR_PAIN001_STYLESHEET, CurrentLocalTime, files);
    }

    std::string Existing(const std::string& name)
    {
        const std::string path = folder.File(name);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, kPreviousContent, sizeof kPreviousContent - 1, &written, nullptr));
        CloseHandle(file);
        return path;
    }

    HostRef<HostPaymentBatch> batch = HostPaymentBatch::Create();
    TemporaryFolder folder;
};

TEST_F(Pain001FileIntegrity, EveryFailureKeepsTheExistingFileAndLeavesNoTemporaryFile)
{
    const std::string target = Existing("BOV20130521140309PAIN001.xml");
    struct Fault {
        const char* what;
        void (*set)(CFaultyFileOperations&);
    };
    const Fault faults[] = {
        {"a full disk after 6000 bytes", [](CFaultyFileOperations& f) { f.writeLimit = 6000; }},
        {"a short write after 6000 bytes",
         [](CFaultyFileOperations& f) {
             f.writeLimit = 6000;
             f.shortWrites = true;
         }},
        {"a full disk from the first byte", [](CFaultyFileOperations& f) { f.writeLimit = 0; }},
        {"a failing flush", [](CFaultyFileOperations& f) { f.failFlush = true; }},
        {"a failing move", [](CFaultyFileOperations& f) { f.failReplace = true; }},
        {"a written file one byte short", [](CFaultyFileOperations& f) { f.shortBeforeMove = true; }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        CFaultyFileOperations files;
        fault.set(files);
        EXPECT_FALSE(Write(target, files));
        EXPECT_EQ(kPreviousContent, ReadBytes(target));
        EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, folder.Files());
        ASSERT_EQ(1u, files.created.size()) << "one temporary file, in the target's folder";
        if (files.writeLimit >= 0) {
            EXPECT_GT(files.bytesOffered, files.writeLimit) << "the fault must be met";
        }
    }

    // Without a fault the same calls replace the file with the whole payment file.
    CFaultyFileOperations files;
    EXPECT_TRUE(Write(target, files));
    const WrittenFile file(target);
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(60, file.TransactionCount());
    EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, folder.Files());
}

TEST_F(Pain001FileIntegrity, AFileFoundShortAfterTheMoveIsRemoved)
{
    const std::string target = folder.File("short.xml");
    CFaultyFileOperations files;
    files.shortAfterMove = true;
    EXPECT_FALSE(Write(target, files));
    EXPECT_EQ(1u, files.replaced.size());
    EXPECT_TRUE(folder.Files().empty()) << "the short file was this run's own";
}

TEST_F(Pain001FileIntegrity, DevicesAndFoldersNeverPassAsWrittenFiles)
{
    const std::string inFolder = folder.Path() + "\\";
    const std::string paths[] = {
        "NUL",
        "nul.xml",
        inFolder + "NUL",
        inFolder + "con.txt",
        inFolder + "Com1.xml",
        inFolder + "LPT9",
        inFolder + "aux .xml",
        "\\\\.\\NUL",
        "\\\\.\\COM1",
        "\\\\?\\GLOBALROOT\\Device\\Null",
        inFolder + "stream.xml:payments",
        inFolder,
        // Wine's view of the Unix null device: a path that opens, but not a file.
        "Z:\\dev\\null",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CFaultyFileOperations files;
        files.failReplace = true; // a writer that got this far must still not move anything
        EXPECT_FALSE(Write(path, files));
        EXPECT_TRUE(files.created.empty()) << "nothing is written beside a device";
        EXPECT_TRUE(files.replaced.empty());
    }
    EXPECT_TRUE(folder.Files().empty());
}

// What stands before the first start tag decides whether the bytes are a document with a root.
TEST(XmlRootDetector, FindsTheRootBehindEverythingThatMayPrecedeIt)
{
    struct Case {
        std::string bytes;
        bool root;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document/>", true},
        {"\xEF\xBB\xBF\r\n<!-- a -- comment > --><?pi x?><!DOCTYPE d [<!ENTITY e \"<b>\">]>\n<d>", true},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", false},
        {"<!-- <Document> -->", false},
        {"text before <Document/>", false},
        {"<?xml version=\"1.0\"?></Document>", false},
        {std::string("\xFF\xFE<\0D\0/\0>\0", 10), true}, // UTF-16 with its byte order mark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        CXmlRootDetector whole;
        whole.Feed(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(c.root, whole.SawRootElement());
        CXmlRootDetector byByte;
        for (char byte : c.bytes)
            byByte.Feed(reinterpret_cast<const unsigned char*>(&byte), 1);
        EXPECT_EQ(c.root, byByte.SawRootElement()) << "fed one byte at a time";
    }
}

} // namespace
