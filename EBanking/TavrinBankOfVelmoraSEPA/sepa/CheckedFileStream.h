#pragma once
// The stream that the transformation writes the payment file into: every write goes to an open
// file and is checked, the bytes written and the start tags of one element are counted, and the
// first failure is kept and given back to every later call. The engine may not pass a failure
// on; the writer asks the stream.
#include "common/ComObject.h"
#include "sepa/FileOperations.h"
#include "sepa/XmlElementCounter.h"
#include "sepa/XmlRootDetector.h"

#include <objidl.h>

#include <string>
#include <utility>

class CCheckedFileStream : public IStream {
public:
    using Interfaces = ComInterfaces<ComInterface<IStream, ISequentialStream>>;

    // The file stays the caller's to close; operations must outlive the stream. countedElement
    // names the element whose start tags are counted.
    CCheckedFileStream(HANDLE file, CFileOperations& operations, std::string countedElement)
        : m_file(file), m_operations(operations), m_elements(std::move(countedElement))
    {
    }

    // S_OK while every write has gone to the file whole; otherwise the first failure.
    HRESULT Result() const { return m_result; }
    ULONGLONG BytesWritten() const { return m_written; }
    bool SawRootElement() const { return m_root.SawRootElement(); }
    unsigned long long ElementCount() const { return m_elements.Count(); }

    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* bytes, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* bytes, ULONG count, ULONG* written) override;
    // IStream: the file is written once from its start; moving within it is not offered.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* statistics, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;

protected:
    ~CCheckedFileStream() = default;

private:
    HANDLE m_file;
    CFileOperations& m_operations;
    HRESULT m_result = S_OK;
    ULONGLONG m_written = 0;
    CXmlRootDetector m_root;
    CXmlElementCounter m_elements;
};
