// Loads arbitrary bytes as a resource group with the value kinds registered, from memory and in
// small blocks. Both reads must end alike, and a sound document keeps as many resources either way; progress
// stays within 0..1 and never runs backwards; a listener that stops the load is obeyed; the last unload drops
// all.
#include "Base/Exceptions.h"
#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Framework/Names.h"
#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Support/ChunkedStream.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace Kestrin;

namespace
{

class Progress : public IResourceLoadProgress
{
public:
    explicit Progress(int stopAfter_) : stopAfter(stopAfter_) {}
    void OnProgress(float fraction) override
    {
        if (!(fraction >= 0.0f && fraction <= 1.0f) || fraction < last)
            __builtin_trap();
        last = fraction;
        ++reports;
    }
    bool IsAborted() override { return stopAfter > 0 && reports >= stopAfter; }

    int stopAfter;
    int reports = 0;
    float last = 0.0f;
};

struct Outcome
{
    int error = 0; // 0 none, 1 XML error, 2 anything else
    size_t resources = 0;
    int reports = 0;
};

// Each load runs on a fresh manager, so a failed load leaves nothing behind for the next.
Outcome LoadOnce(IStream& stream, int stopAfter)
{
    ResourceManager* manager = ResourceManager::Instance();
    RegisterValueResourceFactories(*manager);
    manager->RegisterFactory(L"randomrange", new RandomRangeResourceFactory);
    Progress progress(stopAfter);
    Outcome outcome;
    try
    {
        manager->Load(L"fuzz", &stream, &progress);
    }
    catch (const xml_error&)
    {
        outcome.error = 1;
    }
    catch (const std::exception&)
    {
        outcome.error = 2;
    }
    outcome.resources = manager->GetResourceCount();
    outcome.reports = progress.reports;
    if (outcome.error == 0)
    {
        if (manager->GetLoadCount(L"fuzz") != 1)
            __builtin_trap();
        // Without a file system nothing says the group's file is gone: the unload drops it all.
        manager->UnloadFile(L"fuzz");
        if (manager->GetResourceCount() != 0)
            __builtin_trap();
    }
    delete manager;
    return outcome;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetLogToStderr(false); // one line per load would drown the fuzzer's own output
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream memory(L"fuzz", data, uint32_t(size));
    Outcome whole = LoadOnce(memory, 0);

    KestrinTest::ChunkedStream blocks(L"fuzz", std::string(reinterpret_cast<const char*>(data), size),
                                      1 + (size ? data[0] % 37 : 0));
    Outcome blockwise = LoadOnce(blocks, 0);
    if (whole.error != blockwise.error)
        __builtin_trap();
    // How far a broken document gets before its error shows depends on the reads; a sound one
    // gives the same resources however it arrives.
    if (whole.error == 0 && whole.resources != blockwise.resources)
        __builtin_trap();

    if (whole.error == 0 && whole.reports > 1)
    {
        // Stopped halfway: exactly as many reports as asked for, never more resources.
        int stopAfter = 1 + (size > 1 ? data[1] : 0) % whole.reports;
        MemoryStream again(L"fuzz", data, uint32_t(size));
        Outcome stopped = LoadOnce(again, stopAfter);
        if (stopped.error != 0 || stopped.reports != stopAfter || stopped.resources > whole.resources)
            __builtin_trap();
    }

    // Every resource is gone: the names of this input need not outlive it.
    ClearInternedNames();
    return 0;
}
