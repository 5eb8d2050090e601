#pragma once
// The list behind a collection interface: the collection's elements, held by reference.
#include "component/ComArray.h"

template <class Element, class Collection>
class CListImpl {
public:
    void Add(Element* element) { m_list.Add(element); }
    void Remove(int position) { m_list.Remove(position); }
    void RemoveAll() { m_list.RemoveAll(); }
    int GetCount() const { return m_list.GetCount(); }
    // The element at a valid position with a reference added; throws E_INVALIDARG otherwise.
    Element* GetAt(int position) const { return m_list.GetAt(position); }

protected:
    const CArray<Element>& List() const { return m_list; }

private:
    CArray<Element> m_list;
};
