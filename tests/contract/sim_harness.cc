// The contract's harness for the simulated platform: virtual time, exact.
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_world.h"
#include "tests/contract/harness.h"

namespace {

class SimHarness final : public ContractHarness {
 public:
  Platform& platform() override { return process_; }
  double NowMs() override { return static_cast<double>(world_.Now()); }
  void Pass(int ms) override { world_.RunFor(ms); }
  double SlackMs() const override { return 0; }

  void AnswerBox(const Text&, int afterMs, int32_t result) override {
    world_.ScriptAnswer(result == 0 ? BoxAnswer::kOk : BoxAnswer::kCancel, afterMs);
  }

  bool RunLoopWithin(int limitMs) override {
    world_.HaltAfter(world_.Now() + limitMs);
    process_.RunMessageLoop();
    world_.HaltAfter(kSimNever);
    return !world_.Halted();
  }

  void PressCloseBox() override { process_.UserClose(); }
  bool QueryEndSession() override { return process_.QueryEndSession(); }
  bool ActivateAnotherWindow() override {
    process_.LoseActivation();
    return true;
  }

 private:
  SimWorld world_;
  SimProcess& process_ = world_.NewProcess();
};

}  // namespace

std::unique_ptr<ContractHarness> MakeHarness() { return std::make_unique<SimHarness>(); }
