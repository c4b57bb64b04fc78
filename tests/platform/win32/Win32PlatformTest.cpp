// The Win32 backend under the conformance suite (frames read back from the
// windows with GetDIBits), and what only Windows has: window messages turned
// into input, waits that wake on messages, child windows, the refused
// screensaver command.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32/WindowsApi.h"
#include "tests/platform/headless/PlatformConformance.h"

namespace quellmoor::testing {
namespace {

using platform::InputEvent;
using platform::Win32Platform;
using Type = InputEvent::Type;

constexpr const char* kForeignClass = "QuellmoorTestForeignWindow";

LRESULT CALLBACK ForeignProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Plain windows of another class, as another program would make them.
class Win32Foreign final : public ForeignWindows {
public:
    Win32Foreign() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ForeignProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kForeignClass;
        RegisterClassExA(&windowClass);
    }
    ~Win32Foreign() override {
        for (HWND hwnd : made_)
            if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
    }
    platform::NativeWindow Make(int width, int height) override {
        const HWND hwnd = CreateWindowExA(0, kForeignClass, "Host", WS_POPUP | WS_VISIBLE, 100, 100, width, height,
                                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        made_.push_back(hwnd);
        return platform::NativeWindow(reinterpret_cast<std::uintptr_t>(hwnd));
    }
    void Resize(platform::NativeWindow window, int width, int height) override {
        SetWindowPos(Handle(window), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    void Remove(platform::NativeWindow window) override { ::DestroyWindow(Handle(window)); }
    static HWND Handle(platform::NativeWindow window) { return reinterpret_cast<HWND>(window.value); }

private:
    std::vector<HWND> made_;
};

INSTANTIATE_TEST_SUITE_P(Win32, PlatformConformance,
                         ::testing::Values(BackendUnderTest{
                             "Win32", [] { return std::make_unique<Win32Platform>(); },
                             [](platform::Platform&) { return std::make_unique<Win32Foreign>(); }}),
                         BackendName);

class Win32PlatformTest : public ::testing::Test {
protected:
    platform::WindowId Open(platform::WindowStyle style = platform::WindowStyle::Borderless) {
        platform::WindowSpec spec;
        spec.rect = {10, 10, 80, 60};
        spec.style = style;
        const platform::WindowId window = backend.OpenWindow(spec);
        backend.ShowWindow(true);
        return window;
    }
    HWND Hwnd(platform::WindowId window) const {
        return reinterpret_cast<HWND>(backend.NativeHandle(window).value);
    }
    // The events the window's messages turned into, in order.
    std::vector<InputEvent> Drain() {
        std::vector<InputEvent> events;
        InputEvent event;
        while (backend.PollEvent(event)) events.push_back(event);
        return events;
    }
    std::vector<InputEvent> Only(Type type) {
        std::vector<InputEvent> kept;
        for (const InputEvent& e : Drain())
            if (e.type == type) kept.push_back(e);
        return kept;
    }
    Win32Platform backend;
};

TEST_F(Win32PlatformTest, TheWindowHasTheClassAndTitleGiven) {
    const platform::WindowId window = Open();
    char name[128] = {};
    GetClassNameA(Hwnd(window), name, sizeof name);
    EXPECT_STREQ(name, "QuellmoorWindowClass");
    EXPECT_EQ(backend.WindowTitle(), "Quellmoor Window");
    backend.SetWindowTitle("Vexmon");
    EXPECT_EQ(backend.WindowTitle(), "Vexmon");
}

TEST_F(Win32PlatformTest, KeysArriveAsVirtualKeyCodes) {
    const platform::WindowId window = Open();
    Drain();
    PostMessageA(Hwnd(window), WM_KEYDOWN, 0x71, 0x003C0001);  // F2; the lParam never matters
    PostMessageA(Hwnd(window), WM_KEYUP, 'S', 0xC01F0001);
    const std::vector<InputEvent> downs = Only(Type::KeyDown);
    // Only(…) drained the queue: post again to look at the release.
    PostMessageA(Hwnd(window), WM_KEYUP, 'S', 0xC01F0001);
    const std::vector<InputEvent> ups = Only(Type::KeyUp);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].virtualKey, 0x71u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].virtualKey, static_cast<std::uint32_t>('S'));
}

TEST_F(Win32PlatformTest, MouseMessagesGiveClientPixelsAndButtons) {
    const platform::WindowId window = Open();
    Drain();
    PostMessageA(Hwnd(window), WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    PostMessageA(Hwnd(window), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
    PostMessageA(Hwnd(window), WM_LBUTTONUP, 0, MAKELPARAM(7, 8));
    // A captured mouse above and left of the window reports negative coordinates.
    PostMessageA(Hwnd(window), WM_MOUSEMOVE, 0, MAKELPARAM(-3, -4));
    std::vector<InputEvent> mouse;
    for (const InputEvent& e : Drain())
        if (e.type == Type::MouseMove || e.type == Type::MouseDown || e.type == Type::MouseUp) mouse.push_back(e);
    ASSERT_EQ(mouse.size(), 4u);
    EXPECT_EQ(mouse[0].x, 12.0f);
    EXPECT_EQ(mouse[0].y, 34.0f);
    EXPECT_EQ(mouse[1].type, Type::MouseDown);
    EXPECT_EQ(mouse[1].button, 1);
    EXPECT_EQ(mouse[2].type, Type::MouseUp);
    EXPECT_EQ(mouse[2].button, 0);
    EXPECT_EQ(mouse[3].x, -3.0f);
    EXPECT_EQ(mouse[3].y, -4.0f);
}

TEST_F(Win32PlatformTest, ClosingAsksAndLeavesTheWindowStanding) {
    const platform::WindowId window = Open();
    Drain();
    PostMessageA(Hwnd(window), WM_CLOSE, 0, 0);
    EXPECT_EQ(Only(Type::Close).size(), 1u);
    EXPECT_TRUE(backend.WindowExists(window));
    PostQuitMessage(0);  // a quit posted to the thread is heard the same way
    EXPECT_EQ(Only(Type::Close).size(), 1u);
}

TEST_F(Win32PlatformTest, AWaitEndsWhenAMessageArrivesAndOtherwiseAtTheDeadline) {
    const platform::WindowId window = Open();
    Drain();
    const HWND hwnd = Hwnd(window);
    std::thread poster([hwnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    });
    const std::int64_t start = backend.NowMs();
    backend.WaitUntil(start + 5000);
    const std::int64_t woke = backend.NowMs();
    poster.join();
    EXPECT_GE(woke - start, 40);
    EXPECT_LT(woke - start, 2000);
    EXPECT_EQ(Only(Type::KeyDown).size(), 1u);

    const std::int64_t quiet = backend.NowMs();
    backend.WaitUntil(quiet + 100);
    EXPECT_GE(backend.NowMs() - quiet, 100);
    EXPECT_LT(backend.NowMs() - quiet, 400);
}

TEST_F(Win32PlatformTest, TheScreensaverCommandIsRefusedOnlyWhileAsked) {
    const platform::WindowId window = Open();
    // Refused: the window answers 1 itself. Otherwise the system's default answers 0.
    backend.SetRefuseScreenSaverCommand(true);
    EXPECT_EQ(SendMessageA(Hwnd(window), WM_SYSCOMMAND, SC_SCREENSAVE | 0x2, 0), 1);
    backend.SetRefuseScreenSaverCommand(false);
    EXPECT_EQ(SendMessageA(Hwnd(window), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
}

TEST_F(Win32PlatformTest, APreviewIsAChildOfItsHostAndShowsItsFrames) {
    Win32Foreign hosts;
    const platform::NativeWindow host = hosts.Make(152, 112);
    platform::WindowSpec spec;
    spec.style = platform::WindowStyle::Child;
    spec.parent = host;
    spec.rect = {0, 0, 152, 112};
    const platform::WindowId preview = backend.OpenWindow(spec);
    backend.ShowWindow(true);
    EXPECT_EQ(GetParent(Hwnd(preview)), Win32Foreign::Handle(host));
    EXPECT_TRUE(GetWindowLongA(Hwnd(preview), GWL_STYLE) & WS_CHILD);
    TestImage image(152, 112);
    backend.PresentStretched(preview, image.Image(), {0, 0, 152, 112});
    const platform::ScreenPixels shown = backend.ReadPresentedPixels(preview);
    ASSERT_EQ(shown.width, 152);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 152, 112}, [&](int x, int y) { return image.Colour(x, y); }), "");
    // The host going away takes the preview with it.
    hosts.Remove(host);
    EXPECT_FALSE(backend.WindowExists(preview));
}

TEST_F(Win32PlatformTest, AChildWithoutItsParentIsRefused) {
    platform::WindowSpec spec;
    spec.style = platform::WindowStyle::Child;
    spec.parent = platform::NativeWindow(0x7FFFFFF0);
    EXPECT_THROW(backend.OpenWindow(spec), std::runtime_error);
}

TEST_F(Win32PlatformTest, AFrameSurvivesBeingPaintedAgain) {
    const platform::WindowId window = Open();
    TestImage image(80, 60);
    backend.PresentStretched(window, image.Image(), {0, 0, 80, 60});
    // The system asks for the whole window again (as after being uncovered).
    InvalidateRect(Hwnd(window), nullptr, TRUE);
    UpdateWindow(Hwnd(window));
    const platform::ScreenPixels shown = backend.ReadPresentedPixels(window);
    ASSERT_EQ(shown.width, 80);
    EXPECT_EQ(FirstDifference(shown, {0, 0, 80, 60}, [&](int x, int y) { return image.Colour(x, y); }), "");
}

TEST_F(Win32PlatformTest, TheClockCountsMillisecondsAndTheLocalTimeIsNow) {
    const std::int64_t before = backend.NowMs();
    Sleep(30);
    const std::int64_t elapsed = backend.NowMs() - before;
    EXPECT_GE(elapsed, 29);
    EXPECT_LT(elapsed, 500);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const platform::LocalDateTime local = backend.LocalTimeNow();
    EXPECT_EQ(local.year, now.wYear);
    EXPECT_EQ(local.weekday, now.wDayOfWeek);
}

}  // namespace
}  // namespace quellmoor::testing
