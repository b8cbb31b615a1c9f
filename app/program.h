// The program entry, the single-instance search, the exit question and the main window's event wiring.
#pragma once

#include "platform/form.h"
#include "scheduler/scheduler.h"

// Handle of the first top-level window whose class name or title equals `title` byte for byte, or -1.
WindowHandle FindRunningInstance(SystemServices& system, const Text& title);

class Program : private WindowEvents {
 public:
  explicit Program(Platform& platform) : platform_(platform), scheduler_(platform, platform) {}

  // The program entry, after the platform's start-up: returns the exit code when the window is gone
  // (or at once after the notice when another copy runs). The caller then ends the program.
  int Run();
  // The exit action: releases the program-wide values.
  void FreeGlobals() { scheduler_.globals().Free(); }
  // The exit question.
  void ConfirmExit();

  Scheduler& scheduler() { return scheduler_; }

 private:
  void Created() override;
  void Activated() override;
  void Hidden() override;
  bool CloseQuery() override;
  void Destroyed() override;
  void Clicked(Ctl button) override;
  std::optional<bool> LeftButtonDown(Ctl control, int x, int y, int keyFlags) override;
  void Tick(Ctl timer) override;

  Platform& platform_;
  Scheduler scheduler_;
};
