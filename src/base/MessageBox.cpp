#include "base/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {
std::function<void(const std::string&)>& Hook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

std::function<void(const std::string&)>& Presenter()
{
    static std::function<void(const std::string&)> presenter;
    return presenter;
}
}  // namespace

void SetMessageBoxHook(std::function<void(const std::string&)> hook)
{
    Hook() = std::move(hook);
}

void SetMessageBoxPresenter(std::function<void(const std::string&)> presenter)
{
    Presenter() = std::move(presenter);
}

bool HasMessageBoxPresenter()
{
    return static_cast<bool>(Presenter());
}

void ShowMessage(const std::string& text)
{
    // Copy first: the hook may replace itself while it runs.
    if (auto hook = Hook()) {
        hook(text);
        return;
    }
    if (auto presenter = Presenter()) {
        presenter(text);
        return;
    }
    std::fprintf(stderr, "Quorelle: %s\n", text.c_str());
}
