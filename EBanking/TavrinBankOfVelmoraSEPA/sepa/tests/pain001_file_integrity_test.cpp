// A payment file is there whole or not at all: whatever fails on the way (a write, the flush,
// the move into place, a file that ends up short), the writer says so, an existing file at the
// path keeps its content and no temporary file is left; a device is never taken for a file.
// Another writer's files are never replaced or deleted, and neither is a live run's temporary.
#include "sepa/CreditTransferFile.h"
#include "sepa/TemporaryFileName.h"
#include "sepa/WholeFileWriter.h"
#include "sepa/XmlElementCounter.h"
#include "sepa/XmlRootDetector.h"

#include "common/CodePageText.h"
#include "resources/resource.h"

#include "FaultyFileOperations.h"
#include "HostObjects.h"
#include "PaymentFileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace paymentfile;
using tavrin_host::HostPaymentBatch;
using tavrin_host::HostRef;

namespace {

const char kPreviousContent[] = "<Document>the file of an earlier run</Document>";
const char kOtherWritersContent[] = "<Document>another writer's file</Document>";

class Pain001FileIntegrity : public testing::Test {
protected:
    void SetUp() override
    {
        // Enough payments for the engine to write the file in several pieces.
        for (int i = 0; i < 60; ++i)
            AddValidPayment(*batch, L"Velmora Supplies", 10.0 + i, L"PO 7");
    }

    bool Write(const std::string& path, CFileOperations& files, const std::optional<FileIdentity>& replaces = {})
    {
        return CreateCreditTransferFile(
            _bstr_t(L"OIN"), batch.get(), path.c_str(), IDR_PAIN001_STYLESHEET, replaces, CurrentLocalTime, files);
    }

    std::string Existing(const std::string& name, const char* content = kPreviousContent)
    {
        const std::string path = folder.File(name);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, content, static_cast<DWORD>(strlen(content)), &written, nullptr));
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
        {"a failing move", [](CFaultyFileOperations& f) { f.failMove = true; }},
        {"a written file one byte short", [](CFaultyFileOperations& f) { f.shortBeforeMove = true; }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        CFaultyFileOperations files;
        fault.set(files);
        EXPECT_FALSE(Write(target, files, IdentifyFile(target)));
        EXPECT_EQ(kPreviousContent, ReadBytes(target));
        EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, folder.Files());
        ASSERT_EQ(1u, files.created.size()) << "one temporary file, in the target's folder";
        if (files.writeLimit >= 0) {
            EXPECT_GT(files.bytesOffered, files.writeLimit) << "the fault must be met";
        }
    }

    // Without a fault the same calls replace the file the user agreed to replace.
    CFaultyFileOperations files;
    EXPECT_TRUE(Write(target, files, IdentifyFile(target)));
    const WrittenFile file(target);
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(60, file.TransactionCount());
    EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, folder.Files());
}

// Runs writing into one folder at once: a file that another writer put at the path stays as it
// is, and so does a file put in the place of the one the user agreed to replace. A file placed
// whole counts as written, whatever is found at the path afterwards.
TEST_F(Pain001FileIntegrity, AnotherWritersFileIsNeitherReplacedNorDeleted)
{
    const std::string target = folder.File("BOV20130521140309PAIN001.xml");
    {
        SCOPED_TRACE("a file appears at a path that was free when the user confirmed it");
        CFaultyFileOperations files;
        files.beforeMove = [&] { Existing("BOV20130521140309PAIN001.xml", kOtherWritersContent); };
        EXPECT_FALSE(Write(target, files));
        EXPECT_EQ(1u, files.moved.size()) << "the fault must be met";
        EXPECT_EQ(kOtherWritersContent, ReadBytes(target));
        EXPECT_EQ(std::vector<std::string>{"BOV20130521140309PAIN001.xml"}, folder.Files());
    }
    for (const PathAfterMove seen : {PathAfterMove::Missing, PathAfterMove::Short}) {
        // What stands at the path after the move may be another writer's; the writer judges
        // the file it placed by its own handle, and deletes nothing there.
        SCOPED_TRACE(seen == PathAfterMove::Missing ? "nothing is found at the path after the move"
                                                    : "a short file is found at the path after the move");
        ASSERT_TRUE(DeleteFileA(target.c_str()));
        CFaultyFileOperations files;
        files.pathAfterMove = seen;
        EXPECT_TRUE(Write(target, files)) << "the file was placed whole";
        EXPECT_EQ(60, WrittenFile(target).TransactionCount());
    }
    {
        SCOPED_TRACE("another file stands in the place of the one the user agreed to replace");
        const std::optional<FileIdentity> agreed = IdentifyFile(target);
        ASSERT_TRUE(agreed.has_value());
        // Made while the agreed file still stands, so that it cannot take over its identity.
        const std::string other = Existing("other.xml");
        ASSERT_TRUE(MoveFileExA(other.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
        CFaultyFileOperations files;
        EXPECT_FALSE(Write(target, files, agreed));
        EXPECT_TRUE(files.created.empty()) << "nothing is written";
        EXPECT_EQ(kPreviousContent, ReadBytes(target));
    }
    {
        // Windows refuses to replace it; Wine would, but the writer checks before it writes.
        SCOPED_TRACE("the agreed file is read-only");
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
        CFaultyFileOperations files;
        EXPECT_FALSE(Write(target, files, IdentifyFile(target)));
        EXPECT_TRUE(files.created.empty()) << "nothing is written";
        EXPECT_EQ(kPreviousContent, ReadBytes(target));
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL));
    }
    {
        SCOPED_TRACE("every temporary name is taken by another writer");
        ASSERT_TRUE(DeleteFileA(target.c_str()));
        CFaultyFileOperations files;
        files.collidingCreates = true;
        EXPECT_FALSE(Write(target, files));
        EXPECT_EQ(files.created.size(), folder.Files().size()) << "the other writers' files stay";
        EXPECT_FALSE(FileExists(target));
    }
}

// A run ended outright leaves its temporary file; a later run into the folder removes it once
// the process that made it has ended (or its id has passed to another process), and leaves the
// files of running processes and every other file alone.
TEST_F(Pain001FileIntegrity, OnlyTheTemporaryFilesOfEndedProcessesAreRemoved)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    wchar_t command[] = L"cmd.exe /c exit";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(GetProcessTimes(child.hProcess, &created, &exited, &kernel, &user));
    WaitForSingleObject(child.hProcess, INFINITE);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    const RunningProcess ended{child.dwProcessId,
                               (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime};
    RunningProcess reused = CurrentProcess();
    ++reused.startTime;

    const auto name = [](const RunningProcess& maker) {
        const std::wstring wide = NextTemporaryFileName(maker);
        return NarrowText(wide.c_str(), wide.size(), CP_ACP);
    };
    std::vector<std::string> kept = {name(CurrentProcess()), "~sepa-1-2-3.tmp", "payments.xml"};
    for (const std::string& file : {kept[0], kept[1], name(ended), name(reused)})
        Existing(file);
    CFaultyFileOperations files;
    EXPECT_TRUE(Write(folder.File("payments.xml"), files));
    std::vector<std::string> left = folder.Files();
    std::sort(left.begin(), left.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, left);
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
        files.failMove = true; // a writer that got this far must still not move anything
        EXPECT_FALSE(Write(path, files));
        EXPECT_TRUE(files.created.empty()) << "nothing is written beside a device";
        EXPECT_TRUE(files.moved.empty());
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

// The transactions are counted in the bytes as they pass, however the writes split them, and a
// file with another number of them than the batch has payments is not written.
TEST_F(Pain001FileIntegrity, TheTransactionsAreCountedAcrossWritesAndTheirNumberChecked)
{
    const std::string bytes =
        "<?xml version=\"1.0\"?>\n<Document><CdtTrfTxInf><CdtTrfTxInfo/><CdtTrfTxInf/>"
        "<CdtTrfTxInf\n a='1'>x</CdtTrfTxInf><Other>CdtTrfTxInf</Other></Document>";
    for (const size_t piece : {bytes.size(), size_t(1), size_t(7)}) {
        SCOPED_TRACE(piece);
        CXmlElementCounter counter("CdtTrfTxInf");
        for (size_t at = 0; at < bytes.size(); at += piece)
            counter.Feed(reinterpret_cast<const unsigned char*>(bytes.data()) + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(3u, counter.Count());
    }

    const auto write = [&](IStream* stream) { return stream->Write(bytes.data(), ULONG(bytes.size()), nullptr); };
    const std::string target = folder.File("payments.xml");
    EXPECT_FALSE(WriteWholeFile(target.c_str(), write, WholeFileRules{std::nullopt, "CdtTrfTxInf", 4}));
    EXPECT_TRUE(folder.Files().empty());
    EXPECT_TRUE(WriteWholeFile(target.c_str(), write, WholeFileRules{std::nullopt, "CdtTrfTxInf", 3}));
}

} // namespace
