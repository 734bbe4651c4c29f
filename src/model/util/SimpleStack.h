#pragma once

#include "model/util/SimpleArray.h"

// A stack on a SimpleArray (the saved views of the image view).
template <class T> class SimpleStack {
public:
    void Push(T item) { m_items.Add(std::move(item)); }
    // Removes and returns the top element; the stack must not be empty.
    T Pop()
    {
        T top = std::move(m_items[m_items.GetSize() - 1]);
        m_items.RemoveAt(m_items.GetSize() - 1);
        return top;
    }
    T& Top() { return m_items[m_items.GetSize() - 1]; }
    const T& Top() const { return m_items[m_items.GetSize() - 1]; }
    bool IsEmpty() const { return m_items.IsEmpty(); }
    int GetSize() const { return m_items.GetSize(); }
    // Element i counted from the bottom.
    T& operator[](int i) { return m_items[i]; }
    const T& operator[](int i) const { return m_items[i]; }
    void RemoveAll() { m_items.RemoveAll(); }

private:
    SimpleArray<T> m_items;
};
