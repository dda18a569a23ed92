// The page starts of a book in its four layouts, worked out from its paragraphs and section starts
// in the order they are written. Cutting a long text into the device's lines takes a third of a text
// book's time: it runs on a second thread, a batch of paragraphs at a time, while the writer goes on
// converting and writing the text. A short book never starts the thread.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
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
  // Paragraphs one after another, each with its closing CR, and the steps that lay them out.
  struct Batch {
    std::string text;
    std::vector<Step> steps;
  };

  void Submit();
  void Work();
  void LayOut(const Batch& batch);

  PageTable table_{4};
  struct LayoutState {
    PageFlow flow;
    int64_t pageBytes = 0;
  };
  std::array<LayoutState, 4> layouts_ = {{{PageFlow(kPageLayouts[0])},
                                          {PageFlow(kPageLayouts[1])},
                                          {PageFlow(kPageLayouts[2])},
                                          {PageFlow(kPageLayouts[3])}}};
  ParagraphBreaker breaker_;

  Batch filling_;  // the batch the writer adds to
  // Shared with the worker, under the lock: the batches waiting, those laid out (kept for reuse), and
  // what the worker raised.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Batch> waiting_;
  std::vector<Batch> spare_;
  bool busy_ = false;  // the worker is laying out a batch taken from waiting_
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread worker_;
};

}  // namespace bookloom
