#pragma once
// A growable array of interface references in insertion order; each slot holds one reference.
// Capacity grows in whole steps so that a list filled one element at a time reallocates
// rarely; new slots are zeroed.
#include <windows.h>

#include <cstdlib>
#include <cstring>

template <class Interface>
class CArray {
public:
    static const int kGrowthStep = 8;

    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() { RemoveAll(); }

    int GetCount() const { return m_count; }
    int GetCapacity() const { return m_capacity; }

    // Takes a reference to element and appends it. Throws E_INVALIDARG for null and
    // E_OUTOFMEMORY when the storage cannot grow.
    void Add(Interface* element)
    {
        if (!element) throw static_cast<HRESULT>(E_INVALIDARG);
        Reserve(m_count + 1);
        element->AddRef();
        m_storage[m_count++] = element;
    }

    // Releases the element at position and moves the later ones down.
    void Remove(int position)
    {
        if (position < 0 || position >= m_count) throw static_cast<HRESULT>(E_INVALIDARG);
        Interface* removed = m_storage[position];
        std::memmove(m_storage + position, m_storage + position + 1,
                     static_cast<size_t>(m_count - position - 1) * sizeof(Interface*));
        m_storage[--m_count] = nullptr;
        removed->Release();
    }

    // Releases every element, from the last to the first, and frees the storage.
    void RemoveAll()
    {
        while (m_count > 0) {
            Interface* last = m_storage[--m_count];
            m_storage[m_count] = nullptr;
            last->Release();
        }
        std::free(m_storage);
        m_storage = nullptr;
        m_capacity = 0;
    }

    // The element at a valid position, without a reference added; null otherwise.
    Interface* Peek(int position) const
    {
        return position >= 0 && position < m_count ? m_storage[position] : nullptr;
    }

    // The element at a valid position with a reference added for the caller.
    Interface* GetAt(int position) const
    {
        Interface* element = Peek(position);
        if (!element) throw static_cast<HRESULT>(E_INVALIDARG);
        element->AddRef();
        return element;
    }

private:
    void Reserve(int needed)
    {
        if (needed <= m_capacity) return;
        const int missing = needed - m_capacity;
        const int grown = m_capacity + (missing + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
        void* storage = std::realloc(m_storage, static_cast<size_t>(grown) * sizeof(Interface*));
        if (!storage) throw static_cast<HRESULT>(E_OUTOFMEMORY);
        m_storage = static_cast<Interface**>(storage);
        std::memset(m_storage + m_capacity, 0, static_cast<size_t>(grown - m_capacity) * sizeof(Interface*));
        m_capacity = grown;
    }

    int m_capacity = 0;
    int m_count = 0;
    Interface** m_storage = nullptr;
};
