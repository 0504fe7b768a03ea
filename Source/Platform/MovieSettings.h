#pragma once
#include <string>

namespace Kestrin
{

// What a movie screen asks of the movie host; the host keeps its own copy.
struct MovieSettings
{
    std::wstring fileName;
    std::wstring extension = L".swf";
    std::wstring rootVariable; // the value for "_root"
    bool interactive = true;
    bool setRootVariable = false;
    bool goToFrame = false;
    bool audioEnabled = true;
    // Clamped to [0, 1] when used. Full volume and frame 0 by default, so an unset value is never
    // read as garbage.
    float volume = 1.0f;
    bool setVolume = false;
    int frameNumber = 0;
};

} // namespace Kestrin
