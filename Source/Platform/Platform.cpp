#include "Platform/Platform.h"

#include "Framework/Singletons.h"

namespace Kestrin
{

namespace
{
IPlatform* g_platform = nullptr;
Internal::PointerSingletonDestructor<IPlatform, SingletonOrder::Platform> g_guard(g_platform);
} // namespace

IPlatform::~IPlatform()
{
    if (g_platform == this)
        g_platform = nullptr;
}

IPlatform* GetPlatform()
{
    return g_platform;
}

void SetPlatform(IPlatform* platform)
{
    g_platform = platform;
}

} // namespace Kestrin
