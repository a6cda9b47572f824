#pragma once

// Stand-in for the correction-module host until the correction framework is
// built: only the singleton that the application releases on its way out.

#include <memory>

class CCorrectionModuleHost
{
public:
    static std::shared_ptr<CCorrectionModuleHost> instance();
    // Drops the singleton; it goes when no other holder remains.
    static void resetInstance();

private:
    static std::shared_ptr<CCorrectionModuleHost> s_instance;
};
