// The Windows platform on its own, under Wine: the window as Windows sees it, the keyboard and mouse
// steps of the message loop, and the system services.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/module_path.h"
#include "platform/win32/scoped_win.h"

namespace {

bool CodePage936() { return GetACP() == 936; }

// ---------------------------------------------------------------------------------------------------
// The window

const FormSpec& KeyboardForm() {
  using K = ControlKind;
  static const FormSpec form{
      kMainWindowTemplateId,
      "Zentavo platform test",
      271,
      150,
      {
          {Ctl::编辑框1, K::kEdit, 27, 17, 20, 20, "", "时", true, true},
          {Ctl::标签1, K::kLabel, 55, 15, 12, 24, "时", ""},
          {Ctl::编辑框2, K::kEdit, 75, 17, 20, 20, "", "分", true, true},
          {Ctl::按钮1, K::kButton, 169, 11, 80, 32, "设 置/隐 藏", "", true, true, true},
          {Ctl::按钮2, K::kButton, 169, 67, 80, 32, "退出软件", "", true, true},
          {Ctl::透明标签1, K::kTransparentLabel, 187, 104, 72, 12, "打开程序目录", ""},
          {Ctl::标签6, K::kLabel, 0, 14, 80, 24, "2000年1月1日", "0秒", false},
          {Ctl::时钟1, K::kTimer, 128, 16, 26, 26, "", "", false, false, false, 1},
      },
      {Ctl::编辑框1, Ctl::按钮1, Ctl::按钮2, Ctl::编辑框2},
  };
  return form;
}

class EventLog final : public WindowEvents {
 public:
  std::vector<std::string> entries;
  std::optional<bool> leftButtonResult;

  void Created() override {}
  void Activated() override { entries.push_back("activated"); }
  void Hidden() override { entries.push_back("hidden"); }
  bool CloseQuery() override {
    entries.push_back("closequery");
    return false;
  }
  void Destroyed() override { entries.push_back("destroyed"); }
  void Clicked(Ctl button) override { entries.push_back("clicked " + Name(button)); }
  std::optional<bool> LeftButtonDown(Ctl control, int x, int y, int keyFlags) override {
    entries.push_back("leftbuttondown " + Name(control) + " " + std::to_string(x) + "," + std::to_string(y) +
                      " flags " + std::to_string(keyFlags));
    return leftButtonResult;
  }
  void Tick(Ctl) override {}

  static std::string Name(Ctl control) {
    switch (control) {
      case Ctl::按钮1:
        return "按钮1";
      case Ctl::按钮2:
        return "按钮2";
      case Ctl::标签1:
        return "标签1";
      case Ctl::透明标签1:
        return "透明标签1";
      default:
        return "other";
    }
  }
};

void CALLBACK QuitLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(0);
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform_.LoadWindow(KeyboardForm(), events_));
    platform_.WritePeriod(Ctl::时钟1, 0);
    events_.entries.clear();
  }

  HWND Child(Ctl control) { return platform_.ControlWindow(control); }

  // Runs the platform's own message loop for a while: that loop holds the keyboard and mouse steps.
  void RunLoop(int ms = 150) {
    SetTimer(nullptr, 0, static_cast<UINT>(ms), QuitLoop);
    platform_.RunMessageLoop();
  }

  void PressKey(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
    RunLoop();
  }

  Win32Platform platform_;
  EventLog events_;
};

TEST_F(Win32Window, WindowAndControlsAsWindowsSeesThem) {
  HWND window = platform_.window();
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 271);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 271) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 150) / 2);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
            static_cast<LONG>(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN));
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Zentavo platform test");

  HWND edit = Child(Ctl::编辑框1);
  const LONG editStyle = GetWindowLongA(edit, GWL_STYLE);
  // WS_BORDER is not among them: the edit box takes it out of its style and draws that border itself.
  const LONG editWanted = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
  EXPECT_EQ(editStyle & editWanted, editWanted);
  EXPECT_FALSE(editStyle & ES_NOHIDESEL);
  EXPECT_FALSE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "a thin border, no 3-D edge";
  EXPECT_GT(static_cast<DWORD>(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0)), 30000u)
      << "the edit box keeps the default limit of 30000";
  EXPECT_EQ(GetWindowLongA(Child(Ctl::按钮1), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(Child(Ctl::按钮2), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
  const LONG buttonWanted = BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP;
  EXPECT_EQ(GetWindowLongA(Child(Ctl::按钮2), GWL_STYLE) & buttonWanted, buttonWanted);
  EXPECT_TRUE(GetWindowLongA(Child(Ctl::透明标签1), GWL_EXSTYLE) & WS_EX_TRANSPARENT);

  struct Case {
    Ctl control;
    bool visible;
  } cases[] = {{Ctl::编辑框1, true},   {Ctl::标签1, true},  {Ctl::按钮2, true},
               {Ctl::透明标签1, true}, {Ctl::标签6, false}, {Ctl::时钟1, false}};
  const auto font = reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(IsWindowVisible(Child(cases[i].control)) != 0, cases[i].visible) << "case " << i;
    if (cases[i].control != Ctl::时钟1) {
      EXPECT_EQ(SendMessageA(Child(cases[i].control), WM_GETFONT, 0, 0), font) << "case " << i;
    }
  }
  RECT label;  // child rectangles are in the window's client coordinates
  GetWindowRect(Child(Ctl::标签1), &label);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&label), 2);
  EXPECT_EQ(label.left, 55);
  EXPECT_EQ(label.top, 15);
  EXPECT_EQ(label.right - label.left, 12);
  EXPECT_EQ(label.bottom - label.top, 24);
}

TEST_F(Win32Window, EditBoxesTakeOnlyDigitsMinusAndControlCharacters) {
  HWND edit = Child(Ctl::编辑框1);
  const WPARAM typed[] = {'a', '5', ' ', '-', 'x', 0xB0, 0xA1, '.', '7', '-'};
  for (WPARAM c : typed) PostMessageA(edit, WM_CHAR, c, 1);
  PostMessageA(edit, WM_IME_CHAR, 0xB0A1, 1);  // a Chinese character from an input method
  RunLoop();
  EXPECT_EQ(platform_.ReadText(Ctl::编辑框1), "5-7-");
  PostMessageA(edit, WM_CHAR, VK_BACK, 1);  // below 0x20: passes, and the edit box acts on it
  RunLoop();
  EXPECT_EQ(platform_.ReadText(Ctl::编辑框1), "5-7");
}

TEST_F(Win32Window, KeysTheWindowHandlesBeforeTheFocusedControl) {
  ASSERT_EQ(GetFocus(), Child(Ctl::编辑框1)) << "the first show focuses the first control of the tab order";

  PressKey(VK_RETURN);
  EXPECT_EQ(events_.entries, std::vector<std::string>{"clicked 按钮1"});
  EXPECT_EQ(platform_.ReadText(Ctl::编辑框1), "") << "Enter is consumed, not typed";

  SetFocus(Child(Ctl::按钮2));
  events_.entries.clear();
  PressKey(VK_RETURN);
  EXPECT_EQ(events_.entries, std::vector<std::string>{"clicked 按钮1"})
      << "Enter on 按钮2 presses the default button";
  EXPECT_EQ(GetFocus(), Child(Ctl::按钮2));

  events_.entries.clear();
  PressKey(VK_ESCAPE);
  EXPECT_EQ(events_.entries, std::vector<std::string>{"closequery"});
  EXPECT_TRUE(platform_.IsVisible());
}

TEST_F(Win32Window, TabAndShiftTabFollowTheTabOrderAndWrap) {
  const Ctl forward[] = {Ctl::按钮1, Ctl::按钮2, Ctl::编辑框2, Ctl::编辑框1};
  for (size_t i = 0; i < std::size(forward); ++i) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Child(forward[i])) << "Tab " << i;
  }
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  const Ctl backward[] = {Ctl::编辑框2, Ctl::按钮2};
  for (size_t i = 0; i < std::size(backward); ++i) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Child(backward[i])) << "Shift+Tab " << i;
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

TEST_F(Win32Window, FocusReturnsToTheLastFocusedControlOnReactivation) {
  SetFocus(Child(Ctl::编辑框2));
  platform_.SetVisible(false);
  EXPECT_NE(GetFocus(), Child(Ctl::编辑框2));
  platform_.SetVisible(true);
  EXPECT_EQ(GetFocus(), Child(Ctl::编辑框2));
}

TEST_F(Win32Window, LeftButtonDownIsRaisedBeforeDispatchAndFalseDropsThePress) {
  PostMessageA(Child(Ctl::透明标签1), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(5, 6));
  RunLoop();
  EXPECT_EQ(events_.entries, std::vector<std::string>{"leftbuttondown 透明标签1 5,6 flags 3"});

  struct Case {
    std::optional<bool> result;
    bool clicked;
  } cases[] = {{std::nullopt, true}, {true, true}, {false, false}};
  HWND button = Child(Ctl::按钮2);
  for (size_t i = 0; i < std::size(cases); ++i) {
    events_.entries.clear();
    events_.leftButtonResult = cases[i].result;
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    RunLoop();
    const bool clicked =
        std::find(events_.entries.begin(), events_.entries.end(), "clicked 按钮2") != events_.entries.end();
    EXPECT_EQ(clicked, cases[i].clicked) << "case " << i;
    ASSERT_FALSE(events_.entries.empty()) << "case " << i;
    EXPECT_EQ(events_.entries.front(), "leftbuttondown 按钮2 10,10 flags 0") << "case " << i;
  }
}

// ---------------------------------------------------------------------------------------------------
// Program path

TEST(Win32ModulePath, CutsAtTheLastRealBackslash) {
  if (!CodePage936()) GTEST_SKIP() << "needs code page 936";
  struct Case {
    const char* path;
    const char* directory;
    const char* fileName;
  } cases[] = {
      {"D:\\Tools\\app.exe", "D:\\Tools", "app.exe"},
      {"C:\\app.exe", "C:", "app.exe"},
      {"app.exe", "", "app.exe"},
      // 0x81 0x5C is one GBK character whose second byte is a backslash.
      {"C:\\x\x81\x5C"
       "a.exe",
       "C:",
       "x\x81\x5C"
       "a.exe"},
      {"C:\\程序\\关机\x81\x5C.exe", "C:\\程序", "关机\x81\x5C.exe"},
      {"C:\\a\x81", "C:", "a\x81"},  // a lead byte with nothing after it
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ModulePathParts parts = SplitModulePath(cases[i].path);
    EXPECT_EQ(parts.directory, cases[i].directory) << "case " << i;
    EXPECT_EQ(parts.fileName, cases[i].fileName) << "case " << i;
  }
  EXPECT_EQ(CurrentDirectoryFor("C:"), "C:\\");
  EXPECT_EQ(CurrentDirectoryFor("D:\\Tools"), "D:\\Tools");
}

TEST(Win32ModulePath, StartUpMakesTheRunDirectoryCurrent) {
  Win32Platform platform;
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, sizeof module);
  const Text directory = platform.GetRunDirectory();
  EXPECT_EQ(Text(module).rfind('\\'), directory.size());
  EXPECT_EQ(Text(module).substr(0, directory.size()), directory);
  char current[MAX_PATH];
  GetCurrentDirectoryA(sizeof current, current);
  EXPECT_EQ(Text(current), CurrentDirectoryFor(directory));
}

// ---------------------------------------------------------------------------------------------------
// Profile files

class Win32Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    char path[MAX_PATH];
    GetTempFileNameA(directory, "zen", 0, path);
    path_ = path;
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }

  void WriteBytes(const std::string& bytes) {
    FILE* file = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  std::string ReadBytes() {
    std::string bytes;
    FILE* file = std::fopen(path_.c_str(), "rb");
    if (!file) return bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
  }

  Text path_;
  Win32Platform platform_;
};

TEST_F(Win32Profile, ReadSkipsLeadingBlanksOfNamesAndReadsNothingForABlankName) {
  WriteBytes("[关机设置]\r\n小时=22\r\n分钟= 30 \r\n长=" + std::string(12000, '9') + "\r\n");
  struct Case {
    Text file, section, key;
    Text expected;
  } cases[] = {
      {path_, "关机设置", "小时", "22"},
      {path_, "关机设置", "分钟", "30"},  // the profile API trims the value
      {" \t" + path_, "\x01 关机设置", "  小时", "22"},
      {path_, "关机设置", "   ", ""},  // nothing left to look up
      {path_, "关机设置", "", ""},
      {path_, "  ", "小时", ""},
      {"", "关机设置", "小时", ""},
      {path_, "关机设置", "没有", ""},
      {path_ + ".missing", "关机设置", "小时", ""},
      {path_, "关机设置", "小时 ", "22"},  // trailing blanks are the API's business
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(platform_.ReadProfileText(cases[i].file, cases[i].section, cases[i].key), cases[i].expected)
        << "case " << i;
  EXPECT_EQ(platform_.ReadProfileText(path_, "关机设置", "长"), std::string(10239, '9'))
      << "a longer value is cut to the 10240-byte buffer";
}

TEST_F(Win32Profile, ValueCutInsideADoubleByteCharacterEndsAtItsZeroByte) {
  // The count the API returns can include a half character it did not copy; the text ends at the zero.
  std::string chinese;
  for (int i = 0; i < 6000; ++i) chinese += "中";
  WriteBytes("[关机设置]\r\n长=" + chinese + "\r\n");
  const Text value = platform_.ReadProfileText(path_, "关机设置", "长");
  EXPECT_EQ(value.find('\0'), Text::npos);
  EXPECT_EQ(value, chinese.substr(0, 10238));
}

TEST_F(Win32Profile, WriteOfAnEmptyValueLeavesKeyEquals) {
  DeleteFileA(path_.c_str());
  EXPECT_TRUE(platform_.WriteProfileText(path_, "关机设置", "小时", ""));
  EXPECT_TRUE(platform_.WriteProfileText(path_, "关机设置", "分钟", "30"));
  EXPECT_EQ(ReadBytes(), "[关机设置]\r\n小时=\r\n分钟=30\r\n");
  EXPECT_EQ(platform_.ReadProfileText(path_, "关机设置", "分钟"), "30");
}

// ---------------------------------------------------------------------------------------------------
// Question boxes

// What a helper thread saw of a question box before pressing one of its buttons.
struct BoxSeen {
  BoxSeen(const Text& title, int button) : title(title), button(button) {}

  Text title;
  int button;
  HWND watched = nullptr;  // a top-level window of the test thread
  bool found = false;
  Text text;
  bool topmost = false;
  bool watchedEnabled = true;

  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<BoxSeen*>(parameter);
    for (int waited = 0; waited < 20000 && !self->found; waited += 10) {
      HWND box = FindWindowA("#32770", self->title.c_str());
      if (box && IsWindowVisible(box)) {
        self->found = true;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message
        self->text = text;
        self->topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        self->watchedEnabled = IsWindowEnabled(self->watched) != 0;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(self->button, BN_CLICKED), 0);
      } else {
        Sleep(10);
      }
    }
    return 0;
  }
};

class Win32MessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    watched_ = CreateWindowExA(0, "STATIC", "watched", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  }
  void TearDown() override { DestroyWindow(watched_); }

  // Shows the box and lets a helper thread press `button` in it.
  int32_t Show(BoxSeen& seen, const Text& text, int32_t style, const std::optional<Text>& title) {
    seen.watched = watched_;
    ScopedHandle thread(CreateThread(nullptr, 0, BoxSeen::Run, &seen, 0, nullptr));
    const int32_t result = platform_.ShowMessageBox(text, style, title);
    WaitForSingleObject(thread.get(), 30000);
    return result;
  }

  Win32Platform platform_;
  HWND watched_ = nullptr;
};

TEST_F(Win32MessageBox, ResultsMapFromTheButtonPressed) {
  struct Case {
    int32_t style;
    int button;
    int32_t expected;
  } cases[] = {
      {MB_OK, IDOK, 0},
      {MB_OKCANCEL, IDCANCEL, 1},
      {MB_ABORTRETRYIGNORE, IDABORT, 2},
      {MB_ABORTRETRYIGNORE, IDRETRY, 3},
      {MB_ABORTRETRYIGNORE, IDIGNORE, 4},
      {MB_YESNOCANCEL, IDYES, 5},
      {MB_YESNOCANCEL, IDNO, 6},
      {MB_OKCANCEL, IDOK, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    BoxSeen seen{"结果", cases[i].button};
    EXPECT_EQ(Show(seen, "按一个键", cases[i].style, Text("结果")), cases[i].expected) << "case " << i;
    EXPECT_TRUE(seen.found) << "case " << i;
  }
}

TEST_F(Win32MessageBox, DefaultTitleTextAndTaskModality) {
  BoxSeen seen{"信息：", IDOK};
  EXPECT_EQ(Show(seen, "程序已经运行，按Ctrl+F12键激活窗口！", 48, std::nullopt), 0);
  ASSERT_TRUE(seen.found) << "no box titled 信息：";
  EXPECT_EQ(seen.text, "程序已经运行，按Ctrl+F12键激活窗口！");
  EXPECT_FALSE(seen.watchedEnabled) << "MB_TASKMODAL disables the thread's windows while the box is open";
  EXPECT_FALSE(seen.topmost);
  EXPECT_TRUE(IsWindowEnabled(watched_));

  BoxSeen empty{"空", IDOK};
  Show(empty, "", 0, Text("空"));
  ASSERT_TRUE(empty.found);
  EXPECT_EQ(empty.text, "");
}

TEST_F(Win32MessageBox, SystemModalStyleIsPassedUnchanged) {
  BoxSeen seen{"系统", IDCANCEL};
  EXPECT_EQ(Show(seen, "系统模态", MB_SYSTEMMODAL | MB_OKCANCEL | MB_ICONEXCLAMATION, Text("系统")), 1);
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.topmost) << "a system-modal box stays on top";
  EXPECT_TRUE(seen.watchedEnabled) << "without MB_TASKMODAL no window of the thread is disabled";
}

// ---------------------------------------------------------------------------------------------------
// Thread timers, top-level windows, the end

void PumpFor(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - GetTickCount(), QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

TEST(Win32ThreadTimer, TicksAtTheSystemMinimumAndStopsWhenKilled) {
  Win32Platform platform;
  int ticks = 0;
  const uintptr_t id = platform.SetThreadTimer(0, [&] { ++ticks; });
  ASSERT_NE(id, 0u);
  PumpFor(500);
  EXPECT_GE(ticks, 10) << "about 100 ticks a second";
  EXPECT_LE(ticks, 80);
  platform.KillThreadTimer(id);
  const int atKill = ticks;
  PumpFor(200);
  EXPECT_EQ(ticks, atKill);

  // A routine may kill its own timer.
  int own = 0;
  uintptr_t self = 0;
  self = platform.SetThreadTimer(10, [&] {
    if (++own == 3) platform.KillThreadTimer(self);
  });
  PumpFor(400);
  EXPECT_EQ(own, 3);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32TopLevelWindows, ListedInZOrderWithNamesCutTo254Bytes) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Zentavo.ListTest";
  RegisterClassA(&wc);
  const std::string longTitle(300, 'T');
  HWND hidden = CreateWindowExA(0, wc.lpszClassName, longTitle.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hidden, nullptr);
  Win32Platform platform;
  bool found = false;
  for (WindowHandle w = platform.FirstTopLevelWindow(); w != 0; w = platform.NextTopLevelWindow(w)) {
    if (reinterpret_cast<HWND>(w) != hidden) continue;
    found = true;
    EXPECT_EQ(platform.WindowClassName(w), "Zentavo.ListTest");
    EXPECT_EQ(platform.WindowTitle(w), std::string(254, 'T'));
  }
  EXPECT_TRUE(found) << "a hidden top-level window is listed too";
  DestroyWindow(hidden);
}

#if GTEST_HAS_DEATH_TEST
TEST(Win32EndDeathTest, EndProgramRunsTheExitActionThenEndsWithTheCode) {
  EXPECT_EXIT(
      {
        Win32Platform platform;
        platform.SetExitAction([] { std::fputs("first action\n", stderr); });
        platform.SetExitAction([] {
          std::fputs("exit action ran\n", stderr);
          std::fflush(stderr);
        });
        platform.EndProgram(7);
      },
      ::testing::ExitedWithCode(7), "^exit action ran\n$");
}

TEST(Win32EndDeathTest, AWindowServiceWithoutAWindowEndsAtOnceWithoutTheExitAction) {
  // The exit action would end with 42.
  EXPECT_EXIT(
      {
        Win32Platform platform;
        platform.SetExitAction([] { ExitProcess(42); });
        platform.IsVisible();
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EXIT(
      {
        Win32Platform platform;
        EventLog events;
        platform.LoadWindow(KeyboardForm(), events);
        platform.SetExitAction([] { ExitProcess(42); });
        platform.WritePeriod(Ctl::时钟3, 5);  // not a control of this window
      },
      ::testing::ExitedWithCode(3), "");
}
#endif

}  // namespace
