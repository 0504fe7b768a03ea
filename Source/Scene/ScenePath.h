#pragma once
// A node path held as a value: "/"-separated names split once and interned once, so a lookup made
// every step parses nothing. Tables of paths keep one of these per entry; SceneNode::FindNode walks
// it.
#include "Scene/SceneNode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ScenePath
{
public:
    explicit ScenePath(std::string_view text);

    const std::vector<std::string>& GetNames() const { return m_names; }
    // The steps from the skip-th name on, closed by the end element: only the end past the last.
    // Interned again once the name table has been cleared (an engine run after another in the
    // same process), since ids of the old table dangle.
    const SceneNode::PathElement* GetSteps(size_t skip = 0) const;

private:
    std::vector<std::string> m_names;
    mutable std::vector<SceneNode::PathElement> m_steps;
    mutable uint32_t m_generation = 0;
};
