// GCC 12's win32 thread model has no std::mutex, which gtest's Notification uses on Windows.
// This stands in for it with a Win32 event.
#pragma once
#define GTEST_HAS_NOTIFICATION_ 1
#include <windows.h>
namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }
 private:
  HANDLE event_;
};
}  // namespace testing::internal

