#include <gtest/gtest.h>

#include "base/MessageBox.h"
#include "support/TestEnvironment.h"

using testing_support::MessageRecorder;

TEST(MessageBox, HookReceivesMessagesAndMayReenter)
{
    std::vector<std::string> nested;
    {
        MessageRecorder recorder([&](const std::string& text) {
            if (text == "outer") {
                // A hook may show another message, as a modal loop could.
                ShowMessage("inner");
                nested.push_back(text);
            }
        });
        ShowMessage("outer");
        EXPECT_EQ(recorder.messages(), (std::vector<std::string>{"outer", "inner"}));
    }
    EXPECT_EQ(nested, std::vector<std::string>{"outer"});
}

TEST(MessageBox, EmptyHookRestoresPresenter)
{
    std::vector<std::string> shown;
    SetMessageBoxPresenter([&](const std::string& text) { shown.push_back(text); });
    SetMessageBoxHook([](const std::string&) {});
    ShowMessage("hooked");
    SetMessageBoxHook(nullptr);
    ShowMessage("real");
    EXPECT_EQ(shown, std::vector<std::string>{"real"});
    SetMessageBoxPresenter(nullptr);
}
