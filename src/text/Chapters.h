// The chapters of a plain text: its heading lines ("ЧАСТЬ ПЕРВАЯ", "Глава 1", "CHAPTER 1.
// Loomings.", "XII", "Epilogue", or a pattern of the user's own) and the levels they stand on.
#pragma once

#include <unicode/uversion.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Exception.h"

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

namespace bookloom {

// A pattern of the user's that ICU cannot compile.
class ChapterPatternError : public Exception {
  using Exception::Exception;
};

// One heading line of a text.
struct Heading {
  size_t line = 0;       // its index among the text's lines
  size_t lineCount = 1;  // 2 for a heading wrapped over two lines
  int level = 1;         // 1 for the text's top level of headings, 2 and 3 below it
  std::u16string title;  // the line without the blanks around it, inner runs of blanks made one
};

// What a line says when it is a heading: from the top level down.
enum class HeadingKind {
  kPart,     // ЧАСТЬ ПЕРВАЯ, Часть 1, Книга вторая, PART ONE, BOOK I
  kChapter,  // Глава 1, ГЛАВА ПЕРВАЯ, CHAPTER 1., Chapter XII, and the user's own patterns
  kNumber,   // a Roman or Arabic numeral alone: XII, 7, "XIII. XIV"
  kFrame,    // ПРОЛОГ, ЭПИЛОГ, Prologue, Epilogue: at the level of the text's top headings
  kNone,
};

// The built-in heading patterns of Russian and English books and the user's own (ICU regular
// expressions that match a whole line without its surrounding blanks).
class ChapterPatterns {
 public:
  // Raises ChapterPatternError naming a pattern of the user's that does not compile.
  explicit ChapterPatterns(const std::vector<std::u16string>& userPatterns = {});
  ~ChapterPatterns();
  ChapterPatterns(const ChapterPatterns&) = delete;
  ChapterPatterns& operator=(const ChapterPatterns&) = delete;

  // What the line (without its surrounding blanks) says; the user's patterns come first.
  HeadingKind KindOf(const std::u16string& line) const;

 private:
  friend std::vector<Heading> FindHeadings(const std::vector<std::u16string_view>& lines,
                                           const ChapterPatterns& patterns);

  const icu::RegexPattern& builtIn_;
  std::vector<std::unique_ptr<icu::RegexPattern>> user_;
};

// The longest line that can be a heading, in UTF-16 units without its surrounding blanks.
inline constexpr size_t kLongestHeading = 80;

// The headings of a text's lines. A heading is a line of at most kLongestHeading units that a
// pattern matches, followed by a blank line or the text's end (a blank line before it is not
// enough: the first line of a hard-wrapped paragraph has one). A heading with a keyword may be
// wrapped over two lines between blank lines, the second short. Headings
// that follow one another with only blank lines between them stand for a list of contents and are
// none, unless each is on a lower level than the one before ("ЧАСТЬ ПЕРВАЯ", then "I"); the list
// ends where its first heading comes again, as the text's own. Levels:
// parts above chapters above lone numerals, counting only the kinds the text has; prologues and
// epilogues on the top level.
std::vector<Heading> FindHeadings(const std::vector<std::u16string_view>& lines,
                                  const ChapterPatterns& patterns);

}  // namespace bookloom
