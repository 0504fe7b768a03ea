#pragma once

namespace Kestrin
{

struct ApplicationInfo
{
    const wchar_t* companyName;
    const wchar_t* productName;
    const wchar_t* rightsNotice;
    const wchar_t* userVersion;
    const wchar_t* fullVersion;
    int value1;
    int value2;
};

struct StartupOptions
{
    bool singleInstance;
};

// The values of DisplaySettings::windowMode; profiles store them as these numbers.
enum WindowMode : int
{
    WindowMode_None = -1, // before the first window
    WindowMode_Windowed = 0,
    WindowMode_FullScreen = 1,
};

// sizingMode: 1 keep the aspect ratio while the user resizes, 2 fixed size.
struct DisplaySettings
{
    int windowMode;
    int sizingMode;
    int width;
    int height;

    bool operator==(const DisplaySettings&) const = default;
};

// The program's one application object, through which the engine asks for its identity and
// calls it at start-up, every step, after each draw and at shutdown.
class IApplication
{
public:
    virtual ~IApplication() = default;
    virtual const ApplicationInfo* GetApplicationInfo() = 0;
    virtual const StartupOptions* GetStartupOptions() = 0;
    virtual const DisplaySettings* GetWindowMode() = 0;
    virtual void Initialize() = 0;
    virtual void Shutdown() = 0;
    virtual void OnAfterDraw() = 0;
    virtual void Update(float dt) = 0;
    virtual void OnModeRequestsApplied() = 0;
};

// The global application pointer (null until an application is constructed).
IApplication* GetApplication();
void SetApplication(IApplication* application);

class BaseApplication : public IApplication
{
public:
    BaseApplication();
    ~BaseApplication() override;

    const ApplicationInfo* GetApplicationInfo() override { return &m_info; }
    const StartupOptions* GetStartupOptions() override;
    const DisplaySettings* GetWindowMode() override;
    void Initialize() override {}
    void Shutdown() override {}
    void OnAfterDraw() override {}
    void Update(float) override {}
    void OnModeRequestsApplied() override {}

protected:
    ApplicationInfo m_info;
};

} // namespace Kestrin
