#include "System/WindowHost.h"

namespace ZV {

namespace {

IWindowHost* gWindowHost = nullptr;

}  // namespace

IWindowHost* GetWindowHost()
{
    return gWindowHost;
}

void SetWindowHost(IWindowHost* host)
{
    gWindowHost = host;
}

}  // namespace ZV
