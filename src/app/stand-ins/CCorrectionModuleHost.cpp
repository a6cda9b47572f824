#include "app/stand-ins/CCorrectionModuleHost.h"

std::shared_ptr<CCorrectionModuleHost> CCorrectionModuleHost::s_instance;

std::shared_ptr<CCorrectionModuleHost> CCorrectionModuleHost::instance()
{
    if (!s_instance)
        s_instance = std::make_shared<CCorrectionModuleHost>();
    return s_instance;
}

void CCorrectionModuleHost::resetInstance()
{
    s_instance.reset();
}
