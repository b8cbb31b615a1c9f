// The performance bench's probe: a console program that runs inside the bench's Wine prefix beside the
// program it measures, times what a user would see from there, and prints one JSON line per result.
//
//   probe ping                                  boots the prefix's session; {"acp":N}
//   probe startup RUNS TITLE EXE [TITLE EXE]...  starts each EXE in turn (every other round in reverse
//                                               order), RUNS rounds, and times process creation to its
//                                               window TITLE visible; one line per start
//   probe wait TITLE                            waits until a top-level window TITLE exists
//   probe hide TITLE                            waits for TITLE visible, presses Enter in it, waits until
//                                               it is hidden
//   probe prompt TITLE BOX                      as hide, then times the window hidden to the dialog box
//                                               BOX visible; then stays until the session ends it
//   probe memory TITLE                          memory counters of the process owning window TITLE, and
//                                               its committed private memory
//   probe hold                                  keeps the session (wineserver and desktop) up until
//                                               standard input closes; {"held":true} once it stands
//
// Titles travel hex-encoded as GBK bytes (Wine mangles non-ASCII command lines). Times are
// milliseconds on the performance counter; windows are polled every millisecond.
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string FromHex(const char* hex) {
  std::string out;
  for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    const char pair[3] = {hex[i], hex[i + 1], '\0'};
    out += static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  return out;
}

double NowMs() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

int Fail(const std::string& why) {
  Print("{\"error\":\"" + why + "\"}");
  return 1;
}

// The first top-level window titled `title` (of process `pid` when not 0, visible only when asked).
HWND FindTitled(const std::string& title, DWORD pid, bool visibleOnly) {
  for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); w;
       w = FindWindowExA(nullptr, w, nullptr, title.c_str())) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (pid != 0 && owner != pid) continue;
    if (visibleOnly && !IsWindowVisible(w)) continue;
    return w;
  }
  return nullptr;
}

// Polls `condition` every millisecond for at most `timeoutMs`; true when it held.
template <typename Condition>
bool PollUntil(double timeoutMs, Condition condition) {
  const double end = NowMs() + timeoutMs;
  while (!condition()) {
    if (NowMs() > end) return false;
    Sleep(1);
  }
  return true;
}

void Key(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
}

// Waits for the window visible, brings it to the front and presses Enter in it; then waits until it is
// hidden. Returns the window, or nullptr.
HWND PressEnterUntilHidden(const std::string& title, double& hiddenAt) {
  HWND window = nullptr;
  if (!PollUntil(60000, [&] { return (window = FindTitled(title, 0, true)) != nullptr; })) return nullptr;
  SetForegroundWindow(window);
  Sleep(200);            // let the activation settle so the key goes to the focused field
  Key(VK_RETURN, true);  // released at once: the window may hide, and the question come up, within ms
  Key(VK_RETURN, false);
  if (!PollUntil(10000, [&] { return !IsWindowVisible(window); })) return nullptr;
  hiddenAt = NowMs();
  return window;
}

int Startup(int argc, char** argv) {
  const int runs = std::atoi(argv[2]);
  struct Target {
    std::string title, exe, dir;
  };
  std::vector<Target> targets;
  for (int i = 3; i + 1 < argc; i += 2) {
    Target t{FromHex(argv[i]), argv[i + 1], argv[i + 1]};
    t.dir = t.dir.substr(0, t.dir.find_last_of('\\'));
    targets.push_back(t);
  }
  for (int run = 0; run < runs; ++run) {
    for (size_t k = 0; k < targets.size(); ++k) {
      const size_t i = run % 2 == 0 ? k : targets.size() - 1 - k;  // every other run in reverse order
      std::string commandLine = "\"" + targets[i].exe + "\"";
      STARTUPINFOA si{};
      si.cb = sizeof si;
      PROCESS_INFORMATION pi{};
      const double started = NowMs();
      if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          targets[i].dir.c_str(), &si, &pi)) {
        return Fail("CreateProcess failed: " + targets[i].exe);
      }
      const bool shown =
          PollUntil(30000, [&] { return FindTitled(targets[i].title, pi.dwProcessId, true) != nullptr; });
      const double ms = NowMs() - started;
      TerminateProcess(pi.hProcess, 0);
      WaitForSingleObject(pi.hProcess, 10000);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
      if (!shown) return Fail("no visible window: " + targets[i].exe);
      char line[128];
      std::snprintf(line, sizeof line, "{\"target\":%u,\"run\":%d,\"ms\":%.2f}", static_cast<unsigned>(i),
                    run, ms);
      Print(line);
      Sleep(500);  // the ended copy's window is gone, and the desktop has settled, before the next start
    }
  }
  return 0;
}

// Committed private memory (Windows' private bytes), summed region by region: under Wine the
// PrivateUsage counter of GetProcessMemoryInfo stays 0.
unsigned long long CommittedPrivate(HANDLE process) {
  unsigned long long total = 0;
  MEMORY_BASIC_INFORMATION region{};
  uintptr_t address = 0;
  while (VirtualQueryEx(process, reinterpret_cast<void*>(address), &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

int Memory(const std::string& title) {
  HWND window = FindTitled(title, 0, false);
  if (!window) return Fail("no such window");
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return Fail("OpenProcess failed");
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  const BOOL got =
      GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  const unsigned long long committed = CommittedPrivate(process);
  CloseHandle(process);
  if (!got) return Fail("GetProcessMemoryInfo failed");
  char line[256];
  std::snprintf(line, sizeof line,
                "{\"peak_working_set\":%lu,\"working_set\":%lu,\"private_usage\":%lu,\"pagefile\":%lu,"
                "\"committed_private\":%llu}",
                static_cast<unsigned long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long>(counters.WorkingSetSize),
                static_cast<unsigned long>(counters.PrivateUsage),
                static_cast<unsigned long>(counters.PagefileUsage), committed);
  Print(line);
  return 0;
}

// Keeps the session alive for the programs started from outside: a live client keeps the wineserver, a
// window of its own (never shown) keeps the virtual desktop. Its messages are pumped while a second
// thread waits for standard input to close.
DWORD WINAPI WaitForInputEnd(void* mainThread) {
  char buffer[64];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
  }
  PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<uintptr_t>(mainThread)), WM_QUIT, 0, 0);
  return 0;
}

int Hold() {
  HWND window = CreateWindowExA(0, "STATIC", "bench hold", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) return Fail("CreateWindow failed");
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before the reader posts
  void* self = reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId()));
  HANDLE reader = CreateThread(nullptr, 0, WaitForInputEnd, self, 0, nullptr);
  if (!reader) return Fail("CreateThread failed");
  CloseHandle(reader);
  Print("{\"held\":true}");
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "ping") {
    Print("{\"acp\":" + std::to_string(GetACP()) + "}");
    return 0;
  }
  if (command == "hold") return Hold();
  if (command == "startup" && argc >= 5) return Startup(argc, argv);
  if (command == "memory" && argc == 3) return Memory(FromHex(argv[2]));
  if (command == "wait" && argc == 3) {
    const std::string title = FromHex(argv[2]);
    if (!PollUntil(60000, [&] { return FindTitled(title, 0, false) != nullptr; })) return Fail("no window");
    Print("{}");
    return 0;
  }
  if (command == "hide" && argc == 3) {
    double hiddenAt = 0;
    if (!PressEnterUntilHidden(FromHex(argv[2]), hiddenAt)) return Fail("the window did not hide");
    Print("{}");
    return 0;
  }
  if (command == "prompt" && argc == 4) {
    double hiddenAt = 0;
    if (!PressEnterUntilHidden(FromHex(argv[2]), hiddenAt)) return Fail("the window did not hide");
    const std::string boxTitle = FromHex(argv[3]);
    HWND box = nullptr;
    if (!PollUntil(30000, [&] {
          box = FindTitled(boxTitle, 0, true);
          return box != nullptr;
        })) {
      return Fail("no question box");
    }
    char line[64];
    std::snprintf(line, sizeof line, "{\"hide_to_box_ms\":%.2f}", NowMs() - hiddenAt);
    Print(line);
    Sleep(60000);  // the forced power-off ends this process with the session
    return Fail("still running 60 s after the question");
  }
  return Fail("usage: probe ping|hold|startup|wait|hide|prompt|memory ...");
}
