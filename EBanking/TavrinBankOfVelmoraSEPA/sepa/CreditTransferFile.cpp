#include "sepa/CreditTransferFile.h"

#include "sepa/CreditTransferDocument.h"
#include "sepa/StylesheetResource.h"
#include "sepa/WholeFileWriter.h"
#include "sepa/XmlDocument.h"

#include "common/PhaseTimer.h"

#include <objbase.h>

#include <string>

namespace {

// The calling thread in a single-threaded apartment for as long as the file is being made.
// A thread already in an apartment keeps it: the initialisation then only counts up, or
// fails on a multi-threaded thread where COM is usable anyway, and is undone only when it
// succeeded.
class CComApartment {
public:
    CComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComApartment()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    HRESULT m_result;
};

bool HasRootElement(IXMLDOMDocument* document)
{
    IXMLDOMElementPtr root;
    return SUCCEEDED(document->get_documentElement(&root)) && root;
}

// Saves the credit transfer document where a benchmark build is told to; the time this takes
// is left out of the step timings. Does nothing in the product.
void SaveIntermediateWhenAsked(IXMLDOMDocument* source, CPhaseTimer& steps)
{
    const std::string path = IntermediateDocumentPath();
    if (path.empty()) return;
    source->save(_variant_t(path.c_str()));
    steps.Restart();
}

} // namespace

bool CreateCreditTransferFile(const _bstr_t& debtorReference, IPaymentBatch* batch, const char* outputPath,
                              int stylesheetId, const std::optional<FileIdentity>& replaces, const LocalClock& clock,
                              CFileOperations& files)
{
    if (!outputPath) return false;
    const CComApartment apartment;
    // The last step, when the timer goes, is letting the two documents go.
    CPhaseTimer steps("release");
    const IXMLDOMDocumentPtr stylesheet = LoadStylesheet(stylesheetId);
    steps.Lap("stylesheet");
    if (!stylesheet) return false;
    // A batch that gives no document root (no payments, one the host failed to deliver whole,
    // or an engine failure while the document was built) makes no file: one without those
    // payments would pass for the whole batch.
    const IXMLDOMDocumentPtr source = BuildCreditTransferDocument(debtorReference, batch, clock);
    steps.Lap("document");
    LONG payments = 0;
    if (!source || !HasRootElement(source) || FAILED(batch->get_Count(&payments)) || payments <= 0) return false;
    SaveIntermediateWhenAsked(source, steps);

    // One transaction per payment, counted as the file is written: the last guard against a
    // file that leaves payments out and would pass for the whole batch.
    WholeFileRules rules;
    rules.replaces = replaces;
    rules.countedElement = "CdtTrfTxInf";
    rules.expectedCount = static_cast<unsigned long long>(payments);

    // The transformation writes the file itself, through the component's own stream: no output
    // document is made, and the file carries the stylesheet's output settings.
    const bool written = WriteWholeFile(
        outputPath,
        [&](IStream* stream) {
            const HRESULT transformed =
                source->transformNodeToObject(stylesheet, _variant_t(static_cast<IUnknown*>(stream)));
            steps.Lap("transformation");
            return transformed;
        },
        rules,
        files);
    // Flushing, moving the file into place and checking it.
    steps.Lap("save");
    return written;
}
