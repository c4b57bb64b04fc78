#include "app/scr/WinSaver.h"

#include <array>
#include <utility>

#include "app/scr/SaverLog.h"
#include "app/scr/StageWindow.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"
#include "saver/PreviewOpening.h"
#include "saver/WindowsSaverRules.h"
#include "stage/DibStage.h"

namespace quellmoor {

namespace {

constexpr float kDebugWidth = 640, kDebugHeight = 480;
constexpr float kPreviewComposeWidth = 608, kPreviewComposeHeight = 448;

// The exports we call, each with the system's calling convention.
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
using PwdChangePasswordAFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
using ImmAssociateContextFn = HANDLE(WINAPI*)(HWND, HANDLE);

// A library loaded at run time, freed with its owner; empty when it is not there.
class LoadedModule {
public:
    LoadedModule() = default;
    explicit LoadedModule(const char* name) : module_(LoadLibraryA(name)) {}
    ~LoadedModule() {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(LoadedModule&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
    LoadedModule& operator=(LoadedModule&& other) noexcept {
        std::swap(module_, other.module_);
        return *this;
    }

    explicit operator bool() const { return module_ != nullptr; }

    // The export as `Fn`; null when the module or the export is missing.
    template <typename Fn>
    Fn Find(const char* name) const {
        if (!module_) return nullptr;
        // Through a plain function pointer type: FARPROC's signature is a placeholder.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
};

bool ClassicPlatform() {
    // The 95/98 family sets the top bit of the version; NT never does.
    return (GetVersion() & 0x80000000u) != 0;
}

// "ScreenSaveUsePassword" from the user's desktop settings, read into a
// zeroed buffer whose type and size are checked before it counts.
bool PasswordWanted() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    std::array<std::uint8_t, 16> value{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(value.size());
    const LONG result = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, value.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size > value.size()) return false;
    return PasswordFlagSet(type, std::span<const std::uint8_t>(value.data(), size));
}

HWND ToHandle(std::uint32_t handle) { return HandleFromNumber(handle); }

std::uint32_t FromHandle(HWND window) { return NumberFromHandle(window); }

platform::NativeWindow ToNative(std::uint32_t handle) {
    return platform::NativeWindow(reinterpret_cast<std::uintptr_t>(HandleFromNumber(handle)));
}

// Where a preview publishes its window handle: a named mapping holding one
// 32-bit value (window handles fit 32 bits on 64-bit Windows too).
class PreviewMailbox {
public:
    explicit PreviewMailbox(const std::string& name) : name_("Local\\" + name) {}
    ~PreviewMailbox() {
        if (slot_) UnmapViewOfFile(const_cast<LONG*>(slot_));
        if (mapping_) CloseHandle(mapping_);
    }
    PreviewMailbox(const PreviewMailbox&) = delete;
    PreviewMailbox& operator=(const PreviewMailbox&) = delete;

    // The preview published by another instance, when its window still exists.
    HWND Published() const {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name_.c_str());
        if (!mapping) return nullptr;
        HWND window = nullptr;
        if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(LONG))) {
            window = ToHandle(static_cast<std::uint32_t>(*static_cast<const volatile LONG*>(view)));
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
        return window && IsWindow(window) ? window : nullptr;
    }

    // Publishes `window` (held until this mailbox ends); false when the system refused.
    bool Publish(HWND window) {
        if (!slot_) {
            mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name_.c_str());
            if (!mapping_) return false;
            slot_ = static_cast<volatile LONG*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
            if (!slot_) return false;
        }
        published_ = static_cast<LONG>(FromHandle(window));
        InterlockedExchange(slot_, published_);
        return true;
    }

    // Takes the handle back unless a newer preview replaced it meanwhile.
    void Withdraw() {
        if (slot_ && published_) InterlockedCompareExchange(slot_, 0, published_);
        published_ = 0;
    }

private:
    std::string name_;
    HANDLE mapping_ = nullptr;
    volatile LONG* slot_ = nullptr;
    LONG published_ = 0;
};

}  // namespace

struct RWinSaver::Native {
    bool classic = ClassicPlatform();
    LoadedModule passwordModule;
    VerifyScreenSavePwdFn verify = nullptr;
    LoadedModule imm;
    ImmAssociateContextFn associate = nullptr;
    HANDLE keptContext = nullptr;
    HWND associatedWindow = nullptr;
    std::unique_ptr<PreviewMailbox> mailbox;
};

RWinSaver::RWinSaver(WindowsCommandLine line) : line_(line), native_(std::make_unique<Native>()) {
    // Only the 95/98 family checks the password itself; NT's own desktop does it.
    if (native_->classic && PasswordWanted()) {
        native_->passwordModule = LoadedModule("PASSWORD.CPL");
        native_->verify = native_->passwordModule.Find<VerifyScreenSavePwdFn>("VerifyScreenSavePwd");
    }
}

RWinSaver::~RWinSaver() { OnSaverEnd(); }

bool RWinSaver::ChangePassword(std::optional<std::uint32_t> parent) {
    const LoadedModule mpr("MPR.DLL");
    const auto change = mpr.Find<PwdChangePasswordAFn>("PwdChangePasswordA");
    if (!change) return false;
    change("SCRSAVE", parent ? ToHandle(*parent) : nullptr, 0, nullptr);
    return true;
}

bool RWinSaver::VerifyPassword() {
    if (!native_->verify) return true;
    return native_->verify(stage_ ? StageWindowHandle(*stage_, nullptr) : nullptr) != FALSE;
}

void RWinSaver::AttachStage(RDibStage& stage) {
    stage_ = &stage;
    if (line_.mode == WinSaverMode::Run) stage.MakeTopmost();
    if (line_.mode == WinSaverMode::Debug) stage.SetShowFrameRate(true);
    if (line_.mode == WinSaverMode::Preview) {
        stage.SetPreviewMode(true);
        stage.SetParentWindow(ToNative(*line_.window));
    }
}

void RWinSaver::PrepareSetup(RStageSetup& setup) {
    PrepareMode(setup);
    if (!stage_ || stage_->IsQuitting()) return;
    ApplyInstanceRule();
}

void RWinSaver::PrepareMode(RStageSetup& setup) {
    switch (line_.mode) {
        case WinSaverMode::Run:
            setup.fullScreen = true;
            setup.hasFrame = false;
            setup.showCursor = false;
            break;
        case WinSaverMode::Debug:
            setup.fullScreen = false;
            setup.windowRect = {0, 0, kDebugWidth, kDebugHeight};
            setup.hasFrame = true;
            setup.showCursor = true;
            break;
        case WinSaverMode::Preview: {
            setup.fullScreen = false;
            setup.hasFrame = false;
            setup.windowRect = {0, 0, kPreviewComposeWidth, kPreviewComposeHeight};
            if (!stage_) return;
            // The host's window must exist; frames go into it, reduced to its size.
            platform::Platform& system = platform::CurrentPlatform();
            const platform::WindowId host =
                IsWindow(ToHandle(*line_.window)) ? system.AttachWindow(ToNative(*line_.window))
                                                  : platform::WindowId();
            if (!host) {
                failure_ = "the window " + std::to_string(*line_.window) + " does not exist";
                stage_->Quit();
                return;
            }
            const platform::PixelRect area = system.GetWindowRect(host);
            stage_->SetPresentTarget(host, static_cast<float>(area.width), static_cast<float>(area.height));
            break;
        }
        case WinSaverMode::Config:
        case WinSaverMode::ChangePassword: break;
    }
}

void RWinSaver::ApplyInstanceRule() {
    if (line_.mode == WinSaverMode::Config || line_.mode == WinSaverMode::ChangePassword) return;
    const std::string name = stage_->GetProgramName();
    const std::string runTitle = RunTitle(name);
    native_->mailbox = std::make_unique<PreviewMailbox>(PreviewTitle(name));
    HWND run = FindWindowA(nullptr, runTitle.c_str());
    HWND preview = native_->mailbox->Published();
    const InstanceDecision decision = DecideInstance(line_.mode, run != nullptr, preview != nullptr);
    if (decision.giveWay) {
        gaveWay_ = true;
        if (decision.bringRunToFront) SetForegroundWindow(run);
        LogLine("another instance runs: giving way");
        stage_->Quit();
        return;
    }
    if (decision.closePreview) PostMessageA(preview, WM_CLOSE, 0, 0);
    if (decision.setRunningFlag) {
        BOOL previous = FALSE;
        runningFlagSet_ = SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0) != FALSE;
        // While it runs, the system's own start-screensaver command starts nothing more.
        if (auto* windows = dynamic_cast<platform::Win32Platform*>(&platform::CurrentPlatform()))
            windows->SetRefuseScreenSaverCommand(runningFlagSet_);
    }
    stage_->SetCaption(IsPreviewMode() ? PreviewTitle(name) : runTitle);
}

void RWinSaver::OnSaverStart() {
    if (!stage_) return;
    HWND own = StageWindowHandle(*stage_, IsPreviewMode() ? ToHandle(*line_.window) : nullptr);
    if (own && !IsPreviewMode()) {
        // The input method stays off while the saver shows; its context comes back at the end.
        native_->imm = LoadedModule("IMM32.DLL");
        native_->associate = native_->imm.Find<ImmAssociateContextFn>("ImmAssociateContext");
        if (native_->associate) {
            native_->keptContext = native_->associate(own, nullptr);
            native_->associatedWindow = own;
        }
    }
    if (IsPreviewMode()) {
        if (own && native_->mailbox) native_->mailbox->Publish(own);
        PlayPreviewOpening(*stage_);
    }
}

void RWinSaver::OnSaverEnd() {
    if (ended_) return;
    ended_ = true;
    if (native_->associate && native_->associatedWindow && IsWindow(native_->associatedWindow))
        native_->associate(native_->associatedWindow, native_->keptContext);
    native_->associate = nullptr;
    if (native_->mailbox) native_->mailbox->Withdraw();
    // Only the instance that set the flag clears it.
    if (runningFlagSet_) {
        BOOL previous = FALSE;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
        runningFlagSet_ = false;
    }
}

}  // namespace quellmoor
