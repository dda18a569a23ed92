#include "documents/TextLayer.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>

#include "text/Unwrapping.h"

namespace bookloom {

namespace {

// A running header or footer is looked for among the lines in this share of the page's height at its
// top and at its bottom.
constexpr double kRunningZone = 0.15;
// Text this much larger than the body's is a heading; this much smaller at a page's foot a footnote.
constexpr double kHeadingScale = 1.15;
constexpr double kFootnoteScale = 0.88;
// A heading is a short line.
constexpr size_t kLongestHeading = 120;
// A page has a text layer when it holds this many characters.
constexpr size_t kPageTextMinimum = 100;

// A font size in half points, so that sizes that differ by rounding count as one.
int SizeKey(double size) { return static_cast<int>(std::lround(size * 2)); }

bool Overlaps(double a0, double a1, double b0, double b1) { return std::min(a1, b1) > std::max(a0, b0); }

bool SameLine(const LayerWord& before, const LayerWord& word) {
  const double height = std::min(before.box.Height(), word.box.Height());
  const double overlap = std::min(before.box.y1, word.box.y1) - std::max(before.box.y0, word.box.y0);
  return word.box.x0 >= before.box.x1 - 0.3 * height && overlap > 0.5 * height;
}

// The line of the words, its size and weight those of most of its characters.
LayerLine LineOf(const LayerWord* first, const LayerWord* last) {
  LayerLine line{.text = {}, .box = first->box};
  std::map<int, size_t> sizes;
  size_t boldChars = 0, chars = 0;
  for (const LayerWord* w = first; w != last; ++w) {
    if (w != first) {
      const LayerWord& before = w[-1];
      if (before.spaceAfter || w->box.x0 - before.box.x1 > 0.2 * w->box.Height()) line.text += u' ';
    }
    line.text += w->text;
    line.box = {std::min(line.box.x0, w->box.x0), std::min(line.box.y0, w->box.y0),
                std::max(line.box.x1, w->box.x1), std::max(line.box.y1, w->box.y1)};
    sizes[SizeKey(w->fontSize)] += w->text.size();
    chars += w->text.size();
    if (w->bold) boldChars += w->text.size();
  }
  const auto common = std::max_element(sizes.begin(), sizes.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
  line.fontSize = common->first / 2.0;
  line.bold = boldChars * 2 > chars;
  return line;
}

// The text of a line that is the same on every page it heads or foots: without its digits, blanks
// and punctuation, in small letters.
std::u16string RunningKey(std::u16string_view text) {
  std::u16string key;
  for (char16_t c : text) {
    if ((c >= u'0' && c <= u'9') || c == u' ' || c == u'.' || c == u'-' || c == u'|' || c == u'\u2013' ||
        c == u'/')
      continue;
    key += c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  }
  return key;
}

// A page number in roman numerals ("xii"), as the front matter of a book has them.
bool IsRomanNumber(std::u16string_view key) {
  return !key.empty() && key.size() <= 6 && key.find_first_not_of(u"ivxlcdm") == std::u16string_view::npos;
}

// Whether a line is its page's top line or foot line (or stands beside one), near the page's edge.
class PageEdges {
 public:
  explicit PageEdges(const LayerPage& page) : pageHeight_(page.height), top_(page.height) {
    for (const LayerLine& l : page.lines) {
      top_ = std::min(top_, l.box.y0);
      foot_ = std::max(foot_, l.box.y1);
    }
  }

  bool AtEdge(const LayerLine& line) const {
    const bool atTop = line.box.y0 <= top_ + 2 && line.box.y1 <= pageHeight_ * kRunningZone;
    const bool atFoot = line.box.y1 >= foot_ - 2 && line.box.y0 >= pageHeight_ * (1 - kRunningZone);
    return atTop || atFoot;
  }

 private:
  double pageHeight_, top_, foot_ = 0;
};

// The number a line begins or ends with ("Introduction 12", "12 | Chapter"), as a page's number in
// its running header stands.
std::optional<long> EdgeNumber(std::u16string_view text) {
  const auto digits = [](std::u16string_view t) {
    size_t n = 0;
    while (n < t.size() && n < 6 && t[n] >= u'0' && t[n] <= u'9') ++n;
    return n;
  };
  const auto value = [](std::u16string_view t) {
    long v = 0;
    for (char16_t c : t) v = v * 10 + (c - u'0');
    return v;
  };
  if (const size_t n = digits(text); n > 0 && n < 6) return value(text.substr(0, n));
  size_t start = text.size();
  while (start > 0 && text.size() - start < 6 && text[start - 1] >= u'0' && text[start - 1] <= u'9') --start;
  if (start < text.size() && text.size() - start < 6) return value(text.substr(start));
  return std::nullopt;
}

// Whether a line sits at the top (false) or the foot (true) of its page.
bool AtFoot(const LayerLine& line, const LayerPage& page) { return line.box.y0 >= page.height / 2; }

// The size of most of the document's characters.
double BodySize(const std::vector<LayerPage>& pages) {
  std::map<int, size_t> sizes;
  for (const LayerPage& page : pages)
    for (const LayerLine& line : page.lines) sizes[SizeKey(line.fontSize)] += line.text.size();
  if (sizes.empty()) return 10;
  return std::max_element(sizes.begin(), sizes.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
             ->first /
         2.0;
}

// Marks the running headers and footers and the page numbers of every page: a page's top or foot
// lines, no larger than the body's text, that are numbers alone or that come again, numbers aside, at
// the same edge of other pages.
std::vector<std::vector<bool>> RunningLines(const std::vector<LayerPage>& pages, double bodySize) {
  // The lines that may be running ones, page by page, how often each comes again at the same edge,
  // and how often a page's number stands at an edge as far from its index as on other pages.
  std::vector<std::vector<bool>> candidates(pages.size());
  std::map<std::pair<bool, std::u16string>, size_t> repeats;
  std::map<std::pair<bool, long>, size_t> numberings;
  for (size_t p = 0; p < pages.size(); ++p) {
    const PageEdges edges(pages[p]);
    for (const LayerLine& line : pages[p].lines) {
      const bool candidate = line.fontSize <= bodySize * kHeadingScale && edges.AtEdge(line);
      candidates[p].push_back(candidate);
      if (!candidate) continue;
      const bool foot = AtFoot(line, pages[p]);
      ++repeats[{foot, RunningKey(line.text)}];
      if (const auto number = EdgeNumber(line.text)) ++numberings[{foot, *number - static_cast<long>(p)}];
    }
  }
  const size_t enough = std::max<size_t>(2, pages.size() / 5);
  std::vector<std::vector<bool>> running(pages.size());
  for (size_t p = 0; p < pages.size(); ++p) {
    running[p].resize(pages[p].lines.size());
    for (size_t i = 0; i < pages[p].lines.size(); ++i) {
      if (!candidates[p][i]) continue;
      const LayerLine& line = pages[p].lines[i];
      const bool foot = AtFoot(line, pages[p]);
      const std::u16string key = RunningKey(line.text);
      const auto number = EdgeNumber(line.text);
      running[p][i] = key.empty() || IsRomanNumber(key) || repeats[{foot, key}] >= enough ||
                      (number && numberings[{foot, *number - static_cast<long>(p)}] >= enough);
    }
  }
  return running;
}

// The heading level of each size of text larger than the body's (the largest 1), and the level of
// bold lines of the body's size after them; at most 3.
class HeadingLevels {
 public:
  HeadingLevels(const std::vector<LayerPage>& pages, double bodySize) : bodySize_(bodySize) {
    for (const LayerPage& page : pages)
      for (const LayerLine& line : page.lines)
        if (IsLarge(line) && line.text.size() <= kLongestHeading) levels_[-SizeKey(line.fontSize)] = 0;
    int level = 0;
    for (auto& [size, l] : levels_) l = std::min(++level, 3);
    boldLevel_ = std::min(level + 1, 3);
  }

  // The line's heading level, 0 for a line of text.
  int Of(const LayerLine& line) const {
    if (line.text.size() > kLongestHeading) return 0;
    if (IsLarge(line)) return levels_.at(-SizeKey(line.fontSize));
    const bool ends =
        !line.text.empty() && std::u16string_view(u".,;").find(line.text.back()) != std::u16string_view::npos;
    return line.bold && !ends && std::abs(line.fontSize - bodySize_) < 0.5 ? boldLevel_ : 0;
  }

 private:
  bool IsLarge(const LayerLine& line) const { return line.fontSize >= bodySize_ * kHeadingScale; }

  double bodySize_;
  std::map<int, int> levels_;  // by the negated size key, largest first
  int boldLevel_ = 1;
};

// Letters and digits alone, in small letters: how an outline's title and a heading's line are
// compared.
std::u16string Comparable(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u' ' || c == u'.' || c == u',' || c == u':' || c == u'-' || c == u'\u2013' || c == u'\u2014')
      continue;
    out += c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  }
  return out;
}

// Whether a line is the heading an outline entry names: the line begins as the title does, or the
// title ends with the line (a title numbered where the heading is not).
bool IsHeadingOf(std::u16string_view title, const LayerLine& line) {
  const std::u16string text = Comparable(line.text);
  return !title.empty() && !text.empty() &&
         (text.starts_with(title.substr(0, 24)) || (text.size() >= 4 && title.ends_with(text)));
}

// The line of the page that an outline entry leads to: its heading at or below the entry's height,
// else the first line there, else the page's start; lines.size() for the page's end.
size_t LineOfEntry(const LayerOutlineEntry& entry, const LayerPage& page, const std::vector<bool>& skipped) {
  const std::u16string title = Comparable(entry.title);
  const double top = entry.top < 0 ? 0 : entry.top - 4;
  for (size_t i = 0; i < page.lines.size(); ++i)
    if (!skipped[i] && page.lines[i].box.y1 >= top && IsHeadingOf(title, page.lines[i])) return i;
  if (entry.top < 0) return 0;
  for (size_t i = 0; i < page.lines.size(); ++i)
    if (!skipped[i] && page.lines[i].box.y0 >= top) return i;
  return page.lines.size();
}

// A list item begins with a bullet or a dash and a blank.
bool IsListItem(std::u16string_view text) {
  if (text.empty()) return false;
  if (std::u16string_view(u"\u2022\u25E6\u25AA\u25CF\u2023\u2043").find(text[0]) != std::u16string_view::npos)
    return true;
  return text.size() > 1 && (text[0] == u'-' || text[0] == u'\u2013' || text[0] == u'\u2014') &&
         text[1] == u' ';
}

// A footnote begins with its mark: a number or a sign.
bool StartsWithNoteMark(std::u16string_view text) {
  return !text.empty() && ((text[0] >= u'0' && text[0] <= u'9') || text[0] == u'*' || text[0] == u'\u2020');
}

// The note's mark set off in brackets ("1 See" gives "[1] See"), so that it reads as a note away from
// its page.
std::u16string MarkedNote(std::u16string text) {
  size_t end = 0;
  while (end < text.size() && end < 4 && StartsWithNoteMark(std::u16string_view(text).substr(end))) ++end;
  if (end == 0) return u"[*] " + text;
  size_t rest = end;
  while (rest < text.size() && text[rest] == u' ') ++rest;
  return u"[" + text.substr(0, end) + u"] " + text.substr(rest);
}

// A Latin or Cyrillic letter, whatever the locale.
bool IsWordLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'\u0400' && c <= u'\u04FF');
}

// Whether a hyphen that ends a line belongs to a compound word, which keeps it: before a Russian
// particle ("какой-" "нибудь") or after a prefix ("кое-" "что").
bool KeepsHyphen(std::u16string_view line, std::u16string_view next) {
  if (!line.ends_with(u'-')) return false;
  for (std::u16string_view prefix : {u" кое-", u" Кое-"})
    if (line.ends_with(prefix) || line == prefix.substr(1)) return true;
  for (std::u16string_view particle : {u"нибудь", u"либо", u"то", u"ка", u"таки"}) {
    if (!next.starts_with(particle)) continue;
    const size_t after = particle.size();
    if (after == next.size() || !IsWordLetter(next[after])) return true;
  }
  return false;
}

// The lines of a paragraph as one text: joined by blanks, a word broken at a line's end joined again
// (JoinLines), a compound's hyphen kept.
std::u16string JoinParagraph(const std::vector<std::u16string>& lines) {
  const std::vector<std::u16string_view> views(lines.begin(), lines.end());
  std::u16string text;
  size_t first = 0;
  for (size_t i = 1; i <= views.size(); ++i)
    if (i == views.size() || KeepsHyphen(views[i - 1], views[i])) {
      text += JoinLines(views, {first, i - first});
      first = i;
    }
  return text;
}

// Writes the pages' lines into blocks: paragraphs joined across lines, columns and pages, headings,
// outline entries, pictures after the paragraph they stand in and footnotes at the end of the section.
class LayerWriter {
 public:
  LayerWriter(const std::vector<LayerPage>& pages, const std::vector<LayerOutlineEntry>& outline)
      : pages_(pages),
        outline_(outline),
        bodySize_(BodySize(pages)),
        running_(RunningLines(pages, bodySize_)),
        levels_(pages, bodySize_) {}

  LayerText Write() {
    for (size_t p = 0; p < pages_.size(); ++p) WritePage(p);
    CloseParagraph();
    FlushNotes();
    return std::move(text_);
  }

 private:
  void WritePage(size_t p) {
    const LayerPage& page = pages_[p];
    std::vector<bool> skipped = running_[p];
    std::vector<std::u16string> pageNotes = Footnotes(page, skipped);
    std::multimap<size_t, const LayerOutlineEntry*> entries;
    for (const LayerOutlineEntry& e : outline_)
      if (e.page == p) entries.emplace(LineOfEntry(e, page, skipped), &e);
    std::vector<PageBox> pictures = PicturesOf(page);
    for (size_t i = 0; i <= page.lines.size(); ++i) {
      const auto [first, last] = entries.equal_range(i);
      const bool placed = first != last;
      for (auto e = first; e != last; ++e) OpenSection(e->second->level, e->second->title, false);
      if (i == page.lines.size()) break;
      const LayerLine& line = page.lines[i];
      QueuePicturesAbove(p, line, pictures);
      if (skipped[i]) continue;
      const int level = levels_.Of(line);
      if (level > 0 && level == headingLevel_ && !placed) {
        ContinueHeading(line);
      } else if (level > 0) {
        if (!placed) OpenSection(outline_.empty() ? level : 0, line.text, true);
        para_.push_back(line.text);
        paraLast_ = &line;
      } else {
        AddLine(p, line, headingLevel_ > 0);
      }
      headingLevel_ = level;
    }
    for (const PageBox& box : pictures) waiting_.push_back({p, box});
    std::move(pageNotes.begin(), pageNotes.end(), std::back_inserter(notes_));
  }

  // The page's footnotes, marked as skipped lines: lines smaller than the body's text below the last
  // line of the body's size or larger. A line that begins with a mark begins a note.
  std::vector<std::u16string> Footnotes(const LayerPage& page, std::vector<bool>& skipped) const {
    double bodyFoot = -1;
    for (size_t i = 0; i < page.lines.size(); ++i)
      if (!skipped[i] && page.lines[i].fontSize >= bodySize_ * kFootnoteScale)
        bodyFoot = std::max(bodyFoot, page.lines[i].box.y1);
    std::vector<std::u16string> notes;
    if (bodyFoot < 0) return notes;
    for (size_t i = 0; i < page.lines.size(); ++i) {
      const LayerLine& line = page.lines[i];
      if (skipped[i] || line.fontSize >= bodySize_ * kFootnoteScale || line.box.y0 < bodyFoot) continue;
      skipped[i] = true;
      if (notes.empty() || StartsWithNoteMark(line.text))
        notes.push_back(line.text);
      else
        notes.back() = JoinParagraph({notes.back(), line.text});
    }
    return notes;
  }

  // The pictures worth a page of their own: not specks, and not the picture of a whole scanned page
  // under its hidden text.
  static std::vector<PageBox> PicturesOf(const LayerPage& page) {
    std::vector<PageBox> kept;
    for (const PageBox& box : page.pictures) {
      const bool speck = box.Width() < 24 || box.Height() < 24;
      const bool background =
          !page.lines.empty() && box.Width() * box.Height() >= 0.8 * page.width * page.height;
      if (!speck && !background) kept.push_back(box);
    }
    std::sort(kept.begin(), kept.end(), [](const PageBox& a, const PageBox& b) { return a.y0 < b.y0; });
    return kept;
  }

  // Pictures whose top is above the line, in its column, wait for the end of the paragraph.
  void QueuePicturesAbove(size_t p, const LayerLine& line, std::vector<PageBox>& pictures) {
    for (auto box = pictures.begin(); box != pictures.end();) {
      if (box->y0 <= line.box.y0 && Overlaps(box->x0, box->x1, line.box.x0, line.box.x1)) {
        waiting_.push_back({p, *box});
        box = pictures.erase(box);
      } else {
        ++box;
      }
    }
  }

  // Closes what is open and begins a section; `found` when the heading was found in the text, whose
  // next lines of the same heading then lengthen its title.
  void OpenSection(int level, const std::u16string& title, bool found) {
    CloseParagraph();
    FlushNotes();
    text_.blocks.push_back({DocumentBlock::Kind::kHeading, level, title});
    foundHeading_ = found ? std::optional(text_.blocks.size() - 1) : std::nullopt;
  }

  // A heading of several lines: the next line joins its paragraph and the title it was found with.
  void ContinueHeading(const LayerLine& line) {
    para_.push_back(line.text);
    paraLast_ = &line;
    if (foundHeading_) text_.blocks[*foundHeading_].text += u' ' + line.text;
  }

  // Adds a line of text to the open paragraph or begins a new one; `afterHeading` when the line
  // before was a heading's, which ends there.
  void AddLine(size_t p, const LayerLine& line, bool afterHeading) {
    if (afterHeading || para_.empty() || StartsParagraph(p, line)) CloseParagraph();
    para_.push_back(line.text);
    paraLast_ = &line;
    paraRight_ = para_.size() == 1 || p != page_ ? line.box.x1 : std::max(paraRight_, line.box.x1);
    page_ = p;
  }

  // Whether the line begins a new paragraph after the paragraph's last line: a gap above it, an
  // indent, a line before it that ends short of the column's edge, another size of text.
  bool StartsParagraph(size_t p, const LayerLine& line) const {
    if (IsListItem(line.text)) return true;
    const LayerLine& before = *paraLast_;
    const double size = std::max(before.fontSize, 1.0);
    if (std::abs(line.fontSize - before.fontSize) > 0.08 * size) return true;
    const bool below = p == page_ && line.box.y0 > before.box.y0 + 0.3 * before.box.Height() &&
                       Overlaps(line.box.x0, line.box.x1, before.box.x0, before.box.x1);
    if (!below) {
      // A new column or page: the paragraph goes on unless its last line ended short, or ended a
      // sentence when it was the paragraph's only line.
      if (para_.size() > 1) return before.box.x1 < paraRight_ - 2 * size;
      const char16_t end = before.text.empty() ? u' ' : before.text.back();
      return end == u'.' || end == u'!' || end == u'?' || end == u':';
    }
    const double step = line.box.y1 - before.box.y1;
    if (step > 1.7 * size) return true;
    // A list item's lines after its first stand indented under its text.
    if (line.box.x0 > before.box.x0 + 0.8 * size && !IsListItem(para_.front())) return true;
    return before.box.x1 < std::max(paraRight_, line.box.x1) - 2 * size;
  }

  void CloseParagraph() {
    if (!para_.empty()) {
      text_.blocks.push_back({DocumentBlock::Kind::kParagraph, 0, JoinParagraph(para_)});
      para_.clear();
    }
    for (const LayerPicture& picture : waiting_) {
      text_.blocks.push_back({DocumentBlock::Kind::kPicture, 0, {}, text_.pictures.size()});
      text_.pictures.push_back(picture);
    }
    waiting_.clear();
  }

  void FlushNotes() {
    for (std::u16string& note : notes_)
      text_.blocks.push_back({DocumentBlock::Kind::kParagraph, 0, MarkedNote(std::move(note))});
    notes_.clear();
  }

  const std::vector<LayerPage>& pages_;
  const std::vector<LayerOutlineEntry>& outline_;
  const double bodySize_;
  const std::vector<std::vector<bool>> running_;
  const HeadingLevels levels_;

  LayerText text_;
  std::vector<std::u16string> para_;  // the lines of the open paragraph
  const LayerLine* paraLast_ = nullptr;
  double paraRight_ = 0;                // the right edge of the paragraph's lines in the column it is in now
  size_t page_ = 0;                     // the page of the paragraph's last line
  std::optional<size_t> foundHeading_;  // the block of the heading found in the text last
  int headingLevel_ = 0;                // the level of the line before when it was a heading's
  std::vector<LayerPicture> waiting_;   // pictures written after the open paragraph
  std::vector<std::u16string> notes_;   // footnotes written at the end of the section
};

// The widest gaps between the words along one direction: the places where the words sorted by their
// start can be cut, each with the width of its gap.
struct Cuts {
  std::vector<size_t> at;  // indices into the sorted words where a part begins
  double widest = 0;
};

// Sorts the words by where they start along a direction (`start` and `end` give a word's extent) and
// finds the gaps of at least `minimum` where nothing covers the direction.
template <class Start, class End>
Cuts FindCuts(std::vector<const LayerWord*>& words, Start start, End end, double minimum) {
  std::sort(words.begin(), words.end(),
            [&](const LayerWord* a, const LayerWord* b) { return start(*a) < start(*b); });
  std::vector<std::pair<size_t, double>> gaps;
  double reached = end(*words[0]);
  for (size_t i = 1; i < words.size(); ++i) {
    const double gap = start(*words[i]) - reached;
    if (gap >= minimum) gaps.emplace_back(i, gap);
    reached = std::max(reached, end(*words[i]));
  }
  Cuts cuts;
  for (const auto& [i, gap] : gaps) cuts.widest = std::max(cuts.widest, gap);
  // Cut at the widest gap and at those nearly as wide, as between evenly spaced columns or rows.
  for (const auto& [i, gap] : gaps)
    if (gap >= 0.8 * cuts.widest) cuts.at.push_back(i);
  return cuts;
}

// Words that no gap separates: in rows by their middle's height, each row left to right.
void ReadRows(std::vector<const LayerWord*>& words, std::vector<const LayerWord*>& out) {
  const auto middle = [](const LayerWord* w) { return (w->box.y0 + w->box.y1) / 2; };
  std::sort(words.begin(), words.end(),
            [&](const LayerWord* a, const LayerWord* b) { return middle(a) < middle(b); });
  for (size_t first = 0; first < words.size();) {
    size_t last = first + 1;
    while (last < words.size() &&
           middle(words[last]) - middle(words[first]) < 0.5 * words[first]->box.Height())
      ++last;
    std::sort(words.begin() + static_cast<std::ptrdiff_t>(first),
              words.begin() + static_cast<std::ptrdiff_t>(last),
              [](const LayerWord* a, const LayerWord* b) { return a->box.x0 < b->box.x0; });
    out.insert(out.end(), words.begin() + static_cast<std::ptrdiff_t>(first),
               words.begin() + static_cast<std::ptrdiff_t>(last));
    first = last;
  }
}

// The recursive cutting of InReadingOrder.
void ReadPart(std::vector<const LayerWord*> words, double columnGap, int depth,
              std::vector<const LayerWord*>& out) {
  constexpr int kDeepest = 200;
  if (words.size() <= 1 || depth > kDeepest) return ReadRows(words, out);
  std::vector<const LayerWord*> byColumn = words;
  const Cuts columns = FindCuts(
      byColumn, [](const LayerWord& w) { return w.box.x0; }, [](const LayerWord& w) { return w.box.x1; },
      columnGap);
  const Cuts rows = FindCuts(
      words, [](const LayerWord& w) { return w.box.y0; }, [](const LayerWord& w) { return w.box.y1; }, 0.5);
  const bool byColumns = !columns.at.empty() && columns.widest >= rows.widest;
  if (!byColumns && rows.at.empty()) return ReadRows(words, out);
  const std::vector<const LayerWord*>& sorted = byColumns ? byColumn : words;
  const std::vector<size_t>& at = byColumns ? columns.at : rows.at;
  size_t first = 0;
  for (size_t i = 0; i <= at.size(); ++i) {
    const size_t last = i < at.size() ? at[i] : sorted.size();
    ReadPart({sorted.begin() + static_cast<std::ptrdiff_t>(first),
              sorted.begin() + static_cast<std::ptrdiff_t>(last)},
             columnGap, depth + 1, out);
    first = last;
  }
}

}  // namespace

std::vector<LayerWord> InReadingOrder(std::vector<LayerWord> words) {
  if (words.empty()) return words;
  std::vector<double> sizes;
  for (const LayerWord& w : words) sizes.push_back(w.fontSize);
  std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
  const double columnGap = 1.5 * std::max(sizes[sizes.size() / 2], 1.0);
  std::vector<const LayerWord*> order;
  for (const LayerWord& w : words) order.push_back(&w);
  std::vector<const LayerWord*> read;
  ReadPart(std::move(order), columnGap, 0, read);
  std::vector<LayerWord> ordered;
  ordered.reserve(words.size());
  for (const LayerWord* w : read) ordered.push_back(std::move(*const_cast<LayerWord*>(w)));
  return ordered;
}

std::vector<LayerLine> LinesOf(const std::vector<LayerWord>& words) {
  std::vector<LayerLine> lines;
  size_t first = 0;
  for (size_t i = 1; i <= words.size(); ++i)
    if (i == words.size() || !SameLine(words[i - 1], words[i])) {
      if (first < i) lines.push_back(LineOf(&words[first], &words[0] + i));
      first = i;
    }
  return lines;
}

std::vector<std::vector<bool>> RunningLinesOf(const std::vector<LayerPage>& pages) {
  return RunningLines(pages, BodySize(pages));
}

LayerText BuildLayerText(const std::vector<LayerPage>& pages, const std::vector<LayerOutlineEntry>& outline) {
  return LayerWriter(pages, outline).Write();
}

LayerVerdict JudgeTextLayer(const std::vector<LayerPage>& pages) {
  size_t withText = 0;
  for (const LayerPage& page : pages) {
    size_t chars = 0;
    for (const LayerLine& line : page.lines) chars += line.text.size();
    if (chars >= kPageTextMinimum) ++withText;
  }
  const std::string counts = std::to_string(withText) + " of " + std::to_string(pages.size());
  if (!pages.empty() && withText * 2 >= pages.size())
    return {true, "read as text: " + counts + " pages have a text layer"};
  return {false, "kept as pictures of its pages: " + counts +
                     " pages have a text layer (a scan or a document of drawings)"};
}

}  // namespace bookloom
