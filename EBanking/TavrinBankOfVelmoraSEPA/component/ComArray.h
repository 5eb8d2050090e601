#pragma once
// A growable array of interface references in insertion order; each slot holds one reference.
// Capacity grows in whole steps so that a list filled one element at a time reallocates
// rarely.
#include "common/ComPtr.h"

#include <windows.h>

#include <new>
#include <vector>

template <class Interface>
class CArray {
public:
    static const int kGrowthStep = 8;

    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() { RemoveAll(); }

    int GetCount() const { return static_cast<int>(m_elements.size()); }
    int GetCapacity() const { return static_cast<int>(m_elements.capacity()); }

    // Takes a reference to element and appends it. Throws E_INVALIDARG for null and
    // E_OUTOFMEMORY when the storage cannot grow.
    void Add(Interface* element)
    {
        if (!element) throw static_cast<HRESULT>(E_INVALIDARG);
        Reserve(GetCount() + 1);
        m_elements.emplace_back(element);
    }

    // Releases the element at position and moves the later ones down.
    void Remove(int position)
    {
        if (position < 0 || position >= GetCount()) throw static_cast<HRESULT>(E_INVALIDARG);
        m_elements.erase(m_elements.begin() + position);
    }

    // Releases every element, from the last to the first, and frees the storage.
    void RemoveAll()
    {
        while (!m_elements.empty())
            m_elements.pop_back();
        std::vector<Element>().swap(m_elements);
    }

    // The element at a valid position, without a reference added; null otherwise.
    Interface* Peek(int position) const
    {
        return position >= 0 && position < GetCount() ? m_elements[static_cast<size_t>(position)].GetInterfacePtr()
                                                      : nullptr;
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
    using Element = ComPtr<Interface>;

    void Reserve(int needed)
    {
        const int capacity = GetCapacity();
        if (needed <= capacity) return;
        const int missing = needed - capacity;
        const int grown = capacity + (missing + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
        try {
            m_elements.reserve(static_cast<size_t>(grown));
        } catch (const std::bad_alloc&) {
            throw static_cast<HRESULT>(E_OUTOFMEMORY);
        }
    }

    std::vector<Element> m_elements;
};
