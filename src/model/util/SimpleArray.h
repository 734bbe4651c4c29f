#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The growable array used throughout the program: indexable, appended at the end, with
// indexes stable until an element is removed. It owns pointed-to objects only where its
// owner says so.
template <class T> class SimpleArray {
public:
    using value_type = T;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    SimpleArray() = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    T& operator[](int i) { return m_items[static_cast<std::size_t>(i)]; }
    const T& operator[](int i) const { return m_items[static_cast<std::size_t>(i)]; }

    // Appends and returns the new element's index.
    int Add(T item)
    {
        m_items.push_back(std::move(item));
        return GetSize() - 1;
    }
    void InsertAt(int i, T item) { m_items.insert(m_items.begin() + i, std::move(item)); }
    // Removes the element; later elements move up one place.
    void RemoveAt(int i) { m_items.erase(m_items.begin() + i); }
    void SetSize(int n) { m_items.resize(static_cast<std::size_t>(n)); }
    void RemoveAll() { m_items.clear(); }
    // Index of the first element equal to item, or -1.
    int Find(const T& item) const
    {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i] == item)
                return static_cast<int>(i);
        return -1;
    }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};
