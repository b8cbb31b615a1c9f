#include "app/program.h"

#include "app/main_form.h"

WindowHandle FindRunningInstance(SystemServices& system, const Text& title) {
  for (WindowHandle window = system.FirstTopLevelWindow(); window != 0;
       window = system.NextTopLevelWindow(window)) {
    if (CompareText(system.WindowClassName(window), title) == 0) return window;
    if (CompareText(system.WindowTitle(window), title) == 0) return window;
  }
  return static_cast<WindowHandle>(-1);
}

int Program::Run() {
  scheduler_.globals().Free();
  platform_.SetExitAction([this] { FreeGlobals(); });
  if (FindRunningInstance(platform_, kMainWindowTitle) != static_cast<WindowHandle>(-1)) {
    platform_.ShowMessageBox("程序已经运行，按Ctrl+F12键激活窗口！", 48, std::nullopt);
    platform_.EndProgram(0);
    return 0;
  }
  platform_.LoadWindow(MainForm(), *this);
  platform_.RunMessageLoop();
  return 0;
}

void Program::ConfirmExit() {
  if (platform_.ShowMessageBox("即将关闭软件？", 49, Text("警告")) == kBoxOk) platform_.RequestWindowDestroy();
}

void Program::Created() {
  Globals& g = scheduler_.globals();
  g.configPath = JoinTexts({platform_.GetRunDirectory(), "\\配置.ini"});
  scheduler_.LoadSettings();
  g.showHideHotkey.keys = {kVkControl, kVkF12};
  g.showHideHotkey.action = [this](const Text& name) { scheduler_.ToggleMainWindow(name); };
  g.showHideHotkey.name = "tovi";
  scheduler_.RegisterHotkey(g.showHideHotkey);
  scheduler_.StartHotkeyPolling(0);
}

void Program::Activated() { platform_.WritePeriod(Ctl::时钟1, 0); }

void Program::Hidden() { platform_.WritePeriod(Ctl::时钟1, 1); }

bool Program::CloseQuery() {
  ConfirmExit();
  return false;
}

void Program::Destroyed() { scheduler_.RemoveHotkey(); }

void Program::Clicked(Ctl button) {
  if (button == Ctl::按钮1) scheduler_.SaveAndHide();
  if (button == Ctl::按钮2) ConfirmExit();
}

std::optional<bool> Program::LeftButtonDown(Ctl control, int, int, int) {
  if (control == Ctl::透明标签1) platform_.OpenWebAddress(ContactAddress());
  return std::nullopt;
}

void Program::Tick(Ctl timer) {
  if (timer == Ctl::时钟1) scheduler_.CheckSchedule();
  if (timer == Ctl::时钟2) scheduler_.CountdownTick();
  if (timer == Ctl::时钟3) scheduler_.SnoozeTick();
}
