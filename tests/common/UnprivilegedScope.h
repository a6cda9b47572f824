#pragma once

// File permissions as an ordinary user meets them: while an UnprivilegedScope
// lives, a process of the superuser acts with the rights of the user "nobody"
// (its effective user id), so that a file without read or write permission
// is refused as it would be to the user. For any other user it does nothing.
// The files it is to meet must lie in folders that user may enter.

#include <unistd.h>

#include <cstdlib>

class UnprivilegedScope
{
public:
    static constexpr uid_t kNobody = 65534;

    UnprivilegedScope() : m_switched(geteuid() == 0 && seteuid(kNobody) == 0) {}
    ~UnprivilegedScope()
    {
        // A test that went on without its rights would fail for no reason of its own.
        if (m_switched && seteuid(0) != 0)
            std::abort();
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

    // False when the superuser could not give up its rights.
    bool isUnprivileged() const { return geteuid() != 0; }

private:
    bool m_switched;
};
