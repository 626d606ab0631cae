// COM: the apartment of a thread, and an owner of one reference to an
// interface, released at its end.
#pragma once

#include <objbase.h>

// CoInitializeEx for as long as the object lives; CoUninitialize at its end
// when the initialisation counted (a thread already in another apartment
// keeps it, and COM works there all the same).
class CComApartment {
public:
    explicit CComApartment(DWORD dwCoInit) : m_bCounted(SUCCEEDED(::CoInitializeEx(nullptr, dwCoInit))) {}
    ~CComApartment()
    {
        if (m_bCounted)
            ::CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool m_bCounted;
};

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    // Where a call that hands out a reference puts it, the old one released.
    T** Put() { return Reset(), &m_p; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset()
    {
        if (T* p = m_p) {
            m_p = nullptr;
            p->Release();
        }
    }

private:
    T* m_p = nullptr;
};
