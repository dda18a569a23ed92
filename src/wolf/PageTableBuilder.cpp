#include "wolf/PageTableBuilder.h"

#include <system_error>

#include "wolf/BookFormat.h"
#include "wolf/BookRecords.h"

namespace bookloom {

namespace {

// Large enough that handing a batch over costs nothing beside its line breaking, small enough that
// the cutters start early and the writer's last wait is short.
constexpr size_t kBatchBytes = size_t{64} << 10;
// Batches handed over and not yet counted, at most: the writer waits rather than keep a whole book's
// text.
constexpr size_t kMaxWaiting = 8;
constexpr size_t kCutters = 2;

}  // namespace

PageTableBuilder::PageTableBuilder() : filling_(std::make_unique<Batch>()) {}

PageTableBuilder::~PageTableBuilder() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& cutter : cutters_) cutter.join();
}

void PageTableBuilder::AddSectionStart(uint32_t position, bool newSection) {
  filling_->steps.push_back(
      {newSection ? Step::Kind::kSectionStart : Step::Kind::kPictureStart, false, position});
}

void PageTableBuilder::AddParagraph(std::string_view text, bool plain) {
  filling_->text.append(text);
  filling_->text += '\r';
  filling_->steps.push_back({Step::Kind::kParagraph, plain, static_cast<uint32_t>(filling_->text.size())});
  if (filling_->text.size() >= kBatchBytes) Submit();
}

void PageTableBuilder::StartCutters() {
  try {
    while (cutters_.size() < kCutters) cutters_.emplace_back([this] { Cut(); });
  } catch (const std::system_error&) {
    // No thread to be had: one cutter does, and without any the writer's thread does all.
    alone_ = cutters_.empty();
  }
}

void PageTableBuilder::Submit() {
  if (cutters_.empty() && !alone_) StartCutters();
  if (alone_) {
    CutLines(*filling_, breaker_);
    CountPages(*filling_);
    filling_->text.clear();
    filling_->steps.clear();
    return;
  }
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting || failure_; });
    waiting_.push_back(std::move(filling_));
    if (spare_.empty()) {
      filling_ = std::make_unique<Batch>();
    } else {
      filling_ = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  changed_.notify_all();
}

void PageTableBuilder::Cut() {
  ParagraphBreaker breaker;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || taken_ < waiting_.size(); });
    if (stopping_) return;
    // A reference into the queue stays valid while other batches come and go.
    Batch& batch = *waiting_[taken_++];
    const bool failed = failure_ != nullptr;
    lock.unlock();
    std::exception_ptr failure;
    if (!failed) {
      try {
        CutLines(batch, breaker);
      } catch (...) {
        failure = std::current_exception();
      }
    }
    lock.lock();
    if (failure && !failure_) failure_ = failure;
    batch.cut = true;
    CountCutBatches();
    changed_.notify_all();
  }
}

void PageTableBuilder::CountCutBatches() {
  while (!waiting_.empty() && waiting_.front()->cut) {
    std::unique_ptr<Batch> batch = std::move(waiting_.front());
    waiting_.pop_front();
    --taken_;
    if (!failure_) CountPages(*batch);
    batch->text.clear();
    batch->steps.clear();
    batch->cut = false;
    spare_.push_back(std::move(batch));
  }
}

const PageTable& PageTableBuilder::Table() {
  if (!cutters_.empty()) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty(); });
    if (failure_) std::rethrow_exception(failure_);
  }
  // The cutters are idle: what is left is done here.
  CutLines(*filling_, breaker_);
  CountPages(*filling_);
  filling_->text.clear();
  filling_->steps.clear();
  return table_;
}

// Each paragraph's lines in each layout, as their count and then their escaped lengths.
void PageTableBuilder::CutLines(Batch& batch, ParagraphBreaker& breaker) {
  for (std::vector<uint32_t>& lines : batch.lines) lines.clear();
  // The escaped lengths of the beginnings of a paragraph that has escaped bytes: a line's escaped
  // length is a difference, however many layouts cut it.
  std::vector<uint32_t> escapedBefore;
  size_t from = 0;
  for (const Step& step : batch.steps) {
    if (step.kind != Step::Kind::kParagraph) continue;
    const std::string_view paragraph = std::string_view(batch.text).substr(from, step.value - from);
    from = step.value;
    breaker.Start(paragraph);
    if (!step.plain) SumEscapedLengths(paragraph, escapedBefore);
    for (size_t i = 0; i < kPageLayouts.size(); ++i) {
      std::vector<uint32_t>& lines = batch.lines[i];
      const size_t countAt = lines.size();
      lines.push_back(0);
      PageFlow::ForEachLine(breaker, kPageLayouts[i], [&](std::string_view line) {
        // A plain paragraph's lines are as long escaped as they are.
        const size_t start = static_cast<size_t>(line.data() - paragraph.data());
        lines.push_back(step.plain ? static_cast<uint32_t>(line.size())
                                   : escapedBefore[start + line.size()] - escapedBefore[start]);
      });
      lines[countAt] = static_cast<uint32_t>(lines.size() - countAt - 1);
    }
  }
}

void PageTableBuilder::CountPages(const Batch& batch) {
  std::array<size_t, 4> next{};  // in each layout's lines
  for (const Step& step : batch.steps) {
    if (step.kind != Step::Kind::kParagraph) {
      table_.AddSectionStart(step.value);
      if (step.kind == Step::Kind::kSectionStart)
        for (size_t i = 0; i < flows_.size(); ++i) {
          flows_[i].StartSection();
          pageBytes_[i] = static_cast<int64_t>(kSectionOpen.size());
        }
      continue;
    }
    for (size_t i = 0; i < flows_.size(); ++i) {
      const std::vector<uint32_t>& lines = batch.lines[i];
      PageList& pages = table_.Group(static_cast<int>(i));
      for (uint32_t count = lines[next[i]++]; count > 0; --count) {
        if (flows_[i].AddLine()) {
          pages.AddRelative(static_cast<uint32_t>(pageBytes_[i]));
          pageBytes_[i] = 0;
        }
        pageBytes_[i] += lines[next[i]++];
      }
    }
  }
}

}  // namespace bookloom
