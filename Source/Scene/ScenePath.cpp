#include "Scene/ScenePath.h"

#include "Framework/Names.h"

#include <algorithm>

ScenePath::ScenePath(std::string_view text)
{
    while (!text.empty())
    {
        const size_t slash = text.find('/');
        m_names.emplace_back(text.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        text.remove_prefix(slash + 1);
    }
    // Interned now: a table of paths is then written again only after the name table is cleared.
    GetSteps();
}

const SceneNode::PathElement* ScenePath::GetSteps(size_t skip) const
{
    const uint32_t generation = Kestrin::Internal::g_internGeneration.load(std::memory_order_acquire);
    if (m_generation != generation)
    {
        m_steps.clear();
        for (const std::string& name : m_names)
            m_steps.emplace_back(Kestrin::MakeName(name));
        m_steps.emplace_back(SceneNode::EndOfPath);
        m_generation = generation;
    }
    return m_steps.data() + std::min(skip, m_names.size());
}
