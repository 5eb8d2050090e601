#pragma once
// Counts the start tags of one element in the bytes of an XML document as they are written,
// however the writes split them: "<Name>", "<Name/>" and "<Name attributes>". Text and
// attribute values cannot hold a "<", so only markup is counted. Like CXmlRootDetector it reads
// UTF-8 and passes zero bytes over, so UTF-16 is read too.
#include <cstddef>
#include <string>

class CXmlElementCounter {
public:
    // The element's name as it stands in the tag, prefix included; ASCII.
    explicit CXmlElementCounter(std::string name) : m_tag("<" + std::move(name)) {}

    void Feed(const unsigned char* bytes, size_t count);
    unsigned long long Count() const { return m_count; }

private:
    std::string m_tag;
    size_t m_matched = 0; // how much of m_tag the last bytes were
    unsigned long long m_count = 0;
};
