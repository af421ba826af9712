#include "base/StatusText.h"

#include <utility>

namespace {
std::function<void(const std::string&)>& Presenter()
{
    static std::function<void(const std::string&)> presenter;
    return presenter;
}
}  // namespace

void SetStatusTextPresenter(std::function<void(const std::string&)> presenter)
{
    Presenter() = std::move(presenter);
}

void ShowStatusText(const std::string& text)
{
    // Copy first: showing may end the frame that installed the presenter.
    if (auto presenter = Presenter())
        presenter(text);
}
