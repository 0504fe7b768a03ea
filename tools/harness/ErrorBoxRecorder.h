#pragma once
#include "Framework/ErrorBox.h"

#include <string>
#include <vector>

namespace KestrinTest
{

// Takes the error boxes shown while it lives; the sink before it comes back afterwards (none).
class ErrorBoxRecorder
{
public:
    struct Box
    {
        std::wstring caption;
        std::wstring text;
        bool operator==(const Box&) const = default;
    };

    ErrorBoxRecorder()
    {
        Kestrin::SetErrorBoxSink(
            [this](const std::wstring& caption, const std::wstring& text) {
                boxes.push_back({caption, text});
            });
    }
    ~ErrorBoxRecorder() { Kestrin::SetErrorBoxSink(nullptr); }
    ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
    ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

    std::vector<Box> boxes;
};

} // namespace KestrinTest
