#include "Framework/Application.h"

#include <atomic>

namespace Kestrin
{

namespace
{
// Read by the log from any thread.
std::atomic<IApplication*> g_application{nullptr};
} // namespace

IApplication* GetApplication()
{
    return g_application.load();
}

void SetApplication(IApplication* application)
{
    g_application.store(application);
}

BaseApplication::BaseApplication()
    : m_info{L"[Company Name]", L"[Product Name]", L"[Copyright]", L"[User Version]", L"[Full Version]", 0, 0}
{
    SetApplication(this);
}

BaseApplication::~BaseApplication()
{
    IApplication* self = this;
    g_application.compare_exchange_strong(self, nullptr);
}

const StartupOptions* BaseApplication::GetStartupOptions()
{
    static const StartupOptions options{true};
    return &options;
}

const DisplaySettings* BaseApplication::GetWindowMode()
{
    static const DisplaySettings mode{1, 2, 800, 600};
    return &mode;
}

} // namespace Kestrin
