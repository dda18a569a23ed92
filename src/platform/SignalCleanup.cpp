#include "platform/SignalCleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "platform/Utf.h"

namespace bookloom {

namespace {

// The registered name, written while `registered` is false and read by the handler only while it is
// true, so that the handler never sees half a name.
char temporaryName[4096];
std::atomic<bool> registered{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnTerminatingSignal(int signal) {
  if (registered.load()) unlink(temporaryName);
  _exit(128 + signal);
}

}  // namespace

void RemoveTemporaryFileOnSignal() {
  struct sigaction action {};
  action.sa_handler = OnTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

void SetTemporaryFile(const std::u16string& fileName) {
  registered.store(false);
  const std::string name = Utf16ToUtf8(fileName);
  if (name.size() >= sizeof temporaryName) return;  // no file system takes such a path
  std::memcpy(temporaryName, name.c_str(), name.size() + 1);
  registered.store(true);
}

void ClearTemporaryFile() { registered.store(false); }

}  // namespace bookloom
