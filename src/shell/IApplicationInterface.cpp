#include "shell/IApplicationInterface.h"

IApplicationInterface::IApplicationInterface(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

IApplicationInterface::~IApplicationInterface() = default;
