#include "sepa/XmlElementCounter.h"

namespace {

// What may follow an element's name in its start tag: the tag's end or white space before
// an attribute.
bool EndsName(unsigned char byte)
{
    return byte == '>' || byte == '/' || byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

} // namespace

void CXmlElementCounter::Feed(const unsigned char* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const unsigned char byte = bytes[i];
        if (byte == 0) continue;
        if (m_matched == m_tag.size()) {
            if (EndsName(byte)) ++m_count;
            m_matched = 0;
        }
        // The tag holds no "<" after its first byte, so a mismatch can only start anew at one.
        if (static_cast<unsigned char>(m_tag[m_matched]) == byte)
            ++m_matched;
        else
            m_matched = byte == '<' ? 1 : 0;
    }
}
