#pragma once

#include <memory>
#include <utility>

// A reference-counted pointer for data shared between owners (attribute lists and
// attributes): copying shares, the last owner to let go deletes the object.
template <class T> class SmartPtr {
public:
    // A fresh object of its own, count 1.
    SmartPtr() : m_ptr(std::make_shared<T>()) {}
    // Takes ownership of p.
    explicit SmartPtr(T* p) : m_ptr(p) {}

    T* operator->() const { return m_ptr.get(); }
    T& operator*() const { return *m_ptr; }
    T* Get() const { return m_ptr.get(); }
    // How many owners share the object.
    long RefCount() const { return m_ptr.use_count(); }
    bool IsShared() const { return m_ptr.use_count() > 1; }

    friend bool operator==(const SmartPtr& a, const SmartPtr& b) { return a.m_ptr == b.m_ptr; }

private:
    std::shared_ptr<T> m_ptr;
};

template <class T, class... Args> SmartPtr<T> MakeSmart(Args&&... args)
{
    return SmartPtr<T>(new T(std::forward<Args>(args)...));
}
