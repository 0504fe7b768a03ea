#include "Platform/ApplicationMode.h"

#include "Graphics/Canvas.h"
#include "Platform/GraphicsPlatform.h"

namespace Kestrin
{

void ApplicationMode::Update(float dt)
{
    ObjectDatabase::Update(dt);
}

void ApplicationMode::Draw()
{
    ObjectDatabase::Draw();
}

void ApplicationMode::DrawBackdrop()
{
    IGraphicsPlatform* graphics = GetGraphicsPlatform();
    if (!graphics || !(graphics->GetCapabilities() & GraphicsCaps_Hardware3D))
        return;
    Graphics::DrawState state = Graphics::CurrentDrawState();
    state.color = ColorF(0.0f, 0.0f, 0.0f, 0.5f);
    state.flags |= Graphics::DrawFlag_Blend;
    Graphics::FillQuad(Graphics::GetCurrentCanvas(), state);
}

} // namespace Kestrin
