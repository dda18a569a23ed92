#include "text/Chapters.h"

#include <unicode/regex.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <string_view>

#include "text/TextFile.h"

namespace bookloom {

namespace {

// A number as headings write it: digits, a Roman numeral, or a Russian or English word.
constexpr std::u16string_view kNumber =
    u"(?:\\d{1,4}"
    u"|(?=[ivxlcdm])m{0,3}(?:cm|cd|d?c{0,3})(?:xc|xl|l?x{0,3})(?:ix|iv|v?i{0,3})"
    u"|(?:перв|втор|трет|четв[её]рт|пят|шест|седьм|восьм|девят|десят|одиннадцат|двенадцат|тринадцат"
    u"|четырнадцат|пятнадцат|шестнадцат|семнадцат|восемнадцат|девятнадцат|двадцат|последн)\\p{L}*"
    u"|(?:the\\s+)?(?:one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve|thirteen|fourteen"
    u"|fifteen|sixteen|seventeen|eighteen|nineteen|twenty|thirty|forty|fifty|first|second|third"
    u"|fourth|fifth|sixth|seventh|eighth|ninth|tenth|eleventh|twelfth|last)"
    u"(?:[- ](?:one|two|three|four|five|six|seven|eight|nine|first|second|third|fourth|fifth|sixth"
    u"|seventh|eighth|ninth))?"
    u")(?![\\p{L}\\p{N}])";
// What may follow the number: a full stop or colon, or a title after a separator ("CHAPTER 1.
// Loomings.", "Part One: The Beginning", "Глава 3 — Встреча"), never a sentence ("Part two of it").
constexpr std::u16string_view kTitle = u"(?:[.:]|\\s*[.:\u2014\u2013-]\\s*\\S.*)?";
// A numeral alone, in capitals: "XII", "7"; or several, the heading of stanzas left out or run
// together: "XIII. XIV", "I. II. III. IV. V. VI.".
constexpr std::u16string_view kNumeral =
    u"(?:(?=[IVXLCDM])M{0,3}(?:CM|CD|D?C{0,3})(?:XC|XL|L?X{0,3})(?:IX|IV|V?I{0,3})|\\d{1,3})"
    u"(?:\\.\\s*(?:(?=[IVXLCDM])M{0,3}(?:CM|CD|D?C{0,3})(?:XC|XL|L?X{0,3})(?:IX|IV|V?I{0,3})|\\d{1,3}))*\\.?";

// The groups of the built-in pattern, one for each kind of heading.
constexpr int kPartGroup = 1, kChapterGroup = 2, kFrameGroup = 3, kNumeralGroup = 4;

// The pattern with each small letter as the set of it and its capital ("часть" as
// "[чЧ][аА][сС][тТ][ьЬ]"), escapes left as they are: what the case-insensitive flag would match,
// without the time ICU takes to gather the case variants of every letter for it.
std::u16string AnyCase(std::u16string_view pattern) {
  std::u16string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    if (c == u'\\') {
      const size_t end = pattern.substr(i, 2) == u"\\p" ? pattern.find(u'}', i) : i + 1;
      out += pattern.substr(i, end - i + 1);
      i = end;
    } else if (u_islower(c)) {
      ((out += u'[') += c) += static_cast<char16_t>(u_toupper(c));
      out += u']';
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string BuiltInPattern() {
  std::u16string p = u"(?:((?:часть|книга|part|book)\\s+";
  p += kNumber;
  p += kTitle;
  p += u")|((?:глава|chapter)\\s+";
  p += kNumber;
  p += kTitle;
  p += u")|((?:пролог|эпилог|prologue|epilogue)";
  p += kTitle;
  p += u")|(";
  std::u16string any = AnyCase(p);
  any += kNumeral;
  any += u"))";
  return any;
}

std::unique_ptr<icu::RegexPattern> Compile(const std::u16string& pattern) {
  UErrorCode status = U_ZERO_ERROR;
  UParseError where{};
  std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
      icu::UnicodeString(pattern.data(), static_cast<int32_t>(pattern.size())), 0, where, status));
  if (U_FAILURE(status))
    Raise<ChapterPatternError>("The chapter pattern \"%s\" is no regular expression (%s at character %d)",
                               {pattern, u_errorName(status), where.offset + 1});
  return compiled;
}

std::u16string Title(std::u16string_view line) {
  std::u16string title;
  for (const char16_t c : TrimBlanks(line)) {
    if (!IsBlankChar(c))
      title += c;
    else if (title.back() != u' ')
      title += u' ';
  }
  return title;
}

// Matchers of the patterns, reused from line to line (a matcher serves one thread).
class Matchers {
 public:
  Matchers(const icu::RegexPattern& builtIn, const std::vector<std::unique_ptr<icu::RegexPattern>>& user) {
    UErrorCode status = U_ZERO_ERROR;
    builtIn_.reset(builtIn.matcher(status));
    for (const auto& pattern : user) user_.emplace_back(pattern->matcher(status));
  }

  HeadingKind KindOf(std::u16string_view line) {
    const icu::UnicodeString text(false, line.data(), static_cast<int32_t>(line.size()));
    UErrorCode status = U_ZERO_ERROR;
    for (const auto& matcher : user_)
      if (matcher->reset(text).matches(status)) return HeadingKind::kChapter;
    if (!builtIn_ || !builtIn_->reset(text).matches(status)) return HeadingKind::kNone;
    const auto matched = [&](int group) { return builtIn_->start(group, status) >= 0; };
    if (matched(kPartGroup)) return HeadingKind::kPart;
    if (matched(kChapterGroup)) return HeadingKind::kChapter;
    if (matched(kFrameGroup)) return HeadingKind::kFrame;
    return matched(kNumeralGroup) ? HeadingKind::kNumber : HeadingKind::kNone;
  }

 private:
  std::unique_ptr<icu::RegexMatcher> builtIn_;
  std::vector<std::unique_ptr<icu::RegexMatcher>> user_;
};

struct Candidate {
  size_t line, lastLine;
  HeadingKind kind;
  bool several = false;  // numerals of several stanzas ("I. II. III."): a heading of its own, never a list
};

// Whether a line of numerals names several: a full stop before its end.
bool NamesSeveral(std::u16string_view numerals) {
  const size_t stop = numerals.find(u'.');
  return stop != std::u16string_view::npos && stop + 1 < numerals.size();
}

// Compiled once: ICU gathers the case variants of every letter, which takes longer than finding
// the headings of a novel. Patterns serve any number of threads' matchers.
const icu::RegexPattern& BuiltIn() {
  static const std::unique_ptr<icu::RegexPattern> pattern = Compile(BuiltInPattern());
  return *pattern;
}

}  // namespace

ChapterPatterns::ChapterPatterns(const std::vector<std::u16string>& userPatterns) : builtIn_(BuiltIn()) {
  for (const auto& pattern : userPatterns) user_.push_back(Compile(pattern));
}

ChapterPatterns::~ChapterPatterns() = default;

HeadingKind ChapterPatterns::KindOf(const std::u16string& line) const {
  return Matchers(builtIn_, user_).KindOf(TrimBlanks(line));
}

std::vector<Heading> FindHeadings(const std::vector<std::u16string_view>& lines,
                                  const ChapterPatterns& patterns) {
  Matchers matchers(patterns.builtIn_, patterns.user_);
  std::vector<Candidate> candidates;
  const size_t n = lines.size();
  // The second line of a heading wrapped in two is no longer than this.
  constexpr size_t kLongestSecondLine = kLongestHeading / 2;
  for (size_t i = 0; i < n; ++i) {
    const std::u16string_view line = TrimBlanks(lines[i]);
    if (line.empty() || line.size() > kLongestHeading) continue;
    const bool blankAfter = i + 1 == n || IsBlankLine(lines[i + 1]);
    // A heading wrapped in two: blank lines around both, a short second line, a keyword in the first.
    const bool wrapped = !blankAfter && (i == 0 || IsBlankLine(lines[i - 1])) &&
                         TrimBlanks(lines[i + 1]).size() <= kLongestSecondLine &&
                         (i + 2 == n || IsBlankLine(lines[i + 2]));
    if (!blankAfter && !wrapped) continue;
    const HeadingKind kind = matchers.KindOf(line);
    if (kind == HeadingKind::kNone || (wrapped && kind == HeadingKind::kNumber)) continue;
    candidates.push_back({i, wrapped ? i + 1 : i, kind, kind == HeadingKind::kNumber && NamesSeveral(line)});
  }

  // Prologues and epilogues stand beside the text's top headings.
  HeadingKind top = HeadingKind::kNone;
  for (const Candidate& c : candidates)
    if (c.kind != HeadingKind::kFrame) top = std::min(top, c.kind);
  if (top == HeadingKind::kNone) top = HeadingKind::kChapter;
  for (Candidate& c : candidates)
    if (c.kind == HeadingKind::kFrame) c.kind = top;

  // Runs of headings with only blank lines between them: a list of contents unless each heading
  // is below the one before. A list of contents ends where its first heading comes again; the
  // heading of several stanzas stands alone, as the stanza after it does.
  std::vector<Candidate> accepted;
  for (size_t first = 0, end; first < candidates.size(); first = end) {
    bool descending = true;
    for (end = first + 1; end < candidates.size(); ++end) {
      const Candidate& previous = candidates[end - 1];
      bool adjacent = true;
      for (size_t i = previous.lastLine + 1; i < candidates[end].line && adjacent; ++i)
        adjacent = IsBlankLine(lines[i]);
      // The first heading again: the list of contents has ended and the text begins.
      if (!adjacent || Title(lines[candidates[end].line]) == Title(lines[candidates[first].line]) ||
          previous.several || candidates[end].several)
        break;
      descending = descending && candidates[end].kind > previous.kind;
    }
    if (descending) accepted.insert(accepted.end(), candidates.begin() + first, candidates.begin() + end);
  }

  bool present[static_cast<int>(HeadingKind::kNone)] = {};
  for (const Candidate& c : accepted) present[static_cast<int>(c.kind)] = true;
  std::vector<Heading> headings;
  for (const Candidate& c : accepted) {
    int level = 0;
    for (int k = 0; k <= static_cast<int>(c.kind); ++k) level += present[k];
    std::u16string title = Title(lines[c.line]);
    if (c.lastLine > c.line) title += u' ' + Title(lines[c.lastLine]);
    headings.push_back({c.line, c.lastLine - c.line + 1, level, std::move(title)});
  }
  return headings;
}

}  // namespace bookloom
