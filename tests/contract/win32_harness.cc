// The contract's harness for the Windows platform: real time, the thread's own message queue, and a
// helper thread that answers question boxes as a user would.
#include <windows.h>

#include <cmath>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_platform.h"
#include "tests/contract/harness.h"

namespace {

// Real timers under Wine run late by a scheduler slice or two; a loaded machine adds more.
constexpr double kSlackMs = 150;

double NowMilliseconds() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Waits on another thread for a question box with the given title, then presses one of its buttons
// a while after it has appeared.
struct BoxAnswerer {
  Text title;
  int afterMs;
  int button;  // IDOK, IDCANCEL, ...

  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<BoxAnswerer*>(parameter);
    for (int waited = 0; waited < 20000; waited += 10) {
      HWND box = FindWindowA("#32770", self->title.c_str());
      if (box && IsWindowVisible(box)) {
        Sleep(static_cast<DWORD>(self->afterMs));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(self->button, BN_CLICKED), 0);
        return 0;
      }
      Sleep(10);
    }
    return 1;
  }
};

bool watchdogFired = false;

void CALLBACK StopLoop(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(99);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class Win32Harness final : public ContractHarness {
 public:
  ~Win32Harness() override {
    for (auto& thread : answerers_) WaitForSingleObject(thread.get(), 30000);
    if (other_) DestroyWindow(other_);
  }

  Platform& platform() override { return platform_; }
  double NowMs() override { return NowMilliseconds(); }
  double SlackMs() const override { return kSlackMs; }

  void Pass(int ms) override {
    const double end = NowMs() + ms;
    for (double now = NowMs(); now < end; now = NowMs()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(end - now)), QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
  }

  void AnswerBox(const Text& title, int afterMs, int32_t result) override {
    answers_.push_back(
        std::make_unique<BoxAnswerer>(BoxAnswerer{title, afterMs, result == 0 ? IDOK : IDCANCEL}));
    answerers_.emplace_back(CreateThread(nullptr, 0, BoxAnswerer::Run, answers_.back().get(), 0, nullptr));
  }

  bool RunLoopWithin(int limitMs) override {
    watchdogFired = false;
    const UINT_PTR watchdog = SetTimer(nullptr, 0, static_cast<UINT>(limitMs), StopLoop);
    platform_.RunMessageLoop();
    KillTimer(nullptr, watchdog);
    return !watchdogFired;
  }

  void PressCloseBox() override { SendMessageA(platform_.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }

  bool QueryEndSession() override { return SendMessageA(platform_.window(), WM_QUERYENDSESSION, 0, 0) != 0; }

  bool ActivateAnotherWindow() override {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = PlainWindowProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "Zentavo.ContractOther";
      return RegisterClassA(&wc) != 0;
    }();
    if (!registered) return false;
    other_ = CreateWindowExA(0, "Zentavo.ContractOther", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                             100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!other_) return false;
    SetForegroundWindow(other_);
    SetActiveWindow(other_);
    Pass(50);
    return GetActiveWindow() == other_;
  }

 private:
  Win32Platform platform_;
  std::vector<std::unique_ptr<BoxAnswerer>> answers_;
  std::vector<ScopedHandle> answerers_;
  HWND other_ = nullptr;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeHarness() { return std::make_unique<Win32Harness>(); }
