#include "wolf/PageTableBuilder.h"

#include <system_error>

#include "wolf/BookFormat.h"

namespace bookloom {

namespace {

// Large enough that handing a batch over costs nothing beside its line breaking, small enough that
// the worker starts early and the writer's last wait is short.
constexpr size_t kBatchBytes = size_t{64} << 10;
// Batches handed over and not yet laid out, at most: the writer waits rather than keep a whole
// book's text.
constexpr size_t kMaxWaiting = 8;

}  // namespace

PageTableBuilder::PageTableBuilder() = default;

PageTableBuilder::~PageTableBuilder() {
  if (!worker_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void PageTableBuilder::AddSectionStart(uint32_t position, bool newSection) {
  filling_.steps.push_back(
      {newSection ? Step::Kind::kSectionStart : Step::Kind::kPictureStart, false, position});
}

void PageTableBuilder::AddParagraph(std::string_view text, bool plain) {
  filling_.text.append(text);
  filling_.text += '\r';
  filling_.steps.push_back({Step::Kind::kParagraph, plain, static_cast<uint32_t>(filling_.text.size())});
  if (filling_.text.size() >= kBatchBytes) Submit();
}

void PageTableBuilder::Submit() {
  if (!worker_.joinable()) {
    try {
      worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
      // No thread to be had: the writer's own thread lays the batch out.
      LayOut(filling_);
      filling_.text.clear();
      filling_.steps.clear();
      return;
    }
  }
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting || failure_; });
    waiting_.push_back(std::move(filling_));
    filling_ = {};
    if (!spare_.empty()) {
      filling_ = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  changed_.notify_all();
}

void PageTableBuilder::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;
    Batch batch = std::move(waiting_.front());
    waiting_.pop_front();
    busy_ = true;
    const bool failed = failure_ != nullptr;
    lock.unlock();
    std::exception_ptr failure;
    if (!failed) {
      try {
        LayOut(batch);
      } catch (...) {
        failure = std::current_exception();
      }
    }
    batch.text.clear();
    batch.steps.clear();
    lock.lock();
    if (failure) failure_ = failure;
    spare_.push_back(std::move(batch));
    busy_ = false;
    changed_.notify_all();
  }
}

const PageTable& PageTableBuilder::Table() {
  if (worker_.joinable()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
    if (failure_) std::rethrow_exception(failure_);
  }
  // The worker is idle: what is left is laid out here.
  LayOut(filling_);
  filling_.text.clear();
  filling_.steps.clear();
  return table_;
}

void PageTableBuilder::LayOut(const Batch& batch) {
  size_t from = 0;
  for (const Step& step : batch.steps) {
    if (step.kind != Step::Kind::kParagraph) {
      table_.AddSectionStart(step.value);
      if (step.kind == Step::Kind::kSectionStart)
        for (LayoutState& layout : layouts_) {
          layout.flow.StartSection();
          layout.pageBytes = kSectionOpen.size();
        }
      continue;
    }
    breaker_.Start(std::string_view(batch.text).substr(from, step.value - from));
    from = step.value;
    for (size_t i = 0; i < layouts_.size(); ++i) {
      LayoutState& layout = layouts_[i];
      PageList& pages = table_.Group(static_cast<int>(i));
      layout.flow.AddParagraph(breaker_, [&](std::string_view line, bool startsPage) {
        if (startsPage) {
          pages.AddRelative(static_cast<uint32_t>(layout.pageBytes));
          layout.pageBytes = 0;
        }
        // A plain paragraph's lines are as long escaped as they are.
        layout.pageBytes += step.plain ? line.size() : WolfEscapedLength(line);
      });
    }
  }
}

}  // namespace bookloom
