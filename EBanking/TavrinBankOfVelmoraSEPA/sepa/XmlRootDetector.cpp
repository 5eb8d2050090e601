#include "sepa/XmlRootDetector.h"

#include "common/AsciiChars.h"

namespace {

bool IsWhiteSpace(unsigned char byte) { return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n'; }

bool IsByteOrderMark(unsigned char byte)
{
    return byte == 0xEF || byte == 0xBB || byte == 0xBF || byte == 0xFE || byte == 0xFF;
}

// A letter, "_" or ":", or any byte of a character beyond ASCII.
bool StartsName(unsigned char byte)
{
    return ascii::IsLetter(static_cast<char>(byte)) || byte == '_' || byte == ':' || byte >= 0x80;
}

} // namespace

void CXmlRootDetector::Feed(const unsigned char* bytes, size_t count)
{
    for (size_t i = 0; i < count && m_state != State::Root && m_state != State::NotADocument; ++i) {
        if (bytes[i] == 0) continue;
        Next(bytes[i]);
        m_beforePrevious = m_previous;
        m_previous = bytes[i];
    }
}

void CXmlRootDetector::Next(unsigned char byte)
{
    switch (m_state) {
    case State::Prolog:
        if (byte == '<')
            m_state = State::MarkupOpened;
        else if (!IsWhiteSpace(byte) && !IsByteOrderMark(byte))
            m_state = State::NotADocument;
        break;
    case State::MarkupOpened:
        if (byte == '?')
            m_state = State::Instruction;
        else if (byte == '!')
            m_state = State::Declaration;
        else
            m_state = StartsName(byte) ? State::Root : State::NotADocument;
        break;
    case State::Declaration:
        m_state = byte == '-' ? State::CommentOpening : State::DocumentType;
        m_subsetDepth = byte == '[' ? 1 : 0;
        break;
    case State::CommentOpening:
        // The previous two bytes must not count as the comment's end.
        m_state = byte == '-' ? State::Comment : State::NotADocument;
        m_previous = m_beforePrevious = 0;
        return;
    case State::Comment:
        if (byte == '>' && m_previous == '-' && m_beforePrevious == '-') m_state = State::Prolog;
        break;
    case State::DocumentType:
        if (byte == '[') ++m_subsetDepth;
        if (byte == ']' && m_subsetDepth > 0) --m_subsetDepth;
        if (byte == '>' && m_subsetDepth == 0) m_state = State::Prolog;
        break;
    case State::Instruction:
        if (byte == '>' && m_previous == '?') m_state = State::Prolog;
        break;
    case State::Root:
    case State::NotADocument: break;
    }
}
