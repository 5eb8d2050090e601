#pragma once
// Tells from the bytes of an XML document, as they are written, whether it has a root element:
// whether a start tag follows what may stand before it (a byte order mark, white space, the
// declaration, processing instructions, comments, a document type). Any other text before the
// first start tag means the output is not a document at all. Reads UTF-8 and, as the markup
// is ASCII, UTF-16 too: zero bytes are passed over.
#include <cstddef>

class CXmlRootDetector {
public:
    void Feed(const unsigned char* bytes, size_t count);
    bool SawRootElement() const { return m_state == State::Root; }

private:
    enum class State {
        Prolog,
        MarkupOpened,   // after "<"
        Declaration,    // after "<!"
        CommentOpening, // after "<!-"
        Comment,
        DocumentType,
        Instruction,
        Root,
        NotADocument,
    };

    void Next(unsigned char byte);

    State m_state = State::Prolog;
    unsigned char m_previous = 0;
    unsigned char m_beforePrevious = 0;
    int m_subsetDepth = 0;
};
