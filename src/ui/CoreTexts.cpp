#include "ui/CoreTexts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <vector>

#include "book/FileTypes.h"
#include "documents/Document.h"
#include "platform/Exception.h"
#include "text/SingleByteCodec.h"
#include "ui/QtText.h"

namespace bookloom {

namespace {

// A message of the core: `source` is what the translation holds, with %1 ... %9 for the texts the
// core fills in and %n for a count (the translation chooses its plural form by it). `english` gives
// the core's own wording when it is not the source's: its singular and its plural form. A join is
// how the core puts two messages together, the same in every language: it is never translated, only
// looked into.
struct CoreMessage {
  const char* source;
  std::array<const char*, 2> english = {nullptr, nullptr};
  bool join = false;
};

// A text is taken for the first message it matches as a whole, tried in three rounds, each in this
// order: the messages with ": " or ", " of their own, then the joins, then the rest, so that a
// joined text is taken apart before its parts are matched.
const CoreMessage kMessages[] = {
    // Why an input is refused.
    {QT_TRANSLATE_NOOP("Core", "no such file")},
    {QT_TRANSLATE_NOOP("Core", "is a folder")},
    {QT_TRANSLATE_NOOP("Core", "is not a regular file")},
    {QT_TRANSLATE_NOOP("Core", "has no file type extension")},
    {QT_TRANSLATE_NOOP("Core", "unknown file type .%1")},
    {QT_TRANSLATE_NOOP("Core", "cannot be read")},
    {QT_TRANSLATE_NOOP("Core", "cannot be decoded")},
    // Why a build or a project stops.
    {QT_TRANSLATE_NOOP("Core", "The book \"%1\" would replace its own input file \"%2\"")},
    {QT_TRANSLATE_NOOP("Core", "The book \"%1\" would replace a file of its input \"%2\"")},
    {QT_TRANSLATE_NOOP("Core", "The book \"%1\" would replace its own cover picture")},
    {QT_TRANSLATE_NOOP("Core", "The build was cancelled")},
    {QT_TRANSLATE_NOOP("Core", "The book would reach 4 GiB, more than a Wolf book can hold")},
    {QT_TRANSLATE_NOOP("Core", "Cannot open file \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "Cannot open folder \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "Cannot read file \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "Cannot create file \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "Cannot write to file \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "Cannot replace file \"%1\". %2")},
    {QT_TRANSLATE_NOOP("Core", "\"%1\" is not a Bookloom project")},
    {QT_TRANSLATE_NOOP("Core", "\"%1\" was written by a newer Bookloom")},
    {QT_TRANSLATE_NOOP("Core", "\"%1\" is not a readable project: %2")},
    {QT_TRANSLATE_NOOP("Core", "it is damaged or cut short at byte %1")},
    // Why a file cannot be read.
    {QT_TRANSLATE_NOOP("Core", "Cannot read picture \"%1\"")},
    {QT_TRANSLATE_NOOP("Core", "Cannot read \"%1\"")},
    // A text's characters and bytes.
    {QT_TRANSLATE_N_NOOP("Core", "%n character(s) replaced"),
     {"%n character replaced", "%n characters replaced"}},
    {QT_TRANSLATE_N_NOOP("Core", "%n character(s) dropped"),
     {"%n character dropped", "%n characters dropped"}},
    {QT_TRANSLATE_N_NOOP("Core", "%1 and %n dropped")},
    {QT_TRANSLATE_NOOP("Core", "\"%1\" dropped")},
    {QT_TRANSLATE_NOOP("Core", "%1 (line %2)")},
    {QT_TRANSLATE_N_NOOP("Core",
                         "%n byte sequence(s) that are no %1 replaced by U+FFFD, the first on line %2"),
     {"%n byte sequence that is no %1 replaced by U+FFFD, the first on line %2",
      "%n byte sequences that are no %1 replaced by U+FFFD, the first on line %2"}},
    {QT_TRANSLATE_N_NOOP("Core", "%n control character(s) left out, the first on line %1"),
     {"%n control character left out, the first on line %1",
      "%n control characters left out, the first on line %1"}},
    // The table of contents.
    {QT_TRANSLATE_N_NOOP("Core",
                         "%n table-of-contents entries left out, as a book holds at most 255 under one entry "
                         "(the first: \"%1\"%2)")},
    {QT_TRANSLATE_N_NOOP(
        "Core",
        "%n headings below the third level of the table of contents have no entry (the first: "
        "\"%1\"%2)")},
    {QT_TRANSLATE_NOOP("Core", " on line %1")},
    {QT_TRANSLATE_N_NOOP(
        "Core", "table of contents: %n entries are left out (one entry of a book holds at most 255)")},
    {QT_TRANSLATE_NOOP("Core", "table of contents: \"%1\" leads to no page of the book")},
    {QT_TRANSLATE_NOOP("Core", "outline: \"%1\" leads to no page")},
    {QT_TRANSLATE_NOOP("Core", "the outline cannot be read")},
    {QT_TRANSLATE_NOOP("Core", "the spine names \"%1\", which the package does not list")},
    // Pictures.
    {QT_TRANSLATE_NOOP(
        "Core",
        "the picture is incomplete (the file is cut short or damaged): its pages show what could be read")},
    {QT_TRANSLATE_NOOP("Core", "%1 of its %2 left out (--all-frames makes every one a page)")},
    {QT_TRANSLATE_N_NOOP("Core", "%n page(s) or frame(s)"), {"%n page or frame", "%n pages or frames"}},
    {QT_TRANSLATE_NOOP("Core", "picture \"%1\" %2")},
    {QT_TRANSLATE_NOOP("Core", "picture \"%1\"")},
    {QT_TRANSLATE_NOOP("Core", "is not inside the book")},
    {QT_TRANSLATE_NOOP("Core", "leads out of the book")},
    {QT_TRANSLATE_NOOP("Core", "is missing from the book")},
    {QT_TRANSLATE_NOOP("Core", "is not next to the page")},
    {QT_TRANSLATE_NOOP("Core", "lies outside the page's folder")},
    {QT_TRANSLATE_NOOP("Core", "is missing (no such file)")},
    {QT_TRANSLATE_NOOP("Core", "no decoder reads this kind of picture")},
    {QT_TRANSLATE_NOOP("Core", "the picture is missing from the file")},
    {QT_TRANSLATE_NOOP("Core", "larger than the limit of a picture")},
    {QT_TRANSLATE_NOOP("Core", "only pictures and texts are taken from a folder")},
    // The description an input gives.
    {QT_TRANSLATE_NOOP("Core", "the %1 it gives the book is cut to %2 of its %3 characters")},
    {QT_TRANSLATE_NOOP("Core", "title")},
    {QT_TRANSLATE_NOOP("Core", "subject")},
    {QT_TRANSLATE_NOOP("Core", "author")},
    {QT_TRANSLATE_NOOP("Core", "adapter")},
    {QT_TRANSLATE_NOOP("Core", "translator")},
    {QT_TRANSLATE_NOOP("Core", "publisher")},
    {QT_TRANSLATE_NOOP("Core", "publish-time")},
    {QT_TRANSLATE_NOOP("Core", "annotation")},
    {QT_TRANSLATE_NOOP("Core", "isbn")},
    // What a part of the book was done with.
    {QT_TRANSLATE_NOOP("Core", "%1: left out")},
    {"%1: %2", {}, true},
    {"%1, %2", {}, true},
    // The names of a document's parts.
    {QT_TRANSLATE_NOOP("Core", "picture %1 (of no known kind)")},
    {QT_TRANSLATE_NOOP("Core", "picture %1 (%2)")},
    {QT_TRANSLATE_NOOP("Core", "picture %1")},
    {QT_TRANSLATE_NOOP("Core", "drawing %1")},
};

// The names of the file types and of their groups, for the file dialogs.
[[maybe_unused]] const char* const kFileTypeNames[] = {
    QT_TRANSLATE_NOOP("Core", "All supported formats"),
    QT_TRANSLATE_NOOP("Core", "Text documents"),
    QT_TRANSLATE_NOOP("Core", "Plain text file"),
    QT_TRANSLATE_NOOP("Core", "Release notes"),
    QT_TRANSLATE_NOOP("Core", "Log file"),
    QT_TRANSLATE_NOOP("Core", "Windows bitmaps"),
    QT_TRANSLATE_NOOP("Core", "Windows icons"),
    QT_TRANSLATE_NOOP("Core", "Windows metafiles"),
    QT_TRANSLATE_NOOP("Core", "Windows enhanced meta files"),
    QT_TRANSLATE_NOOP("Core", "JPG images"),
    QT_TRANSLATE_NOOP("Core", "JFIF images"),
    QT_TRANSLATE_NOOP("Core", "JPE images"),
    QT_TRANSLATE_NOOP("Core", "JPEG images"),
    QT_TRANSLATE_NOOP("Core", "Run length encoded Windows bitmaps"),
    QT_TRANSLATE_NOOP("Core", "Device independant Windows bitmaps"),
    QT_TRANSLATE_NOOP("Core", "Truevision images"),
    QT_TRANSLATE_NOOP("Core", "Tagged image file format images"),
    QT_TRANSLATE_NOOP("Core", "Macintosh TIFF images"),
    QT_TRANSLATE_NOOP("Core", "PC TIF images"),
    QT_TRANSLATE_NOOP("Core", "GFI fax images"),
    QT_TRANSLATE_NOOP("Core", "Encapsulated Postscript images"),
    QT_TRANSLATE_NOOP("Core", "ZSoft Paintbrush images"),
    QT_TRANSLATE_NOOP("Core", "Word 5.x screen capture images"),
    QT_TRANSLATE_NOOP("Core", "Alias/Wavefront images"),
    QT_TRANSLATE_NOOP("Core", "SGI images"),
    QT_TRANSLATE_NOOP("Core", "SGI true color images"),
    QT_TRANSLATE_NOOP("Core", "SGI true color images with alpha"),
    QT_TRANSLATE_NOOP("Core", "SGI black/white images"),
    QT_TRANSLATE_NOOP("Core", "Photoshop images"),
    QT_TRANSLATE_NOOP("Core", "Portable map images"),
    QT_TRANSLATE_NOOP("Core", "Portable pixel map images"),
    QT_TRANSLATE_NOOP("Core", "Portable gray map images"),
    QT_TRANSLATE_NOOP("Core", "Portable bitmap images"),
    QT_TRANSLATE_NOOP("Core", "Autodesk images"),
    QT_TRANSLATE_NOOP("Core", "Kodak Photo-CD images"),
    QT_TRANSLATE_NOOP("Core", "Dr. Halo images"),
    QT_TRANSLATE_NOOP("Core", "Paintshop Pro images"),
    QT_TRANSLATE_NOOP("Core", "Portable network graphic images"),
    QT_TRANSLATE_NOOP("Core", "CompuServe GIF images"),
    QT_TRANSLATE_NOOP("Core", "WebP images"),
    QT_TRANSLATE_NOOP("Core", "SVG drawings"),
    QT_TRANSLATE_NOOP("Core", "JPEG XL images"),
    QT_TRANSLATE_NOOP("Core", "AVIF images"),
    QT_TRANSLATE_NOOP("Core", "HEIF images"),
    QT_TRANSLATE_NOOP("Core", "HEIC images"),
    QT_TRANSLATE_NOOP("Core", "FictionBook books"),
    QT_TRANSLATE_NOOP("Core", "FB2 books"),
    QT_TRANSLATE_NOOP("Core", "FB2 books in zip archives"),
    QT_TRANSLATE_NOOP("Core", "EPUB books"),
    QT_TRANSLATE_NOOP("Core", "Web pages"),
    QT_TRANSLATE_NOOP("Core", "HTML pages"),
    QT_TRANSLATE_NOOP("Core", "XHTML pages"),
    QT_TRANSLATE_NOOP("Core", "Kindle books"),
    QT_TRANSLATE_NOOP("Core", "MOBI books"),
    QT_TRANSLATE_NOOP("Core", "KF8 books"),
    QT_TRANSLATE_NOOP("Core", "Mobipocket books"),
    QT_TRANSLATE_NOOP("Core", "Word documents"),
    QT_TRANSLATE_NOOP("Core", "OpenDocument texts"),
    QT_TRANSLATE_NOOP("Core", "Rich text documents"),
    QT_TRANSLATE_NOOP("Core", "Markdown texts"),
    QT_TRANSLATE_NOOP("Core", "Comic archives"),
    QT_TRANSLATE_NOOP("Core", "Comic book zip archives"),
    QT_TRANSLATE_NOOP("Core", "Zip archives of pictures"),
    QT_TRANSLATE_NOOP("Core", "Comic book RAR archives"),
    QT_TRANSLATE_NOOP("Core", "RAR archives of pictures"),
    QT_TRANSLATE_NOOP("Core", "Comic book 7z archives"),
    QT_TRANSLATE_NOOP("Core", "7z archives of pictures"),
    QT_TRANSLATE_NOOP("Core", "Comic book tar archives"),
    QT_TRANSLATE_NOOP("Core", "Tar archives of pictures"),
    QT_TRANSLATE_NOOP("Core", "PDF documents"),
    QT_TRANSLATE_NOOP("Core", "PDF documents (their text, or pictures of their pages)"),
    QT_TRANSLATE_NOOP("Core", "DjVu documents"),
    QT_TRANSLATE_NOOP("Core", "DjVu documents (their hidden text, or pictures of their pages)"),
};

// The units of sizes, each 1024 times the one before.
const char* const kSizeUnits[] = {
    QT_TRANSLATE_NOOP("Core", "%1 B"),  QT_TRANSLATE_NOOP("Core", "%1 KB"),
    QT_TRANSLATE_NOOP("Core", "%1 MB"), QT_TRANSLATE_NOOP("Core", "%1 GB"),
    QT_TRANSLATE_NOOP("Core", "%1 TB"),
};

// One way of wording a message, as a pattern that finds what was filled in.
struct Wording {
  const char* source;
  bool join;
  QRegularExpression pattern;
  std::vector<int> places;  // for each group of the pattern, its placeholder: 1 to 9, or 0 for %n
};

Wording MakeWording(const char* source, const char* english, bool join) {
  const QString text = QString::fromUtf8(english);
  QString pattern;
  std::vector<int> places;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1].isDigit())) {
      const bool count = text[i + 1] == u'n';
      pattern += count ? QStringLiteral("(\\d+)") : QStringLiteral("(.*?)");
      places.push_back(count ? 0 : text[i + 1].digitValue());
      ++i;
    } else {
      pattern += QRegularExpression::escape(QString(text[i]));
    }
  }
  return {source, join,
          QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                             QRegularExpression::DotMatchesEverythingOption),
          std::move(places)};
}

const std::vector<Wording>& Wordings() {
  static const std::vector<Wording> wordings = [] {
    const auto round = [](const CoreMessage& m) {
      if (m.join) return 1;
      const std::string_view source = m.source;
      return source.find(": ") != source.npos || source.find(", ") != source.npos ? 0 : 2;
    };
    std::vector<Wording> all;
    for (int r = 0; r < 3; ++r)
      for (const CoreMessage& m : kMessages)
        for (const char* english : m.english[0] ? m.english : std::array<const char*, 2>{m.source, nullptr})
          if (english && round(m) == r) all.push_back(MakeWording(m.source, english, m.join));
    return all;
  }();
  return wordings;
}

// `pattern` with %1 ... %9 put in from `args`, in one pass, so that what was put in stays as it is.
QString Fill(const QString& pattern, const std::array<QString, 10>& args) {
  QString out;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1].isDigit() && pattern[i + 1] != u'0') {
      out += args[static_cast<size_t>(pattern[i + 1].digitValue())];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

QString Translate(const QString& text) {
  if (text.isEmpty()) return text;
  for (const Wording& w : Wordings()) {
    const QRegularExpressionMatch match = w.pattern.match(text);
    if (!match.hasMatch()) continue;
    std::array<QString, 10> args;
    int count = -1;
    for (size_t g = 0; g < w.places.size(); ++g) {
      const QString part = match.captured(static_cast<int>(g) + 1);
      if (w.places[g] == 0)
        count = part.toInt();
      else
        args[static_cast<size_t>(w.places[g])] = Translate(part);
    }
    if (w.join) return Fill(QString::fromUtf8(w.source), args);
    const QString translated = QCoreApplication::translate(kCoreContext, w.source, nullptr, count);
    QString untranslated = QString::fromUtf8(w.source);
    if (count >= 0) untranslated.replace(QStringLiteral("%n"), QString::number(count));
    // Without a translation the core's own words stay, in their own plural form.
    return translated == untranslated ? text : Fill(translated, args);
  }
  return text;
}

}  // namespace

QString CoreText(std::string_view english) {
  return Translate(QString::fromUtf8(english.data(), static_cast<qsizetype>(english.size())));
}

QString CoreText(std::u16string_view english) { return Translate(Q(english)); }

QString DamageOf(const std::exception& error) {
  if (const auto* decode = dynamic_cast<const DecodeError*>(&error)) return CoreText(decode->Reason());
  if (const auto* document = dynamic_cast<const DocumentError*>(&error)) return CoreText(document->Reason());
  if (dynamic_cast<const ReadError*>(&error) || dynamic_cast<const FileOpenError*>(&error) ||
      dynamic_cast<const CodecError*>(&error))
    return CoreText(std::string_view(error.what()));
  return {};
}

QString SizeText(int64_t size) {
  if (size < 0) return QStringLiteral("???");
  size_t unit = 0;
  while (unit + 1 < std::size(kSizeUnits) && size >= (int64_t{1} << (10 * (unit + 1)))) ++unit;
  const auto translated = [&](const QString& number) {
    return QCoreApplication::translate(kCoreContext, kSizeUnits[unit]).arg(number);
  };
  if (unit == 0) return translated(QString::number(size));
  // One digit after the separator, rounded to nearest (halves away from zero).
  const long long tenths =
      std::llround(static_cast<long double>(size) * 10 / static_cast<long double>(int64_t{1} << (10 * unit)));
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return translated(locale.toString(static_cast<double>(tenths) / 10, 'f', 1));
}

std::u16string FileTypesFilter(int sortMode, int options, const FileItemClass* itemClass) {
  return FileTypes().BuildFilter(sortMode, options, itemClass, [](const std::u16string& description) {
    return QCoreApplication::translate(kCoreContext,
                                       QString::fromStdU16String(description).toUtf8().constData())
        .toStdU16String();
  });
}

}  // namespace bookloom
