#pragma once

// Small helpers of the imaging framework's tests: a holder that releases a
// counted object, and the strong keystone correction several tests render.

#include <Navik/Value.h>

#include <initializer_list>

// Releases a counted framework object when it goes.
template <typename T>
struct Held
{
    T* object = nullptr;
    explicit Held(T* created = nullptr) : object(created) {}
    ~Held() { reset(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    void reset()
    {
        if (object)
            object->Release();
        object = nullptr;
    }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object; }
};

inline Navik::ValueArray numbers(std::initializer_list<double> values)
{
    Navik::ValueArray array;
    for (const double v : values)
        array.Append(Navik::Value(v));
    return array;
}

// Converging verticals made parallel: output rows sample input rows far apart.
inline Navik::Dictionary keystone()
{
    Navik::Dictionary d;
    d.SetValueForKey("KeystoningActive", Navik::Value(true));
    d.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
    d.SetValueForKey("KeystoningPoints", Navik::Value(numbers({0.25, 0.15, 0.2, 0.9, 0.8, 0.9, 0.75, 0.15})));
    return d;
}
