#include "sepa/CreditTransferFile.h"

#include "sepa/CreditTransferDocument.h"
#include "sepa/StylesheetResource.h"
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

// Transforms source with the stylesheet into a new document; empty when the result has no
// root element, so that a failed transformation never counts as a written file.
IXMLDOMDocumentPtr Transform(IXMLDOMDocument* source, IXMLDOMDocument* stylesheet)
{
    IXMLDOMDocumentPtr output = CreateXmlDocument();
    IDispatch* target = nullptr;
    if (!output || FAILED(output->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&target))) || !target)
        return nullptr;
    const _variant_t targetArgument(target, false);
    source->transformNodeToObject(stylesheet, targetArgument);
    IXMLDOMElementPtr root;
    if (FAILED(output->get_documentElement(&root)) || !root) return nullptr;
    return output;
}

// Saves the credit transfer document where SEPA_SAVE_INTERMEDIATE says, when it says so; the
// time this takes is left out of the step timings.
void SaveIntermediateWhenAsked(IXMLDOMDocument* source, CPhaseTimer& steps)
{
    const std::string path = IntermediateDocumentPath();
    if (path.empty()) return;
    source->save(_variant_t(path.c_str()));
    steps.Restart();
}

// The pain.001 document of the batch. The stylesheet and the credit transfer document are
// gone when it returns: a large batch's documents take much memory, and the save needs
// neither.
IXMLDOMDocumentPtr Pain001Document(const _bstr_t& debtorReference, IPaymentBatch* batch, int stylesheetId,
                                   const LocalClock& clock, CPhaseTimer& steps)
{
    const IXMLDOMDocumentPtr stylesheet = LoadStylesheet(stylesheetId);
    steps.Lap("stylesheet");
    if (!stylesheet) return nullptr;
    const IXMLDOMDocumentPtr source = BuildCreditTransferDocument(debtorReference, batch, clock);
    steps.Lap("document");
    if (!source) return nullptr;
    SaveIntermediateWhenAsked(source, steps);
    return Transform(source, stylesheet);
}

} // namespace

bool CreateCreditTransferFile(const _bstr_t& debtorReference, IPaymentBatch* batch, const char* outputPath,
                              int stylesheetId, const LocalClock& clock)
{
    if (!outputPath) return false;
    const _variant_t path(outputPath);
    const CComApartment apartment;
    // The last step, when the timer goes, is letting the output document go.
    CPhaseTimer steps("release");
    const IXMLDOMDocumentPtr output = Pain001Document(debtorReference, batch, stylesheetId, clock, steps);
    // The transformation's time includes letting the stylesheet and the source document go.
    steps.Lap("transformation");
    const bool saved = output && SUCCEEDED(output->save(path));
    steps.Lap("save");
    return saved;
}
