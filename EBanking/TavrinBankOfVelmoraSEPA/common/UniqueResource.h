#pragma once
// Owns one resource of a C interface - a registry key, a handle, a search - and gives it back
// with Close when it goes. Empty stands for "nothing held" and is never closed.
#include <utility>

template <class Resource, auto Close, Resource Empty = Resource()>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Resource adopted) : m_resource(adopted) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : m_resource(std::exchange(other.m_resource, Empty)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_resource = std::exchange(other.m_resource, Empty);
        }
        return *this;
    }

    Resource Get() const { return m_resource; }
    explicit operator bool() const { return m_resource != Empty; }

    // The out-parameter of a call that opens one; whatever was held before is closed first.
    Resource* Receive()
    {
        Reset();
        return &m_resource;
    }

    void Reset()
    {
        if (m_resource != Empty) Close(std::exchange(m_resource, Empty));
    }

private:
    Resource m_resource = Empty;
};
