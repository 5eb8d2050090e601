#include "PaymentFileTestSupport.h"

#include "common/tests/TestDates.h"

#include <oleauto.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <locale>
#include <sstream>

namespace paymentfile {
namespace {

const wchar_t kNamespaces[] = L"xmlns:p='urn:iso:std:iso:20022:tech:xsd:pain.001.001.03'";
const wchar_t kInitiation[] = L"/p:Document/p:CstmrCdtTrfInitn";

// A decimal comma and a point between groups of three digits.
class CommaDecimal : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

std::wstring XPath(const std::wstring& base, const std::wstring& path)
{
    std::wstring result = base;
    size_t start = 0;
    while (start <= path.size() && !path.empty()) {
        const size_t slash = path.find(L'/', start);
        const std::wstring step = path.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        result += L"/p:" + step;
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    return result;
}

// What the folder holds, files and folders, without "." and "..".
std::vector<WIN32_FIND_DATAA> Entries(const std::string& folder)
{
    std::vector<WIN32_FIND_DATAA> entries;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") entries.push_back(found);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

void DeleteTree(const std::string& folder)
{
    for (const WIN32_FIND_DATAA& entry : Entries(folder)) {
        const std::string path = folder + "\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            DeleteTree(path);
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

FixedClock At(int year, int month, int day, int hour, int minute, int second)
{
    return FixedClock{LocalTime(year, month, day, hour, minute, second)};
}

DecimalCommaLocale::DecimalCommaLocale()
    : m_threadLocale(GetThreadLocale()),
      m_cLocale(std::setlocale(LC_ALL, nullptr)),
      m_globalLocale(std::locale::global(std::locale(std::locale::classic(), new CommaDecimal)))
{
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    std::setlocale(LC_ALL, "German_Germany.1252");
}

DecimalCommaLocale::~DecimalCommaLocale()
{
    std::setlocale(LC_ALL, m_cLocale.c_str());
    std::locale::global(m_globalLocale);
    SetThreadLocale(m_threadLocale);
}

std::string DecimalCommaLocale::StreamSample()
{
    std::ostringstream text;
    text << std::fixed;
    text.precision(2);
    text << 1234.5;
    return text.str();
}

std::string DecimalCommaLocale::PrintfSample()
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 1234.5);
    return text;
}

TemporaryFolder::TemporaryFolder()
{
    static int created = 0;
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    m_path =
        std::string(temp) + "sepa-file-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++created);
    DeleteTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TemporaryFolder::~TemporaryFolder() { DeleteTree(m_path); }

std::vector<std::string> TemporaryFolder::Files() const { return FilesIn(m_path); }

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const WIN32_FIND_DATAA& entry : Entries(folder))
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    return names;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string KeptForSchemaCheck(const std::string& name)
{
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof current, current);
    const std::string folder = std::string(current) + "\\sepa-written-files";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<IXMLDOMNodePtr> ChildNodes(IXMLDOMNode* node)
{
    std::vector<IXMLDOMNodePtr> children;
    IXMLDOMNodePtr child;
    if (node) node->get_firstChild(&child);
    while (child) {
        children.push_back(child);
        IXMLDOMNodePtr next;
        child->get_nextSibling(&next);
        child = next;
    }
    return children;
}

DOMNodeType NodeType(IXMLDOMNode* node)
{
    DOMNodeType type = NODE_INVALID;
    node->get_nodeType(&type);
    return type;
}

std::wstring NodeText(IXMLDOMNode* node)
{
    _variant_t value;
    node->get_nodeValue(&value);
    return value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
}

WrittenFile::WrittenFile(const std::string& path) : m_bytes(ReadBytes(path))
{
    IXMLDOMDocumentPtr document = CreateXmlDocument();
    IXMLDOMDocument2Ptr document2;
    if (!document || FAILED(document->QueryInterface(__uuidof(IXMLDOMDocument2), reinterpret_cast<void**>(&document2))))
        return;
    document2->put_preserveWhiteSpace(VARIANT_TRUE);
    document2->setProperty(_bstr_t(L"SelectionLanguage"), _variant_t(L"XPath"));
    document2->setProperty(_bstr_t(L"SelectionNamespaces"), _variant_t(kNamespaces));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(document2->load(_variant_t(path.c_str()), &loaded)) && loaded == VARIANT_TRUE) m_document = document2;
}

IXMLDOMNodePtr WrittenFile::Find(const std::wstring& path) const
{
    IXMLDOMNodePtr node;
    if (m_document) m_document->selectSingleNode(_bstr_t(path.c_str()), &node);
    return node;
}

// The element's own text nodes, joined: exactly what was written, blanks included.
std::wstring WrittenFile::Text(const std::wstring& path) const
{
    const IXMLDOMNodePtr element = Find(XPath(kInitiation, path));
    if (!element) return L"(missing)";
    std::wstring text;
    for (const IXMLDOMNodePtr& child : ChildNodes(element))
        if (NodeType(child) == NODE_TEXT) text += NodeText(child);
    return text;
}

std::wstring WrittenFile::TransactionText(int number, const std::wstring& path) const
{
    return Text(L"PmtInf/CdtTrfTxInf[" + std::to_wstring(number) + L"]/" + path);
}

std::wstring WrittenFile::TransactionCurrency(int number) const
{
    const IXMLDOMNodePtr amount =
        Find(XPath(kInitiation, L"PmtInf/CdtTrfTxInf[" + std::to_wstring(number) + L"]/Amt/InstdAmt"));
    IXMLDOMElementPtr element;
    if (!amount || FAILED(amount->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void**>(&element))))
        return L"(missing)";
    _variant_t currency;
    if (FAILED(element->getAttribute(_bstr_t(L"Ccy"), &currency)) || currency.vt != VT_BSTR) return L"(missing)";
    return currency.bstrVal;
}

int WrittenFile::TransactionCount() const
{
    IXMLDOMNodeListPtr transactions;
    long count = -1;
    if (m_document &&
        SUCCEEDED(m_document->selectNodes(_bstr_t(XPath(kInitiation, L"PmtInf/CdtTrfTxInf").c_str()), &transactions)) &&
        transactions)
        transactions->get_length(&count);
    return static_cast<int>(count);
}

std::vector<std::wstring> WrittenFile::ChildNames(const std::wstring& path) const
{
    std::vector<std::wstring> names;
    for (const IXMLDOMNodePtr& child : ChildNodes(Find(XPath(kInitiation, path)))) {
        if (NodeType(child) != NODE_ELEMENT) continue;
        BSTR name = nullptr;
        child->get_baseName(&name);
        names.push_back(name ? name : L"");
        SysFreeString(name);
    }
    return names;
}

tavrin_host::HostPayment& AddValidPayment(tavrin_host::HostPaymentBatch& batch, const wchar_t* payeeName, double amount,
                                          const wchar_t* reference)
{
    tavrin_host::HostPayment& payment = batch.Add();
    payment.payerName = L"Tavrin Holdings";
    payment.payerIban = L"DE89370400440532013000";
    payment.payerBic = L"COBADEFFXXX";
    payment.payeeName = payeeName;
    payment.payeeIban = L"GB29NWBK60161331926819";
    payment.payeeBic = L"NWBKGB2L";
    payment.amount = amount;
    payment.paymentReference = reference;
    payment.payeeReference = L"Invoice 42";
    payment.executionDate = MakeDate(2013, 5, 23);
    return payment;
}

} // namespace paymentfile
