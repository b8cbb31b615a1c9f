// A platform that passes every call of the program on to a simulated process and checks, at the moment of
// each call, the rules the program must keep whatever the user and the clock do:
//   - a power-off is requested only while a shutdown question is open, or as the very next call after
//     OK in one; OK is followed by that request at once, and a question left open past its waiting
//     time has requested it; after a cancel the schedule is checked again once the snooze has run out;
//   - a shutdown question opens only when the present time lies inside the interval the fields describe,
//     and never while another is open; a check of the schedule inside the interval opens one;
//   - a save writes each field's text as the field holds it (hour and minute already clamped), and the
//     fields then hold what loading the file gives; loading at start-up likewise;
//   - the simulated platform records no fatal call.
// The window events of the process pass through it as well, so the checks can bracket them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/sim/sim_process.h"
#include "platform/sim/sim_world.h"
#include "tests/soak/oracle.h"

namespace soak {

// What the checks counted, over every process.
struct Counts {
  int64_t questions = 0, powerOffs = 0, failedPowerOffs = 0, saves = 0, failedSaves = 0, loads = 0;
  int64_t scheduleChecks = 0, checksInside = 0, checksAmbiguous = 0, otherBoxes = 0;
};

class CheckedPlatform final : public Platform, private WindowEvents {
 public:
  // `fail` reports a broken rule and does not return.
  CheckedPlatform(SimWorld& world, SimProcess& sim, Counts& counts,
                  std::function<void(const std::string&)> fail);

  // The program's own view of the fields, read without the window services' checks.
  Fields CurrentFields() const;
  int OpenShutdownQuestions() const { return openQuestions_; }
  // Checks what must have happened by now, between calls: an open question past its waiting time has
  // requested the power-off, and a snooze that has run out has let the schedule be checked again.
  void CheckOverdue();

  // Window services.
  Text ReadText(Ctl control) override;
  Text ReadTag(Ctl control) override;
  void WriteText(Ctl editBox, const Text& text) override;
  void WritePeriod(Ctl timer, int32_t milliseconds) override;
  bool IsVisible() override;
  void SetVisible(bool visible) override;
  void RequestWindowDestroy() override;
  bool LoadWindow(const FormSpec& form, WindowEvents& events) override;
  void RunMessageLoop() override;

  // System services.
  int32_t ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) override;
  bool ShutDownSystem(int32_t kind, bool force) override;
  void OpenWebAddress(const Text& address) override;
  Text GetRunDirectory() override;
  Text ReadProfileText(const Text& file, const Text& section, const Text& key) override;
  bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) override;
  CivilTime LocalTime() override;
  int32_t AsyncKeyState(int32_t virtualKey) override;
  uintptr_t SetThreadTimer(int32_t period, std::function<void()> routine) override;
  void KillThreadTimer(uintptr_t id) override;
  WindowHandle FirstTopLevelWindow() override;
  WindowHandle NextTopLevelWindow(WindowHandle window) override;
  Text WindowClassName(WindowHandle window) override;
  Text WindowTitle(WindowHandle window) override;
  void EndProgram(int32_t exitCode) override;
  void SetExitAction(std::function<void()> routine) override;

 private:
  // Window events, on their way from the process to the program.
  void Created() override;
  void Activated() override;
  void Hidden() override;
  bool CloseQuery() override;
  void Destroyed() override;
  void Clicked(Ctl button) override;
  std::optional<bool> LeftButtonDown(Ctl control, int x, int y, int keyFlags) override;
  void Tick(Ctl timer) override;

  // Every call but the power-off request: after OK in a shutdown question, the power-off must come first.
  void Call();
  void Check(bool ok, const std::string& what);
  int SecondOfDay() const;
  // The fields that loading the present settings file gives, from `before`.
  Fields LoadedFrom(const Fields& before) const;
  void CheckNoFatal();

  SimWorld& world_;
  SimProcess& sim_;
  Counts& counts_;
  std::function<void(const std::string&)> fail_;
  WindowEvents* program_ = nullptr;
  Text configPath_;

  int openQuestions_ = 0;
  bool afterOk_ = false;
  // The outermost open question: when it opened, its waiting time, whether it asked for the power-off.
  int64_t questionOpenedAt_ = 0;
  int64_t questionWait_ = 0;
  bool questionPoweredOff_ = false;
  // The last cancel, while no question has opened since: when, and the snooze span then.
  bool snoozing_ = false;
  int64_t cancelledAt_ = 0, snoozeMinutes_ = 0;
  int64_t lastCheckAt_ = -1;  // virtual time of the last schedule check
  // A save in progress: which keys it wrote, and what.
  bool saving_ = false;
  int writes_ = 0, failedWrites_ = 0;
  Fields written_;
  size_t recordsSeen_ = 0;
};

}  // namespace soak
