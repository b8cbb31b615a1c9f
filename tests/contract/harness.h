// One platform under test and the means to let time pass on it. The contract suite runs the same test
// bodies against the simulated platform (virtual time, exact) and the Windows one (real time under
// Wine, with slack).
#pragma once

#include <memory>

#include "platform/form.h"

class ContractHarness {
 public:
  virtual ~ContractHarness() = default;

  virtual Platform& platform() = 0;
  // Milliseconds on the clock the timers run by, from an arbitrary start.
  virtual double NowMs() = 0;
  // Lets `ms` milliseconds pass with the thread's messages (or the world's events) running.
  virtual void Pass(int ms) = 0;
  // How far a measured time may stray from the expected one: 0 in virtual time.
  virtual double SlackMs() const = 0;

  // The next question box with this title is answered `afterMs` after it opens, with OK (result 0) or
  // Cancel (result 1).
  virtual void AnswerBox(const Text& title, int afterMs, int32_t result) = 0;
  // Runs RunMessageLoop; true when it returned by itself within `limitMs`, false when it had to be
  // stopped.
  virtual bool RunLoopWithin(int limitMs) = 0;
  // The close box is pressed.
  virtual void PressCloseBox() = 0;
  // The system's end-session query; true when the window allowed it.
  virtual bool QueryEndSession() = 0;
  // Makes another top-level window the active one; false when the harness cannot.
  virtual bool ActivateAnotherWindow() = 0;
};

std::unique_ptr<ContractHarness> MakeHarness();
