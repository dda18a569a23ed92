// The page starts of a book in its four layouts, worked out from its paragraphs and section starts
// in the order they are written. Cutting a long text into the device's lines takes a third of a text
// book's time, and a paragraph's lines depend on nothing but the paragraph: two threads cut batches
// of paragraphs, each its own batch, while the writer goes on converting and writing the text, and
// the lines of each batch are counted into pages in the order of the batches. A short book never
// starts the threads.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "text/LineBreaking.h"
#include "wolf/BookRecords.h"
#include "wolf/PageFlow.h"

namespace bookloom {

class PageTableBuilder {
 public:
  PageTableBuilder();
  ~PageTableBuilder();
  PageTableBuilder(const PageTableBuilder&) = delete;
  PageTableBuilder& operator=(const PageTableBuilder&) = delete;

  // A section (`newSection`) or a picture page inside one starts at that position of the book: a
  // page of its own in every layout.
  void AddSectionStart(uint32_t position, bool newSection);
  // A paragraph of Windows-1251 text, unescaped and without its line end; `plain` when escaping
  // leaves it as it is.
  void AddParagraph(std::string_view text, bool plain);

  // The page starts of everything added so far; waits for the line breaking, and raises what it
  // raised.
  const PageTable& Table();

 private:
  struct Step {
    enum class Kind : uint8_t { kParagraph, kSectionStart, kPictureStart };
    Kind kind;
    bool plain;
    uint32_t value;  // a paragraph's end in its batch's text, or a start's position
  };
  // Paragraphs one after another, each with its closing CR, and the steps that lay them out; once
  // cut, each layout's lines: for each paragraph their count, then their escaped lengths.
  struct Batch {
    std::string text;
    std::vector<Step> steps;
    std::array<std::vector<uint32_t>, 4> lines;
    bool cut = false;
  };

  void Submit();
  void StartCutters();
  void Cut();
  static void CutLines(Batch& batch, ParagraphBreaker& breaker);
  void CountPages(const Batch& batch);
  // Counts the pages of the batches cut at the front of the queue; under the lock.
  void CountCutBatches();

  PageTable table_{4};
  std::array<PageFlow, 4> flows_ = {PageFlow(kPageLayouts[0]), PageFlow(kPageLayouts[1]),
                                    PageFlow(kPageLayouts[2]), PageFlow(kPageLayouts[3])};
  std::array<int64_t, 4> pageBytes_{};  // the escaped bytes of each layout's current page
  ParagraphBreaker breaker_;            // for what the writer's thread cuts itself

  std::unique_ptr<Batch> filling_;  // the batch the writer adds to
  // Shared with the cutters, under the lock: the batches handed over and not yet counted, in order
  // (the first `taken_` of them taken by a cutter), those counted (kept for reuse), and what a cutter
  // raised.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Batch>> waiting_;
  size_t taken_ = 0;
  std::vector<std::unique_ptr<Batch>> spare_;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> cutters_;
  bool alone_ = false;  // no thread to be had: the writer's thread does all
};

}  // namespace bookloom
