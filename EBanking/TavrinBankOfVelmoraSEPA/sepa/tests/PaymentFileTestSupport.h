#pragma once
// What the payment file tests share: a fixed clock, a decimal-comma locale, folders that clean
// up after themselves, and a reader for written files.
#include "sepa/XmlDocument.h"

#include "HostObjects.h"

#include <windows.h>

#include <locale>
#include <string>
#include <vector>

__CRT_UUID_DECL(IXMLDOMDocument2, 0x2933bf95, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(IXMLDOMDocument2));

namespace paymentfile {

// A clock that always answers the same local time.
struct FixedClock {
    SYSTEMTIME time;
    SYSTEMTIME operator()() const { return time; }
};
FixedClock At(int year, int month, int day, int hour, int minute, int second);

// While it lives, every locale a formatter could pick up (the thread's, the C runtime's and
// the C++ global one) writes a decimal comma and groups thousands with a point.
class DecimalCommaLocale {
public:
    DecimalCommaLocale();
    ~DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;
    // How the C++ global locale and the C runtime now write 1234.5, to show the locale is on.
    static std::string StreamSample();
    static std::string PrintfSample();

private:
    LCID m_threadLocale;
    std::string m_cLocale;
    std::locale m_globalLocale;
};

// A new empty folder under the temporary folder, deleted with its files at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    // Names of the files in the folder.
    std::vector<std::string> Files() const;

private:
    std::string m_path;
};

// The names of the files (not folders) in folder.
std::vector<std::string> FilesIn(const std::string& folder);
bool FileExists(const std::string& path);

// A path in the program's folder under sepa-written-files, with no file there yet: a file of a
// valid batch left there is validated against the schemas after the Wine tests.
std::string KeptForSchemaCheck(const std::string& name);
std::string ReadBytes(const std::string& path);

// The child nodes of node in document order; none for a null node.
std::vector<IXMLDOMNodePtr> ChildNodes(IXMLDOMNode* node);
DOMNodeType NodeType(IXMLDOMNode* node);
// The node's value as text; "" when it has none.
std::wstring NodeText(IXMLDOMNode* node);

// A pain.001 file as written, read back with whitespace kept.
class WrittenFile {
public:
    explicit WrittenFile(const std::string& path);
    bool Loaded() const { return m_document != nullptr; }
    const std::string& Bytes() const { return m_bytes; }

    // The text of the element at a path of element names below CstmrCdtTrfInitn, such as
    // "GrpHdr/MsgId"; "(missing)" when there is no such element.
    std::wstring Text(const std::wstring& path) const;
    // The same below the transaction with this 1-based number.
    std::wstring TransactionText(int number, const std::wstring& path) const;
    std::wstring TransactionCurrency(int number) const;
    int TransactionCount() const;
    // Names of the child elements of the element at path ("" for CstmrCdtTrfInitn itself).
    std::vector<std::wstring> ChildNames(const std::wstring& path) const;

private:
    IXMLDOMNodePtr Find(const std::wstring& path) const;

    std::string m_bytes;
    IXMLDOMDocument2Ptr m_document;
};

// A payment with a debtor and creditor whose values pass both schemas.
tavrin_host::HostPayment& AddValidPayment(tavrin_host::HostPaymentBatch& batch, const wchar_t* payeeName, double amount,
                                          const wchar_t* reference);

} // namespace paymentfile
