#include "documents/RtfReader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "documents/DocumentFlow.h"
#include "platform/AnsiCodePage.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr int kNoOutline = -1;
constexpr size_t kMaxGroupDepth = 1000;  // deeper groups are read as part of the deepest
constexpr size_t kMaxWordLength = 32;

// Where the text of a group goes.
enum class Destination {
  kText,        // the document's text
  kSkipped,     // a destination the book has no use for
  kFontTable,   // fonts and their character sets
  kStyleSheet,  // style names and outline levels
  kInfoGroup,   // the description, whose fields are read
  kInfo,        // a field of the description
  kPicture,     // a picture's hex digits or binary bytes
  kFootnote,    // a note, kept for the end of its section
};

// What a group inherits from the group around it and restores when it ends.
struct GroupState {
  Destination destination = Destination::kText;
  bool opensDestination = false;  // the destination started in this group
  int unicodeSkip = 1;            // the characters that stand in for each \uN
  int codePage = 1252;
  int font = -1;
  int style = 0;
  int outline = kNoOutline;
};

// The code page of a font's character set (\fcharsetN); 0 when it has none of its own.
int CodePageOfCharset(int charset) {
  static constexpr std::pair<int, int> kCharsets[] = {
      {0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254},
      {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}};
  for (const auto& [set, page] : kCharsets)
    if (set == charset) return page;
  return 0;
}

// Destinations whose text is not part of the book.
constexpr std::string_view kSkippedDestinations[] = {"colortbl",
                                                     "filetbl",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "generator",
                                                     "header",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footer",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "fldinst",
                                                     "objdata",
                                                     "nonshppict",
                                                     "xmlnstbl",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "latentstyles",
                                                     "datastore",
                                                     "pgdsctbl",
                                                     "template",
                                                     "annotation",
                                                     "atnid",
                                                     "atnauthor",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "xe",
                                                     "tc",
                                                     "txe",
                                                     "pn"};

// Control words that stand for one character.
constexpr std::pair<std::string_view, char16_t> kCharacterWords[] = {
    {"tab", u' '},         {"emdash", u'\u2014'},    {"endash", u'\u2013'},    {"emspace", u' '},
    {"enspace", u' '},     {"qmspace", u' '},        {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
    {"rquote", u'\u2019'}, {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}, {"zwj", u'\u200D'},
    {"zwnj", u'\u200C'}};

class RtfReader {
 public:
  RtfReader(const Runtime& runtime, std::string_view rtf, const std::u16string& fileName)
      : rtf_(rtf), fileName_(fileName) {
    document_.pictures = std::make_unique<EncodedPictures>(runtime, fileName);
  }

  Document Read() {
    if (!rtf_.starts_with("{\\rtf"))
      throw DocumentError(fileName_, "", "not an RTF document: it does not start with {\\rtf");
    groups_.push_back({});
    while (at_ < rtf_.size()) Step();
    EndGroupsLeftOpen();
    FlushBytes();
    flow_.Finish();
    return std::move(document_);
  }

 private:
  GroupState& State() { return groups_.back(); }

  void Step() {
    const char c = rtf_[at_++];
    switch (c) {
      case '{':
        FlushBytes();
        skip_ = 0;
        if (groups_.size() < kMaxGroupDepth) {
          groups_.push_back(State());
          State().opensDestination = false;
        } else {
          ++deepGroups_;
        }
        break;
      case '}':
        FlushBytes();
        skip_ = 0;
        EndGroup();
        break;
      case '\\':
        Control();
        break;
      case '\r':
      case '\n':
        break;
      default:
        if (State().destination == Destination::kPicture) {
          if (HexDigit(c) >= 0) pictureHex_ += c;
        } else if (!Skipping()) {
          bytes_ += c;
        }
    }
  }

  // Whether a character stands in for the \uN before it.
  bool Skipping() {
    if (skip_ == 0) return false;
    --skip_;
    return true;
  }

  void Control() {
    if (at_ >= rtf_.size()) return;
    const char c = rtf_[at_];
    if (!IsLetter(c)) {
      ++at_;
      Symbol(c);
      return;
    }
    const size_t wordStart = at_;
    while (at_ < rtf_.size() && IsLetter(rtf_[at_]) && at_ - wordStart < kMaxWordLength) ++at_;
    const std::string_view word = rtf_.substr(wordStart, at_ - wordStart);
    std::optional<int> parameter;
    const size_t numberStart = at_;
    if (at_ < rtf_.size() && rtf_[at_] == '-') ++at_;
    while (at_ < rtf_.size() && rtf_[at_] >= '0' && rtf_[at_] <= '9' && at_ - numberStart < 10) ++at_;
    if (at_ > numberStart && rtf_[at_ - 1] != '-') {
      parameter = static_cast<int>(std::clamp(
          std::stoll(std::string(rtf_.substr(numberStart, at_ - numberStart))), -2147483647LL, 2147483647LL));
    } else {
      at_ = numberStart;
    }
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;
    Word(word, parameter);
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  void Symbol(char c) {
    switch (c) {
      case '\'': {
        const int value = at_ + 2 <= rtf_.size() ? HexByte(rtf_.substr(at_, 2)) : -1;
        if (value < 0) return;
        at_ += 2;
        if (State().destination == Destination::kFontTable || Skipping()) return;
        bytes_ += static_cast<char>(value);
        return;
      }
      case '*':
        starred_ = true;
        return;
      case '~':
        Emit(u"\u00A0");
        return;
      case '_':
        Emit(u"-");
        return;
      case '\n':
      case '\r':
        Word("par", std::nullopt);
        return;
      case '\\':
      case '{':
      case '}':
        if (!Skipping()) bytes_ += c;
        return;
      default:
        return;  // \- an optional hyphen, \| \: and others that show nothing
    }
  }

  static int HexDigit(char c) {
    const char lower = static_cast<char>(c | 32);
    return c >= '0' && c <= '9' ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
  }
  // The byte of two hex digits, -1 when they are not.
  static int HexByte(std::string_view two) {
    const int high = HexDigit(two[0]), low = HexDigit(two[1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
  }

  void Word(std::string_view word, std::optional<int> parameter) {
    const bool starred = std::exchange(starred_, false);
    GroupState& state = State();
    const int value = parameter.value_or(0);
    if (word == "bin") {
      Binary(value);
      return;
    }
    if (Destinations(word, starred)) return;
    if (skip_ > 0 && word != "u") {
      --skip_;
      return;
    }
    if (word == "par" || word == "line" || word == "page" || word == "sect" || word == "row" ||
        word == "cell") {
      EndParagraph();
    } else if (word == "pard") {
      state.style = 0;
      state.outline = kNoOutline;
    } else if (word == "s") {
      state.style = value;
    } else if (word == "outlinelevel") {
      state.outline = value;
      if (state.destination == Destination::kStyleSheet) styles_[state.style].outline = value;
    } else if (word == "ansicpg") {
      defaultCodePage_ = value;
      state.codePage = value;
    } else if (word == "f") {
      FlushBytes();
      state.font = value;
      if (const auto font = fonts_.find(value); font != fonts_.end()) state.codePage = font->second;
    } else if (word == "fcharset" || word == "cpg") {
      const int page = word == "cpg" ? value : CodePageOfCharset(value);
      if (page > 0 && state.destination == Destination::kFontTable) fonts_[state.font] = page;
    } else if (word == "uc") {
      state.unicodeSkip = std::clamp(value, 0, 8);
    } else if (word == "u") {
      skip_ = 0;
      Emit(std::u16string(1, static_cast<char16_t>(value < 0 ? value + 65536 : value)));
      skip_ = state.unicodeSkip;
    } else if (word == "pngblip" || word == "jpegblip" || word == "emfblip" || word == "wmetafile" ||
               word == "dibitmap") {
      pictureKind_ = word;
    } else {
      for (const auto& [name, character] : kCharacterWords)
        if (word == name) Emit(std::u16string(1, character));
    }
  }

  // Starts the destination a control word opens; false when the word opens none.
  bool Destinations(std::string_view word, bool starred) {
    GroupState& state = State();
    const auto open = [&](Destination destination) {
      FlushBytes();
      state.destination = destination;
      state.opensDestination = true;
      return true;
    };
    if (state.destination == Destination::kSkipped) return true;
    if (word == "fonttbl") return open(Destination::kFontTable);
    if (word == "stylesheet") return open(Destination::kStyleSheet);
    if (word == "info") return open(Destination::kInfoGroup);
    if ((word == "title" || word == "author" || word == "subject" || word == "doccomm") &&
        state.destination == Destination::kInfoGroup) {
      infoField_ = word;
      fieldText_.clear();
      return open(Destination::kInfo);
    }
    if (word == "pict") {
      pictureHex_.clear();
      pictureBinary_.clear();
      pictureKind_ = {};
      return open(Destination::kPicture);
    }
    if (word == "footnote" && state.destination == Destination::kText) {
      notes_.assign(1, {});
      return open(Destination::kFootnote);
    }
    for (const std::string_view skipped : kSkippedDestinations)
      if (word == skipped) return open(Destination::kSkipped);
    // An unknown destination marked as one that may be ignored.
    if (starred && word != "shppict") return open(Destination::kSkipped);
    return false;
  }

  // \binN: N bytes of binary data, a picture's or else passed over.
  void Binary(int count) {
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), rtf_.size() - at_);
    if (State().destination == Destination::kPicture) pictureBinary_.append(rtf_.substr(at_, n));
    at_ += n;
  }

  void EndGroup() {
    if (deepGroups_ > 0) {
      --deepGroups_;
      return;
    }
    if (groups_.size() == 1) return;  // a "}" too many
    const GroupState ended = State();
    groups_.pop_back();
    if (ended.destination == Destination::kStyleSheet && !ended.opensDestination) {
      styles_[ended.style].name = std::exchange(fieldText_, {});
      return;
    }
    if (!ended.opensDestination) return;
    switch (ended.destination) {
      case Destination::kInfo:
        Info(CollapseSpaces(std::exchange(fieldText_, {})));
        break;
      case Destination::kPicture:
        Picture();
        break;
      case Destination::kFootnote:
        flow_.Note(Utf8ToUtf16(std::to_string(++noteCount_)), std::exchange(notes_, {}));
        break;
      default:
        break;
    }
  }

  void EndGroupsLeftOpen() {
    deepGroups_ = 0;
    while (groups_.size() > 1) EndGroup();
  }

  void Info(std::u16string text) {
    DocumentInfo& info = document_.info;
    if (infoField_ == "title") info.title = std::move(text);
    if (infoField_ == "author") info.author = std::move(text);
    if (infoField_ == "subject") info.subject = std::move(text);
    if (infoField_ == "doccomm") info.annotation = std::move(text);
  }

  void Picture() {
    std::string bytes = std::exchange(pictureBinary_, {});
    for (size_t i = 0; i + 1 < pictureHex_.size(); i += 2)
      bytes += static_cast<char>(HexByte(std::string_view(pictureHex_).substr(i, 2)));
    pictureHex_.clear();
    const std::string name = "picture " + std::to_string(++pictureCount_);
    if (bytes.size() > kMaxPartBytes) {
      document_.warnings.push_back(name + ": larger than the limit of a picture: left out");
      return;
    }
    auto& pictures = static_cast<EncodedPictures&>(*document_.pictures);
    const std::optional<size_t> index = pictures.Add(Utf8ToUtf16(name), std::move(bytes));
    if (!index) {
      document_.warnings.push_back(name + " (" +
                                   (pictureKind_.empty() ? "of no known kind" : std::string(pictureKind_)) +
                                   "): no decoder reads this kind of picture: left out");
      return;
    }
    if (State().destination == Destination::kText) flow_.Picture(*index);
  }

  // Text of a control word or symbol, after the bytes of text before it.
  void Emit(std::u16string_view text) {
    FlushBytes();
    Route(text);
  }

  // Text in the document's characters, where the group's destination takes it.
  void Route(std::u16string_view text) {
    switch (State().destination) {
      case Destination::kText:
        flow_.Text(text);
        break;
      case Destination::kFootnote:
        notes_.back() += text;
        break;
      case Destination::kInfo:
      case Destination::kStyleSheet:
        fieldText_ += text;
        break;
      default:
        break;
    }
  }

  // The bytes of text gathered so far, decoded in the code page of their font.
  void FlushBytes() {
    if (bytes_.empty()) return;
    const std::string bytes = std::exchange(bytes_, {});
    if (std::none_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      Route(Utf8ToUtf16(bytes));
      return;
    }
    const int page = State().codePage > 0 ? State().codePage : defaultCodePage_;
    const std::string charset = "CP" + std::to_string(page);
    Route(CharsetToWide(bytes, IsKnownCharset(charset) ? charset : "CP1252"));
  }

  void EndParagraph() {
    FlushBytes();
    const GroupState& state = State();
    if (state.destination == Destination::kFootnote) {
      notes_.emplace_back();
      return;
    }
    if (state.destination != Destination::kText) return;
    int outline = state.outline;
    if (outline == kNoOutline)
      if (const auto style = styles_.find(state.style); style != styles_.end())
        outline = style->second.Outline();
    if (outline >= 0 && outline < 9)
      flow_.EndHeading(outline + 1);
    else
      flow_.EndParagraph();
  }

  struct Style {
    std::u16string name;
    int outline = kNoOutline;
    // Its own outline level, else that of a "heading N" style.
    int Outline() const {
      if (outline != kNoOutline) return outline;
      std::u16string lower = CollapseSpaces(name);
      if (!lower.empty() && lower.back() == u';') lower.pop_back();
      for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? c + 32 : c;
      if (lower.size() == 9 && lower.starts_with(u"heading ") && lower[8] >= u'1' && lower[8] <= u'9')
        return lower[8] - u'1';
      return kNoOutline;
    }
  };

  std::string_view rtf_;
  size_t at_ = 0;
  std::u16string fileName_;
  Document document_;
  DocumentFlow flow_{document_};
  std::vector<GroupState> groups_;
  size_t deepGroups_ = 0;  // groups beyond the deepest kept
  bool starred_ = false;
  int skip_ = 0;  // characters still to pass over after a \uN
  int defaultCodePage_ = 1252;
  std::string bytes_;         // text not yet decoded
  std::map<int, int> fonts_;  // font number → code page
  std::map<int, Style> styles_;
  std::string_view infoField_;
  std::u16string fieldText_;
  std::string pictureHex_, pictureBinary_;
  std::string_view pictureKind_;
  int pictureCount_ = 0;
  std::vector<std::u16string> notes_;  // the paragraphs of the note being read
  int noteCount_ = 0;
};

}  // namespace

Document ReadRtf(const Runtime& runtime, std::string_view rtf, const std::u16string& fileName) {
  return RtfReader(runtime, rtf, fileName).Read();
}

Document ReadRtfFile(const Runtime& runtime, const std::u16string& fileName) {
  const std::string bytes = ReadFileBytes(fileName);
  if (bytes.size() > kMaxDocumentBytes)
    throw DocumentError(fileName, "",
                        "larger than the limit of " + std::to_string(kMaxDocumentBytes >> 20) + " MB");
  return ReadRtf(runtime, bytes, fileName);
}

}  // namespace bookloom
