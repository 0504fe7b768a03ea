#pragma once
#include <string>

namespace KestrinTest
{
// The what() of the E that f throws, or "<no exception>"; other exceptions pass through.
template <class E, class F> std::string ThrownWhat(F&& f)
{
    try
    {
        f();
    }
    catch (const E& e)
    {
        return e.what();
    }
    return "<no exception>";
}
} // namespace KestrinTest
