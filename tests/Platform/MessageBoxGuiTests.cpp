#include "MessageBoxDriver.h"
#include "Platform/MessageBox.h"
#include "Platform/StandardError.h"
#include "Platform/X11Display.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ZV {
namespace {

using Platform::MessageBoxWindow;
using Testing::MessageBoxDriver;

constexpr auto kUserWait = std::chrono::seconds(10);
constexpr std::uint32_t kBoxBackground = 0xF2F2F2u;

const char* const kLongText =
    "The device did not answer after the firmware was sent. Switch it off and on again, then press NEXT to look "
    "for it once more; the firmware stays where it is.\nError code 7";

class MessageBoxGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        mConnection = Platform::DisplayConnection::Open();
        ASSERT_NE(mConnection, nullptr) << "no X display: run the gui tests through scripts/test";
        mDriver.emplace(*mConnection);
    }

    std::unique_ptr<MessageBoxWindow> Show(const std::string& caption = "Halvista Firmware Updater",
                                           const std::string& text = kLongText,
                                           unsigned buttons = Platform::kMessageBoxOk)
    {
        std::unique_ptr<MessageBoxWindow> box = MessageBoxWindow::Create(*mConnection, caption, text, buttons);
        EXPECT_NE(box, nullptr);
        return box;
    }

    // Whether the box closes by what the user did, with the answer; a box left open is closed after the wait and
    // fails.
    ::testing::AssertionResult ClosesWithin(MessageBoxWindow& box, int* answer = nullptr)
    {
        std::future<Platform::MessageBoxAnswer> running =
            std::async(std::launch::async, [&] { return box.RunUntilClosed(); });
        if (running.wait_for(kUserWait) == std::future_status::ready) {
            if (answer != nullptr) {
                *answer = running.get();
            }
            return ::testing::AssertionSuccess();
        }
        mDriver->Close(box.GetWindow());
        running.wait();
        return ::testing::AssertionFailure() << "the box stayed open";
    }

    // Clicks the box's button of that label.
    void Click(MessageBoxWindow& box, const std::string& label)
    {
        for (const MessageBoxWindow::Button& button : box.GetButtons()) {
            if (button.label == label) {
                mDriver->PressButton(box.GetWindow(), button.area.x + 5, button.area.y + 5);
                mDriver->ReleaseButton(box.GetWindow(), button.area.x + 10, button.area.y + 10);
                return;
            }
        }
        ADD_FAILURE() << "no button " << label;
    }

    std::unique_ptr<Platform::DisplayConnection> mConnection;
    std::optional<MessageBoxDriver> mDriver;
};

TEST_F(MessageBoxGui, TheBoxShowsTheCaptionAndTheTextWrappedAboveTheOKButton)
{
    const std::unique_ptr<MessageBoxWindow> box = Show();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(mDriver->Title(box->GetWindow()), "Halvista Firmware Updater");
    ASSERT_GE(box->GetLines().size(), 3u) << "the first paragraph is wrapped, the second has a line of its own";
    EXPECT_EQ(box->GetLines().back(), "Error code 7");
    EXPECT_EQ(box->GetLines().front().rfind("The device did not answer", 0), 0u);

    const MessageBoxWindow::Area& button = box->GetButtons().front().area;
    const int width = button.x * 2 + button.width;
    const int height = button.y + button.height + 20;
    const std::vector<std::uint32_t> pixels = mDriver->Pixels(box->GetWindow(), width, height);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * height);
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; };
    EXPECT_EQ(at(2, 2), kBoxBackground);
    int textInk = 0;
    for (int y = 0; y < button.y; ++y) {
        for (int x = 0; x < width; ++x) {
            textInk += at(x, y) < 0x808080u ? 1 : 0;
        }
    }
    EXPECT_GT(textInk, 200) << "the text is drawn";
    int labelInk = 0;
    for (int y = button.y + 4; y < button.y + button.height - 4; ++y) {
        for (int x = button.x + 4; x < button.x + button.width - 4; ++x) {
            labelInk += at(x, y) < 0x808080u ? 1 : 0;
        }
    }
    EXPECT_GT(labelInk, 10) << "the button says OK";
    EXPECT_NE(at(button.x, button.y + button.height / 2), kBoxBackground) << "the button's edge";
}

TEST_F(MessageBoxGui, ReturnEscapeAClickOnOKAndTheWindowManagersCloseEachCloseTheBoxWithOK)
{
    const std::function<void(MessageBoxWindow&)> closers[] = {
        [&](MessageBoxWindow& box) { mDriver->PressKey(box.GetWindow(), "Return"); },
        [&](MessageBoxWindow& box) { mDriver->PressKey(box.GetWindow(), "Escape"); },
        [&](MessageBoxWindow& box) { Click(box, "OK"); },
        [&](MessageBoxWindow& box) { mDriver->Close(box.GetWindow()); },
    };
    for (const auto& close : closers) {
        const std::unique_ptr<MessageBoxWindow> box = Show();
        ASSERT_NE(box, nullptr);
        close(*box);
        int answer = 0;
        EXPECT_TRUE(ClosesWithin(*box, &answer));
        EXPECT_EQ(answer, Platform::kAnswerOk);
    }
}

TEST_F(MessageBoxGui, EachButtonSetShowsItsButtonsAndAnswersTheOneClickedAndClosingAnswersTheChoiceThatChangesNothing)
{
    struct Case {
        unsigned buttons;
        std::vector<std::string> labels;
        // Closed by the window manager (and by Escape where the box has Cancel or only OK).
        int closeAnswer;
        bool escapeCloses;
    };
    const Case cases[] = {
        {Platform::kMessageBoxOkCancel, {"OK", "Cancel"}, Platform::kAnswerCancel, true},
        {Platform::kMessageBoxAbortRetryIgnore, {"Abort", "Retry", "Ignore"}, Platform::kAnswerAbort, false},
        {Platform::kMessageBoxYesNoCancel, {"Yes", "No", "Cancel"}, Platform::kAnswerCancel, true},
        {Platform::kMessageBoxYesNo, {"Yes", "No"}, Platform::kAnswerNo, false},
        {Platform::kMessageBoxRetryCancel, {"Retry", "Cancel"}, Platform::kAnswerCancel, true},
        {Platform::kMessageBoxCancelTryContinue, {"Cancel", "Try Again", "Continue"}, Platform::kAnswerCancel, true},
        {9, {"OK"}, Platform::kAnswerOk, true},
    };
    const std::map<std::string, int> answers = {{"OK", 1},    {"Cancel", 2}, {"Abort", 3},      {"Retry", 4},
                                                {"Ignore", 5}, {"Yes", 6},    {"No", 7},         {"Try Again", 10},
                                                {"Continue", 11}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.buttons);
        std::unique_ptr<MessageBoxWindow> box = Show("Question", "Go on?", test.buttons);
        ASSERT_NE(box, nullptr);
        std::vector<std::string> labels;
        for (const MessageBoxWindow::Button& button : box->GetButtons()) {
            labels.push_back(button.label);
            EXPECT_EQ(button.answer, answers.at(button.label));
        }
        EXPECT_EQ(labels, test.labels);
        // The last button: the one furthest from the default.
        Click(*box, labels.back());
        int answer = 0;
        EXPECT_TRUE(ClosesWithin(*box, &answer));
        EXPECT_EQ(answer, answers.at(labels.back()));

        box = Show("Question", "Go on?", test.buttons);
        mDriver->Close(box->GetWindow());
        EXPECT_TRUE(ClosesWithin(*box, &answer));
        EXPECT_EQ(answer, test.closeAnswer);

        box = Show("Question", "Go on?", test.buttons);
        mDriver->PressKey(box->GetWindow(), "Escape");
        mDriver->PressKey(box->GetWindow(), "Return");
        EXPECT_TRUE(ClosesWithin(*box, &answer));
        EXPECT_EQ(answer, test.escapeCloses ? test.closeAnswer : answers.at(labels.front()));
    }
}

TEST_F(MessageBoxGui, AClickBesideOKOrOneLeftOnItElsewhereKeepsTheBoxOpen)
{
    const std::unique_ptr<MessageBoxWindow> box = Show();
    ASSERT_NE(box, nullptr);
    const MessageBoxWindow::Area& button = box->GetButtons().front().area;
    mDriver->PressButton(box->GetWindow(), 2, 2);
    mDriver->ReleaseButton(box->GetWindow(), 2, 2);
    mDriver->PressButton(box->GetWindow(), button.x + 5, button.y + 5);
    mDriver->ReleaseButton(box->GetWindow(), button.x + button.width + 5, button.y + 5);
    mDriver->PressKey(box->GetWindow(), "a");
    mDriver->PressKey(box->GetWindow(), "space");
    EXPECT_TRUE(ClosesWithin(*box));
    EXPECT_EQ(mDriver->TakePendingInput(box->GetWindow()), 0)
        << "the box read up to the space, the first thing that closes it";
}

TEST_F(MessageBoxGui, EachIconOfTheFlagsIsDrawnLeftOfTheTextInItsColoursAndNoneWithoutAnIconBit)
{
    constexpr std::uint32_t kRed = 0xD32F2Fu;
    constexpr std::uint32_t kBlue = 0x1E6FD9u;
    constexpr std::uint32_t kYellow = 0xF5C211u;
    struct Case {
        unsigned flags;
        // 0 for no icon.
        std::uint32_t colour;
        std::uint32_t sign;
    };
    const Case cases[] = {{0x10, kRed, 0xFFFFFFu},  {0x20, kBlue, 0xFFFFFFu}, {0x30, kYellow, 0x000000u},
                          {0x40, kBlue, 0xFFFFFFu}, {0x00, 0, 0},             {0x50, 0, 0}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.flags);
        const std::unique_ptr<MessageBoxWindow> box = Show("Error", "Short text", test.flags);
        ASSERT_NE(box, nullptr);
        const MessageBoxWindow::Area& button = box->GetButtons().front().area;
        const int width = button.x * 2 + button.width;
        const int height = button.y + button.height + 20;
        const std::vector<std::uint32_t> pixels = mDriver->Pixels(box->GetWindow(), width, height);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * height);
        const MessageBoxWindow::Area& icon = box->GetIconArea();
        const auto count = [&](std::uint32_t colour, bool insideIcon) {
            int found = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    found += pixels[static_cast<std::size_t>(y) * width + x] == colour &&
                                     icon.Contains(x, y) == insideIcon
                                 ? 1
                                 : 0;
                }
            }
            return found;
        };
        if (test.colour == 0) {
            EXPECT_EQ(icon.width, 0);
            EXPECT_EQ(count(kRed, false) + count(kBlue, false) + count(kYellow, false), 0);
            continue;
        }
        ASSERT_GT(icon.width, 0);
        EXPECT_LT(icon.x + icon.width, width / 2) << "left of the text";
        EXPECT_GT(count(test.colour, true), 250) << "the disc or the triangle";
        EXPECT_GT(count(test.sign, true), 10) << "the sign on it";
        EXPECT_EQ(count(test.colour, false), 0) << "nothing of the icon outside its place";
        int textInk = 0;
        for (int y = 0; y < button.y; ++y) {
            for (int x = 0; x < icon.x + icon.width + 4; ++x) {
                textInk += !icon.Contains(x, y) && pixels[static_cast<std::size_t>(y) * width + x] < 0x808080u;
            }
        }
        EXPECT_EQ(textInk, 0) << "the text stands right of the icon";
    }
}

TEST_F(MessageBoxGui, ABoxWhoseOwnerWindowGoesAnswersAsTheCloseDoesAlsoWhenTheOwnerWentBeforeTheBoxShowed)
{
    const std::unique_ptr<Platform::DisplayConnection> ownerProgram = Platform::DisplayConnection::Open();
    ASSERT_NE(ownerProgram, nullptr);
    const MessageBoxDriver owners(*ownerProgram);
    for (const bool goneBefore : {false, true}) {
        SCOPED_TRACE(goneBefore);
        const unsigned long owner = owners.CreateWindow();
        if (goneBefore) {
            owners.DestroyWindow(owner);
        }
        const std::unique_ptr<MessageBoxWindow> box =
            MessageBoxWindow::Create(*mConnection, "Question", "Go on?", Platform::kMessageBoxOkCancel, owner);
        ASSERT_NE(box, nullptr);
        if (!goneBefore) {
            owners.DestroyWindow(owner);
        }
        int answer = 0;
        EXPECT_TRUE(ClosesWithin(*box, &answer));
        EXPECT_EQ(answer, Platform::kAnswerCancel);
    }
}

TEST_F(MessageBoxGui, ShowMessageBoxWritesTheStandardErrorAndWaitsUntilTheUserClosesItsWindow)
{
    const Testing::TemporaryFolder folder;
    const std::string captured = folder / "stderr.txt";
    mDriver->WatchTopLevelWindows();
    std::future<void> showing;
    {
        const Platform::StandardErrorRedirection redirection(captured.c_str());
        showing = std::async(std::launch::async, [] { Platform::ShowMessageBox("Caption", "A text\nin two lines"); });
        const unsigned long window = mDriver->WaitForMappedTopLevelWindow(10000);
        ASSERT_NE(window, 0u) << "the box appeared";
        EXPECT_EQ(showing.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout) << "it waits";
        EXPECT_EQ(mDriver->Title(window), "Caption");
        mDriver->PressKey(window, "Return");
        ASSERT_EQ(showing.wait_for(kUserWait), std::future_status::ready);
    }
    EXPECT_EQ(Testing::ContentOf(captured), "Caption: A text\nin two lines\n");
}

// Sets an environment variable (or removes it, for null) while it lives.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : mName(name)
    {
        const char* old = std::getenv(name);
        if (old != nullptr) {
            mOld = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;
    ~EnvironmentValue()
    {
        if (mOld) {
            setenv(mName, mOld->c_str(), 1);
        } else {
            unsetenv(mName);
        }
    }

private:
    const char* mName;
    std::optional<std::string> mOld;
};

TEST(MessageBox, WithoutADisplayTheStandardErrorIsAllAReplacedPresenterGetsTheBoxAndBothAnswerTheDefaultButton)
{
    const Testing::TemporaryFolder folder;
    const std::string captured = folder / "stderr.txt";
    {
        const EnvironmentValue noDisplay("DISPLAY", nullptr);
        const Platform::StandardErrorRedirection redirection(captured.c_str());
        Platform::ShowMessageBox("OpenGL Error", "No context.");
        EXPECT_EQ(Platform::ShowMessageBox("Question", "Go on?",
                                           Platform::kMessageBoxRetryCancel | Platform::kMessageBoxDefaultSecond),
                  Platform::kAnswerCancel);
    }
    EXPECT_EQ(Testing::ContentOf(captured), "OpenGL Error: No context.\nQuestion: Go on?\n");

    std::string shown;
    const Platform::MessageBoxPresenter previous = Platform::SetMessageBoxPresenter(
        [&](const std::string& caption, const std::string& text) { shown = caption + "|" + text; });
    {
        const Platform::StandardErrorRedirection redirection(captured.c_str());
        Platform::ShowMessageBox("Caption", "Text");
        // Unasked, the box answers what Return would: the default button, never a first Yes that the caller chose
        // not to make the default.
        EXPECT_EQ(Platform::ShowMessageBox("Caption", "Delete?", Platform::kMessageBoxYesNo |
                                                                     Platform::kMessageBoxDefaultSecond),
                  Platform::kAnswerNo);
        EXPECT_EQ(Platform::ShowMessageBox("Caption", "Delete?", Platform::kMessageBoxYesNo |
                                                                     Platform::kMessageBoxDefaultFourth),
                  Platform::kAnswerYes);
    }
    Platform::SetMessageBoxPresenter(previous);
    EXPECT_EQ(shown, "Caption|Delete?");
    EXPECT_EQ(Testing::ContentOf(captured), "Caption: Text\nCaption: Delete?\nCaption: Delete?\n");
}

}  // namespace
}  // namespace ZV
