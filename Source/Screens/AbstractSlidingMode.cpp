#include "Screens/AbstractSlidingMode.h"

#include "Framework/Audio.h"
#include "Framework/Keys.h"
#include "Framework/Tasks.h"
#include "Platform/Looper.h"
#include "Scene/NodeTasks.h"
#include "Scene/SceneNode.h"

bool AbstractSlidingMode::OnKeyDown(int key)
{
    if (m_sliding)
        return true;
    if (key == Kestrin::VK_ESCAPE && CloseBroken())
        return true;
    return SceneApplicationMode::OnKeyDown(key);
}

bool AbstractSlidingMode::OnKeyUp(int key)
{
    return m_sliding || SceneApplicationMode::OnKeyUp(key);
}

bool AbstractSlidingMode::OnText(wchar_t character)
{
    return m_sliding || SceneApplicationMode::OnText(character);
}

bool AbstractSlidingMode::OnMouseMove(int x, int y)
{
    return m_sliding || SceneApplicationMode::OnMouseMove(x, y);
}

bool AbstractSlidingMode::OnMouseDown(Kestrin::MouseButton button, int x, int y)
{
    if (m_sliding || CloseBroken())
        return true;
    return SceneApplicationMode::OnMouseDown(button, x, y);
}

bool AbstractSlidingMode::OnMouseUp(Kestrin::MouseButton button, int x, int y)
{
    return m_sliding || SceneApplicationMode::OnMouseUp(button, x, y);
}

void AbstractSlidingMode::OnMouseLeave()
{
    if (!m_sliding)
        SceneApplicationMode::OnMouseLeave();
}

void AbstractSlidingMode::SlideIn(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
                                  const std::string& sound)
{
    Slide(from, to, sound, &AbstractSlidingMode::FinishSlideIn);
}

void AbstractSlidingMode::SlideOut(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
                                   const std::string& sound)
{
    Slide(from, to, sound, &AbstractSlidingMode::FinishSlideOut);
}

void AbstractSlidingMode::Slide(const Kestrin::Vector2<float>& from, const Kestrin::Vector2<float>& to,
                                const std::string& sound, void (AbstractSlidingMode::*finish)())
{
    m_sliding = true;
    if (SceneNode* root = GetRootNode())
    {
        root->SetPosition(from.x, from.y);
        root->GetTasks().Append(new Kestrin::SerialTask(new NodeLocationTask(to, kSlideTime),
                                                        new Kestrin::FunctionTask<AbstractSlidingMode>(
                                                            [this, finish]
                                                            {
                                                                (this->*finish)();
                                                                return Kestrin::TaskFinished;
                                                            })));
    }
    else
    {
        // No scene to move: the slide is over at once.
        (this->*finish)();
    }
    if (!sound.empty())
        Kestrin::PlaySoundNamed(sound.c_str());
}

void AbstractSlidingMode::FinishSlideIn()
{
    m_sliding = false;
}

void AbstractSlidingMode::FinishSlideOut()
{
    m_sliding = false;
    Kestrin::PopMode();
}

bool AbstractSlidingMode::CloseBroken()
{
    if (!m_inputCloses)
        return false;
    if (!m_closed)
    {
        m_closed = true;
        Kestrin::PopMode();
    }
    return true;
}
