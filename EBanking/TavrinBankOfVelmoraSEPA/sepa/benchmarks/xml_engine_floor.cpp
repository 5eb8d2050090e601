// The XML engine alone on a payment run's credit transfer document: the least a payment file
// can cost with this engine. Loads the document that a run saved (SEPA_SAVE_INTERMEDIATE),
// loads the embedded pain.001 stylesheet, transforms the one with the other and saves the
// result, with nothing of the component around these calls. Prints the seconds of each step
// as "step seconds" lines, for scripts/benchmark.sh to set against the run's own steps.
//
//   xml_engine_floor.exe SOURCE.xml OUTPUT.xml
#include "sepa/StylesheetResource.h"
#include "sepa/XmlDocument.h"

#include "resources/resource.h"

#include <objbase.h>

#include <cstdio>
#include <string>

namespace {

class CStepClock {
public:
    CStepClock() { QueryPerformanceCounter(&m_start); }

    void Lap(const char* step)
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        std::printf("%s %.6f\n", step,
                    static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart));
        QueryPerformanceCounter(&m_start);
    }

private:
    LARGE_INTEGER m_start;
};

_bstr_t Widen(const std::string& bytes)
{
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), size, &text[0], length);
    return _bstr_t(text.c_str());
}

int Run(const char* sourcePath, const char* outputPath)
{
    CStepClock clock;
    IXMLDOMDocumentPtr stylesheet = CreateXmlDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!stylesheet || FAILED(stylesheet->loadXML(Widen(LoadStylesheetResource(IDR_PAIN001_STYLESHEET)), &loaded)) ||
        !loaded) {
        std::fprintf(stderr, "xml_engine_floor: the stylesheet does not load\n");
        return 1;
    }
    clock.Lap("stylesheet");

    IXMLDOMDocumentPtr source = CreateXmlDocument();
    if (!source || FAILED(source->load(_variant_t(sourcePath), &loaded)) || !loaded) {
        std::fprintf(stderr, "xml_engine_floor: cannot load %s\n", sourcePath);
        return 1;
    }
    clock.Lap("load");

    IXMLDOMDocumentPtr output = CreateXmlDocument();
    IDispatch* target = nullptr;
    if (!output || FAILED(output->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&target)))) return 1;
    _variant_t targetArgument(target, false);
    if (FAILED(source->transformNodeToObject(stylesheet, targetArgument))) {
        std::fprintf(stderr, "xml_engine_floor: the transformation failed\n");
        return 1;
    }
    targetArgument.Clear();
    source = nullptr;
    stylesheet = nullptr;
    clock.Lap("transformation");

    if (FAILED(output->save(_variant_t(outputPath)))) {
        std::fprintf(stderr, "xml_engine_floor: cannot save %s\n", outputPath);
        return 1;
    }
    clock.Lap("save");
    output = nullptr;
    clock.Lap("release");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: xml_engine_floor SOURCE.xml OUTPUT.xml\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const int status = Run(argv[1], argv[2]);
    CoUninitialize();
    return status;
}
