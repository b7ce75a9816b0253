#include "platform/StartFailure.h"

#include "platform/WindowsApi.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace vantrel {
namespace {

// What a user would have seen of a message box.
struct SeenBox {
    bool shown = false;
    std::wstring title;
    std::wstring text;
    bool returnedBeforeOk = false;
};

// Calls ReportStartFailure while a second thread plays the user: it waits for
// a message box (a dialog window of class #32770), reads it and presses OK.
SeenBox ReportAndAnswer(std::string_view reason)
{
    std::atomic<bool> returned{false};
    SeenBox seen;
    std::thread user([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!returned && std::chrono::steady_clock::now() < giveUp) {
            if (HWND box = FindWindowW(L"#32770", nullptr)) {
                std::array<wchar_t, 256> buffer{};
                GetWindowTextW(box, buffer.data(), static_cast<int>(buffer.size()));
                seen.title = buffer.data();
                // The text of a message box is its static control 0xFFFF.
                buffer.fill(L'\0');
                GetDlgItemTextW(box, 0xFFFF, buffer.data(), static_cast<int>(buffer.size()));
                seen.text = buffer.data();
                seen.shown = true;
                seen.returnedBeforeOk = returned;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(5);
        }
    });
    ReportStartFailure(reason);
    returned = true;
    user.join();
    return seen;
}

TEST(StartFailureBox, ShowsTheReasonAndWaitsForOk)
{
    _putenv_s(std::string(kNoStartBoxVariable).c_str(), "");
    const SeenBox seen = ReportAndAnswer("no Qt platform plugin could be initialized");
    ASSERT_TRUE(seen.shown) << "no message box";
    EXPECT_EQ(seen.title, L"Vantrel v2.0");
    EXPECT_EQ(seen.text, L"Vantrel cannot start: no Qt platform plugin could be initialized");
    EXPECT_FALSE(seen.returnedBeforeOk) << "the program would exit before the user could read it";
}

TEST(StartFailureBox, UnattendedRunsGetNone)
{
    _putenv_s(std::string(kNoStartBoxVariable).c_str(), "1");
    const SeenBox seen = ReportAndAnswer("no Qt platform plugin could be initialized");
    _putenv_s(std::string(kNoStartBoxVariable).c_str(), "");
    EXPECT_FALSE(seen.shown);
}

}  // namespace
}  // namespace vantrel
