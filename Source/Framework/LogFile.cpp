#include "Framework/LogFile.h"

#include "Base/Log.h"
#include "Base/Text.h"
#include "Framework/Application.h"
#include "Framework/Paths.h"

namespace Kestrin
{

void InstallLogFile()
{
    SetLogFileLocator(
        []() -> std::string
        {
            // The per-user folder is named after the application, so it cannot be known before.
            if (!GetApplication())
                return {};
            std::string folder = ToUtf8(GetAppDataFolder());
            if (folder.empty())
                return {}; // the platform has not said where yet
            if (folder.back() != '/')
                folder += '/';
            return folder + "LOG.TXT";
        });
}

} // namespace Kestrin
