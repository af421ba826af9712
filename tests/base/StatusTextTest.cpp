#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/StatusText.h"

namespace {

TEST(StatusText, TextsGoToTheInstalledPresenterUntilItIsRemoved)
{
    std::vector<std::string> shown;
    SetStatusTextPresenter([&shown](const std::string& text) { shown.push_back(text); });
    ShowStatusText("IBM was added to the watchlist.");
    ShowStatusText("");
    SetStatusTextPresenter({});
    ShowStatusText("dropped");
    EXPECT_EQ(shown, (std::vector<std::string>{"IBM was added to the watchlist.", ""}));
}

TEST(StatusText, APresenterMayReplaceItselfWhileItShows)
{
    std::vector<std::string> shown;
    SetStatusTextPresenter([&shown](const std::string& text) {
        SetStatusTextPresenter({});
        shown.push_back(text);
    });
    ShowStatusText("first");
    ShowStatusText("second");
    EXPECT_EQ(shown, (std::vector<std::string>{"first"}));
}

}  // namespace
