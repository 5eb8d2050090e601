#include "sepa/XmlElementCounter.h"

#include <cstring>

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
        // Outside a tag only a "<" can start one, and text is most of a file.
        if (m_matched == 0) {
            const void* next = std::memchr(bytes + i, '<', count - i);
            if (!next) return;
            i = static_cast<size_t>(static_cast<const unsigned char*>(next) - bytes);
        }
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
