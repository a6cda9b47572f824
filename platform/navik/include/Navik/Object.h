#pragma once

// Reference counting shared by every framework object that outlives a call:
// images, Exif records, colour spaces, pixel buffers and filters.
//
// A creator made with `new` holds one reference. Whoever stores a pointer
// retains it and releases the one it replaces; the last Release deletes.

#include <atomic>
#include <cstdint>
#include <utility>

namespace Navik {

class Object
{
public:
    Object() = default;
    Object(const Object&) : m_references(1) {}
    Object& operator=(const Object&) { return *this; }

    void Retain() const { m_references.fetch_add(1, std::memory_order_relaxed); }

    void Release() const
    {
        if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

    std::int32_t GetRetainCount() const { return m_references.load(std::memory_order_acquire); }

protected:
    virtual ~Object() = default;

private:
    mutable std::atomic<std::int32_t> m_references{1};
};

// An owning handle for Object subclasses: retains on copy, releases on
// destruction. `Adopt` takes over a reference the caller already holds
// (the one `new` gives); the constructor from a plain pointer retains.
template <typename T>
class RefPtr
{
public:
    RefPtr() = default;
    RefPtr(T* object) : m_object(object)
    {
        if (m_object)
            m_object->Retain();
    }
    RefPtr(const RefPtr& other) : RefPtr(other.m_object) {}
    RefPtr(RefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~RefPtr()
    {
        if (m_object)
            m_object->Release();
    }

    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    static RefPtr Adopt(T* object)
    {
        RefPtr result;
        result.m_object = object;
        return result;
    }

    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(m_object, nullptr); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

} // namespace Navik
