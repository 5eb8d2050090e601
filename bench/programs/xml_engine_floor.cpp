// The XML engine alone on a payment run's credit transfer document: the least a payment file
// can cost with this engine. Loads the document that a run saved (SEPA_SAVE_INTERMEDIATE),
// loads the embedded pain.001 stylesheet and transforms the one with the other into the
// system's own stream on the output file, as the run does into its checked stream, with nothing
// of the component around these calls. Prints the seconds of each step
// as "step seconds" lines, for scripts/benchmark.sh to set against the run's own steps.
//
//   xml_engine_floor.exe SOURCE.xml OUTPUT.xml
#include "common/CodePageText.h"
#include "sepa/StylesheetResource.h"
#include "sepa/XmlDocument.h"

#include "resources/resource.h"

#include <objbase.h>
#include <shlwapi.h>

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
        std::printf("%s %.6f\n",
                    step,
                    static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart));
        QueryPerformanceCounter(&m_start);
    }

private:
    LARGE_INTEGER m_start;
};

// A saved document's UTF-8 text, without its declaration: the engine refuses a declared
// encoding in a string it is given.
_bstr_t FileText(const char* path)
{
    std::string bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    if (bytes.compare(0, 5, "<?xml") == 0) bytes.erase(0, bytes.find("?>") + 2);
    return _bstr_t(WidenText(bytes, CP_UTF8).c_str());
}

int Run(const char* sourcePath, const char* outputPath)
{
    CStepClock clock;
    IXMLDOMDocumentPtr stylesheet = LoadStylesheet(IDR_PAIN001_STYLESHEET);
    if (!stylesheet) {
        std::fprintf(stderr, "xml_engine_floor: the stylesheet does not load\n");
        return 1;
    }
    clock.Lap("stylesheet");

    // From text, as the engine's load from a path grows its read buffer a piece at a time. The
    // line breaks between the elements stay, as in the document that the run builds.
    IXMLDOMDocumentPtr source = CreateXmlDocument();
    if (source) source->put_preserveWhiteSpace(VARIANT_TRUE);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!source || FAILED(source->loadXML(FileText(sourcePath), &loaded)) || !loaded) {
        std::fprintf(stderr, "xml_engine_floor: cannot load %s\n", sourcePath);
        return 1;
    }
    clock.Lap("load");

    IStream* file = nullptr;
    if (FAILED(SHCreateStreamOnFileEx(WidenText(outputPath, CP_ACP).c_str(),
                                      STGM_CREATE | STGM_WRITE,
                                      FILE_ATTRIBUTE_NORMAL,
                                      TRUE,
                                      nullptr,
                                      &file))) {
        std::fprintf(stderr, "xml_engine_floor: cannot create %s\n", outputPath);
        return 1;
    }
    _variant_t target(static_cast<IUnknown*>(file), false);
    if (FAILED(source->transformNodeToObject(stylesheet, target))) {
        std::fprintf(stderr, "xml_engine_floor: the transformation failed\n");
        return 1;
    }
    clock.Lap("transformation");

    // Closing the file.
    target.Clear();
    clock.Lap("save");
    source = nullptr;
    stylesheet = nullptr;
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
