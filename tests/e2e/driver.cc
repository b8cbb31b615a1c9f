// The e2e driver: a console program that runs beside the program under test in the same Wine prefix and
// acts as its user. It reads one command per line on stdin and answers each with one JSON line on stdout.
//
// Command line format:  name key=value key=value ...
// Texts travel hex-encoded as GBK bytes both ways, so no code page conversion stands between the runner
// and the program; numbers are decimal or 0x-hex, window handles plain numbers. Every command that waits for
// something polls with a timeout given in milliseconds and answers {"ok":false,"error":"timeout ..."} when it
// runs out.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Args = std::map<std::string, std::string>;

// ---- text helpers ----------------------------------------------------------------------------------

std::string ToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
  }
  return out;
}

// A small JSON object writer; every value it holds is ASCII (texts are hex).
class Json {
 public:
  Json& Num(const std::string& key, long long value) { return Raw(key, std::to_string(value)); }
  Json& Bool(const std::string& key, bool value) { return Raw(key, value ? "true" : "false"); }
  Json& Str(const std::string& key, const std::string& value) { return Raw(key, "\"" + value + "\""); }
  Json& Hex(const std::string& key, const std::string& bytes) { return Str(key, ToHex(bytes)); }
  Json& Rect(const std::string& key, const RECT& r) {
    return Raw(key, "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                        std::to_string(r.right) + "," + std::to_string(r.bottom) + "]");
  }
  Json& Obj(const std::string& key, const Json& value) { return Raw(key, value.Text()); }
  Json& List(const std::string& key, const std::vector<Json>& items) {
    std::string s = "[";
    for (size_t i = 0; i < items.size(); ++i) s += (i ? "," : "") + items[i].Text();
    return Raw(key, s + "]");
  }
  std::string Text() const { return "{" + body_ + "}"; }

 private:
  Json& Raw(const std::string& key, const std::string& value) {
    body_ += (body_.empty() ? "\"" : ",\"") + key + "\":" + value;
    return *this;
  }
  std::string body_;
};

// A command's result: the JSON fields of a success, or the reason of a failure.
struct Reply {
  bool ok = true;
  Json fields;
  std::string error;
  static Reply Fail(const std::string& why) {
    Reply r;
    r.ok = false;
    r.error = why;
    return r;
  }
};

long long Number(const Args& args, const std::string& key, long long fallback) {
  auto it = args.find(key);
  if (it == args.end() || it->second.empty()) return fallback;
  return std::strtoll(it->second.c_str(), nullptr, 0);
}

bool Has(const Args& args, const std::string& key) { return args.count(key) != 0; }

std::string TextArg(const Args& args, const std::string& key) {
  auto it = args.find(key);
  return it == args.end() ? std::string() : FromHex(it->second);
}

HWND HandleArg(const Args& args, const std::string& key = "hwnd") {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(Number(args, key, 0)));
}

long long HandleNumber(HWND hwnd) { return static_cast<long long>(reinterpret_cast<uintptr_t>(hwnd)); }

// Polls `condition` every 10 ms until it holds or `timeoutMs` has passed; true when it held.
bool PollUntil(long long timeoutMs, const std::function<bool()>& condition) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

// ---- window queries --------------------------------------------------------------------------------

std::string ClassOf(HWND hwnd) {
  char buffer[256] = {};
  GetClassNameA(hwnd, buffer, sizeof buffer);
  return buffer;
}

// The text as the window's own procedure reports it (WM_GETTEXT), which for an edit box is its content;
// up to 64 KB, enough for the longest value a settings file can put into a field.
std::string TextOf(HWND hwnd) {
  std::string buffer(65536, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size()));
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

// The rectangle of `child` relative to the top-left corner of its parent's client area.
RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

Json Describe(HWND hwnd) {
  RECT window{}, client{};
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(tid, &gui);
  Json j;
  j.Num("hwnd", HandleNumber(hwnd))
      .Num("pid", pid)
      .Num("tid", tid)
      .Hex("class", ClassOf(hwnd))
      .Hex("text", TextOf(hwnd))
      .Bool("visible", IsWindowVisible(hwnd))
      .Bool("enabled", IsWindowEnabled(hwnd))
      .Rect("rect", window)
      .Rect("client", client)
      .Num("style", static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)))
      .Num("exstyle", static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)))
      .Num("id", GetWindowLongA(hwnd, GWL_ID))
      .Num("owner", HandleNumber(GetWindow(hwnd, GW_OWNER)))
      .Num("foreground", HandleNumber(GetForegroundWindow()))
      .Num("active", HandleNumber(gui.hwndActive))
      .Num("focus", HandleNumber(gui.hwndFocus));
  return j;
}

struct Match {
  std::string title, className;
  bool byTitle = false, byClass = false;
  DWORD pid = 0;
  HWND skip = nullptr;
  int visible = -1;  // -1: either
};

Match MatchArgs(const Args& args) {
  Match m;
  m.byTitle = Has(args, "title");
  m.title = TextArg(args, "title");
  m.byClass = Has(args, "class");
  m.className = TextArg(args, "class");
  m.pid = static_cast<DWORD>(Number(args, "pid", 0));
  m.skip = HandleArg(args, "not");
  m.visible = static_cast<int>(Number(args, "visible", -1));
  return m;
}

bool Matches(HWND hwnd, const Match& m) {
  if (hwnd == m.skip) return false;
  if (m.pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != m.pid) return false;
  }
  if (m.visible >= 0 && (IsWindowVisible(hwnd) ? 1 : 0) != m.visible) return false;
  if (m.byClass && ClassOf(hwnd) != m.className) return false;
  if (m.byTitle) {
    char buffer[1024] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    if (m.title != buffer) return false;
  }
  return true;
}

// Every top-level window of the driver's desktop that matches, in Z order.
std::vector<HWND> TopLevelWindows(const Match& m) {
  std::vector<HWND> found;
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (Matches(w, m)) found.push_back(w);
  }
  return found;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) found.push_back(w);
  return found;
}

// ---- input -----------------------------------------------------------------------------------------

void SendKey(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
      in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  SendInput(1, &in, sizeof in);
}

void SendUnicode(wchar_t ch) {
  INPUT in[2] = {};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wScan = ch;
    in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
  }
  SendInput(2, in, sizeof in[0]);
}

// Holds the keys of a chord down together (pressed in order, released in reverse) for `holdMs`.
void PressChord(const std::vector<WORD>& keys, DWORD holdMs) {
  for (WORD vk : keys) {
    SendKey(vk, true);
    Sleep(5);
  }
  Sleep(holdMs);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    SendKey(*it, false);
    Sleep(5);
  }
}

// Types GBK text: characters of the keyboard as key presses (with Shift where the layout needs it),
// anything else as a Unicode character packet.
void TypeText(const std::string& gbk, DWORD gapMs) {
  int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
  for (wchar_t ch : wide) {
    SHORT scan = ch < 0x80 ? VkKeyScanA(static_cast<char>(ch)) : -1;
    if (scan == -1) {
      SendUnicode(ch);
    } else {
      std::vector<WORD> chord;
      if (scan & 0x100) chord.push_back(VK_SHIFT);
      chord.push_back(static_cast<WORD>(scan & 0xFF));
      PressChord(chord, 10);
    }
    Sleep(gapMs);
  }
}

void MouseAt(int x, int y, DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  SendInput(1, &in, sizeof in);
}

void Click(int x, int y, bool right, DWORD holdMs) {
  MouseAt(x, y, 0);
  Sleep(30);
  MouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  Sleep(holdMs);
  MouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

std::vector<WORD> KeyList(const std::string& list) {
  std::vector<WORD> keys;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    keys.push_back(static_cast<WORD>(std::strtoul(list.substr(start, end - start).c_str(), nullptr, 0)));
    start = end + 1;
  }
  return keys;
}

// ---- the driver's own top-level window, standing for "another program" --------------------------

HWND g_other = nullptr;

LRESULT CALLBACK OtherProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

DWORD WINAPI OtherThread(void* ready) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OtherProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "E2eOtherProgram";
  RegisterClassA(&wc);
  g_other = CreateWindowExA(0, wc.lpszClassName, "e2e other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                            20, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, g_other,
                              nullptr, wc.hInstance, nullptr);
  SetFocus(edit);
  SetEvent(static_cast<HANDLE>(ready));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

// ---- commands --------------------------------------------------------------------------------------

Reply Ping(const Args&) {
  Reply r;
  r.fields.Num("desktop", HandleNumber(GetDesktopWindow()))
      .Num("cx", GetSystemMetrics(SM_CXSCREEN))
      .Num("cy", GetSystemMetrics(SM_CYSCREEN))
      .Num("acp", GetACP())
      .Num("pid", GetCurrentProcessId());
  return r;
}

// find title=HEX class=HEX pid=N not=HWND visible=0|1 timeout=MS: the first matching top-level window.
Reply Find(const Args& args) {
  Match m = MatchArgs(args);
  HWND found = nullptr;
  if (!PollUntil(Number(args, "timeout", 0), [&] {
        auto all = TopLevelWindows(m);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
      })) {
    return Reply::Fail("timeout: no such window");
  }
  Reply r;
  r.fields = Describe(found);
  return r;
}

// windows title=HEX class=HEX pid=N: every matching top-level window, now.
Reply Windows(const Args& args) {
  std::vector<Json> items;
  for (HWND w : TopLevelWindows(MatchArgs(args))) items.push_back(Describe(w));
  Reply r;
  r.fields.List("windows", items);
  return r;
}

Reply Info(const Args& args) {
  HWND hwnd = HandleArg(args);
  if (!IsWindow(hwnd)) return Reply::Fail("no such window");
  Reply r;
  r.fields = Describe(hwnd);
  return r;
}

// children hwnd=H: the direct children with their rectangles relative to the parent's client area.
Reply ChildrenOf(const Args& args) {
  HWND parent = HandleArg(args);
  if (!IsWindow(parent)) return Reply::Fail("no such window");
  std::vector<Json> items;
  for (HWND c : Children(parent)) {
    Json j = Describe(c);
    j.Rect("place", RectInParent(c));
    items.push_back(j);
  }
  Reply r;
  r.fields.List("children", items);
  return r;
}

// wait hwnd=H until=visible|hidden|gone|foreground|focus [focus=HWND] timeout=MS
Reply Wait(const Args& args) {
  HWND hwnd = HandleArg(args);
  const std::string until = args.count("until") ? args.at("until") : "";
  HWND focus = HandleArg(args, "focus");
  std::function<bool()> cond;
  if (until == "visible") {
    cond = [&] { return IsWindowVisible(hwnd) != FALSE; };
  } else if (until == "hidden") {
    cond = [&] { return IsWindow(hwnd) && !IsWindowVisible(hwnd); };
  } else if (until == "gone") {
    cond = [&] { return !IsWindow(hwnd); };
  } else if (until == "foreground") {
    cond = [&] { return GetForegroundWindow() == hwnd; };
  } else if (until == "focus") {
    cond = [&] {
      GUITHREADINFO gui{};
      gui.cbSize = sizeof gui;
      return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &gui) && gui.hwndFocus == focus;
    };
  } else {
    return Reply::Fail("unknown condition");
  }
  const ULONGLONG start = GetTickCount64();
  if (!PollUntil(Number(args, "timeout", 0), cond)) return Reply::Fail("timeout waiting for " + until);
  Reply r;
  r.fields.Num("waited", static_cast<long long>(GetTickCount64() - start));
  return r;
}

// press keys=VK,VK,... hold=MS repeat=N gap=MS: one chord, N times. With watch=HWND it samples that
// window's visibility every 2 ms from the first key down until `after` ms past the last release and
// reports how often it changed.
Reply Press(const Args& args) {
  auto keys = KeyList(args.count("keys") ? args.at("keys") : "");
  if (keys.empty()) return Reply::Fail("no keys");
  const DWORD hold = static_cast<DWORD>(Number(args, "hold", 120));
  const long long repeat = Number(args, "repeat", 1);
  HWND watched = HandleArg(args, "watch");
  if (!watched) {
    for (long long i = 0; i < repeat; ++i) {
      PressChord(keys, hold);
      Sleep(static_cast<DWORD>(Number(args, "gap", 30)));
    }
    return Reply();
  }
  bool last = IsWindowVisible(watched);
  const bool first = last;
  long long changes = 0;
  auto sampleFor = [&](DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
      const bool now = IsWindowVisible(watched);
      if (now != last) ++changes;
      last = now;
      Sleep(2);
    } while (GetTickCount64() < end);
  };
  for (WORD vk : keys) {
    SendKey(vk, true);
    sampleFor(5);
  }
  sampleFor(hold);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    SendKey(*it, false);
    sampleFor(5);
  }
  sampleFor(static_cast<DWORD>(Number(args, "after", 300)));
  Reply r;
  r.fields.Bool("first", first).Bool("last", last).Num("changes", changes);
  return r;
}

// hit hwnd=H code=N: the centre of the part of the window's top frame and caption band where
// WM_NCHITTEST answers `code` (HTCAPTION 2, HTCLOSE 20, ...), found by sampling every second pixel.
Reply Hit(const Args& args) {
  HWND hwnd = HandleArg(args);
  const long long code = Number(args, "code", HTCLOSE);
  RECT r{};
  if (!GetWindowRect(hwnd, &r)) return Reply::Fail("no such window");
  POINT clientTop{0, 0};
  ClientToScreen(hwnd, &clientTop);
  RECT found{r.right, r.bottom, r.left, r.top};
  for (int y = r.top; y < clientTop.y; y += 2) {
    for (int x = r.left; x < r.right; x += 2) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &answer);
      if (static_cast<long long>(static_cast<LRESULT>(answer)) != code) continue;
      found.left = x < found.left ? x : found.left;
      found.top = y < found.top ? y : found.top;
      found.right = x > found.right ? x : found.right;
      found.bottom = y > found.bottom ? y : found.bottom;
    }
  }
  if (found.left > found.right) return Reply::Fail("no point with that hit-test code");
  Reply reply;
  reply.fields.Num("x", (found.left + found.right) / 2)
      .Num("y", (found.top + found.bottom) / 2)
      .Rect("area", found);
  return reply;
}

// type text=HEX gap=MS
Reply Type(const Args& args) {
  TypeText(TextArg(args, "text"), static_cast<DWORD>(Number(args, "gap", 20)));
  return Reply();
}

// click x=X y=Y (screen), or click hwnd=H [x= y= in its client area; its centre when absent]
Reply ClickAt(const Args& args) {
  int x = static_cast<int>(Number(args, "x", 0)), y = static_cast<int>(Number(args, "y", 0));
  if (Has(args, "hwnd")) {
    HWND hwnd = HandleArg(args);
    RECT client{};
    if (!IsWindow(hwnd)) return Reply::Fail("no such window");
    GetClientRect(hwnd, &client);
    POINT p{Has(args, "x") ? x : client.right / 2, Has(args, "y") ? y : client.bottom / 2};
    ClientToScreen(hwnd, &p);
    x = p.x;
    y = p.y;
  }
  Click(x, y, args.count("button") && args.at("button") == "right",
        static_cast<DWORD>(Number(args, "hold", 60)));
  Reply r;
  r.fields.Num("x", x).Num("y", y);
  return r;
}

// drag x=X y=Y tox=X toy=Y: the left button pressed at one screen point, moved in steps, released at the
// other.
Reply Drag(const Args& args) {
  const int x = static_cast<int>(Number(args, "x", 0)), y = static_cast<int>(Number(args, "y", 0));
  const int toX = static_cast<int>(Number(args, "tox", 0)), toY = static_cast<int>(Number(args, "toy", 0));
  MouseAt(x, y, 0);
  Sleep(30);
  MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
  Sleep(60);
  constexpr int kSteps = 10;
  for (int i = 1; i <= kSteps; ++i) {
    MouseAt(x + (toX - x) * i / kSteps, y + (toY - y) * i / kSteps, 0);
    Sleep(20);
  }
  Sleep(60);
  MouseAt(toX, toY, MOUSEEVENTF_LEFTUP);
  return Reply();
}

Reply ClipboardSet(const Args& args) {
  const std::string text = TextArg(args, "text");
  if (!PollUntil(2000, [] { return OpenClipboard(nullptr) != FALSE; })) return Reply::Fail("clipboard busy");
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  char* p = static_cast<char*>(GlobalLock(mem));
  memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  const bool set = SetClipboardData(CF_TEXT, mem) != nullptr;
  CloseClipboard();
  return set ? Reply() : Reply::Fail("SetClipboardData failed");
}

// send hwnd=H msg=N wparam=N lparam=N [post=1]
Reply SendMsg(const Args& args) {
  HWND hwnd = HandleArg(args);
  const UINT msg = static_cast<UINT>(Number(args, "msg", 0));
  const WPARAM wp = static_cast<WPARAM>(Number(args, "wparam", 0));
  const LPARAM lp = static_cast<LPARAM>(Number(args, "lparam", 0));
  Reply r;
  if (Number(args, "post", 0)) {
    r.fields.Bool("posted", PostMessageA(hwnd, msg, wp, lp));
    return r;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG,
                           static_cast<UINT>(Number(args, "timeout", 5000)), &result)) {
    return Reply::Fail("SendMessageTimeout failed");
  }
  r.fields.Num("result", static_cast<long long>(result));
  return r;
}

// box title=HEX pid=N timeout=MS: a dialog box (class #32770) with that title; its message text (the
// static control 0xFFFF of a message box) and its buttons.
Reply Box(const Args& args) {
  Match m = MatchArgs(args);
  m.byClass = true;
  m.className = "#32770";
  HWND box = nullptr;
  if (!PollUntil(Number(args, "timeout", 0), [&] {
        auto all = TopLevelWindows(m);
        box = all.empty() ? nullptr : all.front();
        return box && IsWindowVisible(box);
      })) {
    return Reply::Fail("timeout: no such box");
  }
  std::vector<Json> buttons;
  for (HWND c : Children(box)) {
    if (ClassOf(c) == "Button" && IsWindowVisible(c)) {
      Json b;
      b.Num("hwnd", HandleNumber(c)).Num("id", GetDlgCtrlID(c)).Hex("text", TextOf(c));
      buttons.push_back(b);
    }
  }
  Reply r;
  r.fields = Describe(box);
  HWND message = GetDlgItem(box, 0xFFFF);
  r.fields.Hex("message", message ? TextOf(message) : std::string()).List("buttons", buttons);
  return r;
}

// answer hwnd=BOX id=N [how=click|key]: presses a button of a box as a user would, then waits until the
// box is gone (timeout=MS).
Reply Answer(const Args& args) {
  HWND box = HandleArg(args);
  HWND button = GetDlgItem(box, static_cast<int>(Number(args, "id", IDOK)));
  if (!button) return Reply::Fail("no such button");
  const std::string how = args.count("how") ? args.at("how") : "click";
  if (how == "click") {
    RECT r{};
    GetWindowRect(button, &r);
    Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, false, 60);
  } else {
    SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  }
  if (!PollUntil(Number(args, "timeout", 5000), [&] { return !IsWindow(box); })) {
    return Reply::Fail("box still open");
  }
  return Reply();
}

Reply Other(const Args&) {
  if (!g_other) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, OtherThread, ready, 0, nullptr));
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }
  if (!g_other) return Reply::Fail("could not create the window");
  SetForegroundWindow(g_other);
  Reply r;
  r.fields = Describe(g_other);
  return r;
}

Reply Activate(const Args& args) {
  HWND hwnd = HandleArg(args);
  Reply r;
  r.fields.Bool("done", SetForegroundWindow(hwnd));
  return r;
}

Reply LocalTime(const Args&) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  Reply r;
  r.fields.Num("year", t.wYear)
      .Num("month", t.wMonth)
      .Num("day", t.wDay)
      .Num("hour", t.wHour)
      .Num("minute", t.wMinute)
      .Num("second", t.wSecond)
      .Num("ms", t.wMilliseconds);
  return r;
}

// Committed private memory of a process (what Windows calls its private bytes), summed over its
// address space region by region.
long long PrivateBytes(HANDLE process) {
  long long total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (uintptr_t address = 0;
       VirtualQueryEx(process, reinterpret_cast<void*>(address), &region, sizeof region);) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      total += static_cast<long long>(region.RegionSize);
    const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

// Live GDI objects of a process by type, read from its GDI handle table. GetGuiResources answers 0 under
// Wine, but Wine keeps each process's GDI handles in a table whose address the process environment block
// holds (GdiSharedHandleTable, offset 0x94 in a 32-bit PEB); an entry whose type byte is 0 is free.
// Stock objects are counted too; they do not change while a process runs. Empty when there is no table.
std::map<int, long long> GdiObjects(HANDLE process) {
  using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  struct BasicInformation {
    LONG exitStatus;
    void* peb;
    ULONG_PTR affinity, basePriority, pid, parentPid;
  } basic{};
  std::map<int, long long> types;
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0 || !basic.peb) return types;
  uint32_t table = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(basic.peb) + 0x94, &table, sizeof table, nullptr) ||
      !table) {
    return types;
  }
  struct Entry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type, flags;
    uint64_t userPointer;
  };
  static_assert(sizeof(Entry) == 24);
  std::vector<Entry> entries(0x10000);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<uintptr_t>(table)), entries.data(),
                         entries.size() * sizeof(Entry), nullptr)) {
    return types;
  }
  for (const Entry& e : entries) {
    if (e.type) ++types[e.type];
  }
  return types;
}

// Kernel handles a process holds, from the system's handle list (GetProcessHandleCount answers 0 for
// another process under Wine); -1 when the list cannot be read.
long long KernelHandles(DWORD pid) {
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QuerySystem>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  struct Entry {
    ULONG ownerPid;
    BYTE objectType, flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
  };
  constexpr int kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<char> buffer(1 << 20);
  LONG status = kInfoLengthMismatch;
  for (int tries = 0; query && status == kInfoLengthMismatch && tries < 5; ++tries) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
  }
  if (!query || status != 0) return -1;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
  long long held = 0;
  for (ULONG i = 0; i < count; ++i) held += entries[i].ownerPid == pid;
  return held;
}

// Every window of a process: its top-level windows (hidden ones too), their descendants, and its
// message-only windows.
struct WindowTally {
  DWORD pid;
  long long windows;
};

BOOL CALLBACK TallyChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowTally*>(lp)->windows;
  return TRUE;
}

BOOL CALLBACK TallyTopLevel(HWND hwnd, LPARAM lp) {
  auto* tally = reinterpret_cast<WindowTally*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == tally->pid) {
    ++tally->windows;
    EnumChildWindows(hwnd, TallyChild, lp);
  }
  return TRUE;
}

long long WindowCount(DWORD pid) {
  WindowTally tally{pid, 0};
  EnumWindows(TallyTopLevel, reinterpret_cast<LPARAM>(&tally));
  for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
    TallyTopLevel(w, reinterpret_cast<LPARAM>(&tally));
  }
  return tally.windows;
}

// resources pid=N: the process's GUI object counts, memory and handles. GetGuiResources answers 0 under
// Wine; gdi_objects, gdi_types and windows count the same things another way.
Reply Resources(const Args& args) {
  const DWORD pid = static_cast<DWORD>(Number(args, "pid", 0));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return Reply::Fail("OpenProcess failed");
  PROCESS_MEMORY_COUNTERS mem{};
  mem.cb = sizeof mem;
  GetProcessMemoryInfo(process, &mem, sizeof mem);
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return static_cast<long long>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000);
  };
  const auto gdiTypes = GdiObjects(process);
  Json types;
  long long gdiObjects = 0;
  for (const auto& [type, n] : gdiTypes) {
    types.Num(std::to_string(type), n);
    gdiObjects += n;
  }
  Reply r;
  r.fields.Num("gdi", GetGuiResources(process, GR_GDIOBJECTS))
      .Num("user", GetGuiResources(process, GR_USEROBJECTS))
      .Num("gdi_objects", gdiTypes.empty() ? -1 : gdiObjects)
      .Obj("gdi_types", types)
      .Num("windows", WindowCount(pid))
      .Num("kernel_handles", KernelHandles(pid))
      .Num("private", PrivateBytes(process))
      .Num("working_set", static_cast<long long>(mem.WorkingSetSize))
      .Num("peak_working_set", static_cast<long long>(mem.PeakWorkingSetSize))
      .Num("pagefile", static_cast<long long>(mem.PagefileUsage))
      .Num("handles", handles)
      .Num("kernel_ms", ms(kernel))
      .Num("user_ms", ms(user));
  CloseHandle(process);
  return r;
}

Reply SleepFor(const Args& args) {
  Sleep(static_cast<DWORD>(Number(args, "ms", 0)));
  return Reply();
}

// ---- the command loop ------------------------------------------------------------------------------

Args ParseArgs(const std::string& line, std::string& name) {
  Args args;
  size_t pos = 0;
  bool first = true;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    size_t end = line.find(' ', pos);
    if (end == std::string::npos) end = line.size();
    std::string word = line.substr(pos, end - pos);
    pos = end;
    if (word.empty()) continue;
    if (first) {
      name = word;
      first = false;
      continue;
    }
    size_t eq = word.find('=');
    if (eq == std::string::npos) {
      args[word] = "";
    } else {
      args[word.substr(0, eq)] = word.substr(eq + 1);
    }
  }
  return args;
}

void WriteLine(const std::string& line) {
  std::string out = line + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

bool ReadLine(std::string& line) {
  static std::string pending;
  line.clear();
  for (;;) {
    size_t nl = pending.find('\n');
    if (nl != std::string::npos) {
      line = pending.substr(0, nl);
      pending.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) || got == 0) {
      return false;
    }
    pending.append(buffer, got);
  }
}

}  // namespace

int main() {
  const std::map<std::string, Reply (*)(const Args&)> commands = {
      {"ping", Ping},
      {"find", Find},
      {"windows", Windows},
      {"info", Info},
      {"children", ChildrenOf},
      {"wait", Wait},
      {"hit", Hit},
      {"press", Press},
      {"type", Type},
      {"click", ClickAt},
      {"drag", Drag},
      {"clipboard", ClipboardSet},
      {"send", SendMsg},
      {"box", Box},
      {"answer", Answer},
      {"other", Other},
      {"activate", Activate},
      {"time", LocalTime},
      {"resources", Resources},
      {"sleep", SleepFor},
  };
  std::string line;
  while (ReadLine(line)) {
    std::string name;
    Args args = ParseArgs(line, name);
    if (name.empty()) continue;
    if (name == "quit") break;
    auto it = commands.find(name);
    Reply reply = it == commands.end() ? Reply::Fail("unknown command " + name) : it->second(args);
    if (reply.ok) {
      WriteLine("{\"ok\":true,\"result\":" + reply.fields.Text() + "}");
    } else {
      WriteLine("{\"ok\":false,\"error\":\"" + reply.error + "\"}");
    }
  }
  return 0;
}
