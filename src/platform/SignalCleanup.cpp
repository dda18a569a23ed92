#include "platform/SignalCleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "platform/Utf.h"

namespace bookloom {

namespace {

// One registered name. A slot is claimed (kFree to kWriting), its name written, and then marked
// kRegistered; the handler reads only names marked so, and never sees half a name.
enum SlotState : int { kFree, kWriting, kRegistered };
struct Slot {
  std::atomic<int> state{kFree};
  char name[4096];
};
static_assert(std::atomic<int>::is_always_lock_free);

// Shared by every thread that writes a temporary file and by the signal handler.
Slot slots[256];

extern "C" void OnTerminatingSignal(int signal) {
  for (Slot& slot : slots)
    if (slot.state.load() == kRegistered) unlink(slot.name);
  _exit(128 + signal);
}

}  // namespace

void RemoveTemporaryFileOnSignal() {
  struct sigaction action {};
  action.sa_handler = OnTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

TemporaryFileRegistration::TemporaryFileRegistration(const std::u16string& fileName) : slot_(-1) {
  const std::string name = Utf16ToUtf8(fileName);
  if (name.size() >= sizeof slots[0].name) return;  // no file system takes such a path
  for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kWriting)) continue;
    std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
    slots[i].state.store(kRegistered);
    slot_ = i;
    return;
  }
}

TemporaryFileRegistration::~TemporaryFileRegistration() {
  if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace bookloom
