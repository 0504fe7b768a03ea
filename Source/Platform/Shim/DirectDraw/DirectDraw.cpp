#include "Platform/Shim/DirectDraw/DirectDraw.h"

#include "Platform/Shim/DirectDraw/SdlBackend.h"

namespace Kestrin::Shim::DirectDraw
{

namespace
{

Backend* g_backend = nullptr;

struct NamedCode
{
    HRESULT code;
    const char* name;
};

constexpr NamedCode kNames[] = {
    {DD_OK, "DD_OK"},
    {DDERR_GENERIC, "DDERR_GENERIC"},
    {DDERR_WASSTILLDRAWING, "DDERR_WASSTILLDRAWING"},
    {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
    {DDERR_OUTOFVIDEOMEMORY, "DDERR_OUTOFVIDEOMEMORY"},
    {DDERR_EXCLUSIVEMODEALREADYSET, "DDERR_EXCLUSIVEMODEALREADYSET"},
    {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
    {DDERR_WRONGMODE, "DDERR_WRONGMODE"},
    {DDERR_CANTCREATEDC, "DDERR_CANTCREATEDC"},
    {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
    {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},
    {KESTRIN_E_NODEVICESEEN, "KESTRIN_E_NODEVICESEEN"},
    {KESTRIN_E_NODEVICEACCEPTED, "KESTRIN_E_NODEVICEACCEPTED"},
    {KESTRIN_E_NODEVICEFOUND, "KESTRIN_E_NODEVICEFOUND"},
    {KESTRIN_E_256COLORS, "KESTRIN_E_256COLORS"},
};

const char* LookupName(HRESULT hr)
{
    for (const NamedCode& entry : kNames)
        if (entry.code == hr)
            return entry.name;
    return nullptr;
}

} // namespace

const char* ErrorName(HRESULT hr)
{
    const char* name = LookupName(hr);
    return name ? name : "Unknown";
}

void InstallErrorNames()
{
    SetHResultNameLookup(&LookupName);
}

PixelFormat ArgbFormat()
{
    return {DDPF_RGB | DDPF_ALPHAPIXELS, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
}

PixelFormat XrgbFormat()
{
    return {DDPF_RGB, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
}

Backend& GetBackend()
{
    return g_backend ? *g_backend : GetSdlBackend();
}

void SetBackend(Backend* backend)
{
    g_backend = backend;
}

Backend* GetInstalledBackend()
{
    return g_backend;
}

void OrthoOffCenter(float m[16], float left, float right, float bottom, float top, float zNear, float zFar)
{
    for (int i = 0; i < 16; ++i)
        m[i] = 0.0f;
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top - bottom);
    m[10] = 1.0f / (zFar - zNear);
    m[12] = (left + right) / (left - right);
    m[13] = (top + bottom) / (bottom - top);
    m[14] = zNear / (zNear - zFar);
    m[15] = 1.0f;
}

} // namespace Kestrin::Shim::DirectDraw
