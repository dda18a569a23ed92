#include "ui/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <charconv>
#include <functional>
#include <string>
#include <type_traits>
#include <variant>

#include "book/SettingNames.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/IniFile.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

using Field = std::variant<int32_t Settings::*, bool Settings::*, std::u16string Settings::*>;

struct Key {
  const char16_t* section;
  const char16_t* name;
  Field field;
};

// The file's keys in the order they are written.
const Key kKeys[] = {
    {u"Bookloom", u"FormXPos", &Settings::windowLeft},
    {u"Bookloom", u"FormYPos", &Settings::windowTop},
    {u"Bookloom", u"FormXLen", &Settings::windowWidth},
    {u"Bookloom", u"FormYLen", &Settings::windowHeight},
    {u"Cover", u"CoverFileName", &Settings::coverFileName},
    {u"Cover", u"CoverColors", &Settings::coverColors},
    {u"Cover", u"EnlargeCover", &Settings::enlargeCover},
    {u"Cover", u"CoverLeft", &Settings::coverLeft},
    {u"Cover", u"CoverRight", &Settings::coverRight},
    {u"Cover", u"CoverTop", &Settings::coverTop},
    {u"Cover", u"CoverBottom", &Settings::coverBottom},
};

std::u16string Decimal(int32_t v) { return Utf8ToUtf16(std::to_string(v)); }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::u16string SettingsPathFor(const std::u16string& executablePath) {
  const size_t separator = executablePath.rfind(u'/');
  const size_t dot = executablePath.rfind(u'.');
  const bool hasExtension =
      dot != std::u16string::npos && (separator == std::u16string::npos || dot > separator);
  return (hasExtension ? executablePath.substr(0, dot) : executablePath) + u".ini";
}

QString UserSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/bookloom/bookloom.conf");
}

int32_t ParseProfileInteger(std::u16string_view text, int32_t def) {
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    uint64_t v = 0;
    for (char16_t c : text.substr(2)) {
      const int d = HexDigit(c);
      if (d < 0) return def;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFu) return def;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(v));
  }
  bool negative = false;
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) {
    negative = text[0] == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return def;
  int64_t v = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return def;
    v = v * 10 + (c - u'0');
    if (v > int64_t{0x80000000}) return def;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return def;
  return static_cast<int32_t>(v);
}

namespace {

// The value of a key in a section, `def` when there is none: from an old profile file or from the
// user's settings.
using Reader =
    std::function<std::u16string(const char16_t* section, const std::u16string& key, const char16_t* def)>;
// Sets the value of a key in a section of the user's settings.
using Writer =
    std::function<void(const char16_t* section, const std::u16string& key, const std::u16string& value)>;

QString KeyPath(const char16_t* section, const std::u16string& key) {
  return QString::fromStdU16String(std::u16string(section) + u"/" + key);
}

constexpr char16_t kRecentSection[] = u"Projects";

std::u16string RecentKey(size_t index) { return u"Recent" + Utf8ToUtf16(std::to_string(index + 1)); }

constexpr char16_t kDefaultsSection[] = u"BookDefaults";

std::u16string PatternKey(size_t index) { return u"ChapterPattern" + Utf8ToUtf16(std::to_string(index + 1)); }

std::u16string FlagText(bool value) { return value ? u"1" : u"0"; }

bool ReadFlag(const Reader& read, const char16_t* key, bool def) {
  return ParseProfileInteger(read(kDefaultsSection, key, u""), def ? 1 : 0) != 0;
}

template <class T, size_t N>
T ReadChoice(const Reader& read, const char16_t* key, const NamedChoice<T> (&choices)[N], T def) {
  const std::string name = Utf16ToUtf8(read(kDefaultsSection, key, u""));
  return ChoiceNamed(choices, name).value_or(def);
}

// The shortest decimal that reads back as the same number, whatever the locale.
std::u16string NumberText(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return Utf8ToUtf16(std::string(text, end));
}

double ReadGamma(const Reader& read, double def) {
  const std::string text = Utf16ToUtf8(read(kDefaultsSection, u"Gamma", u""));
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool valid = error == std::errc() && end == text.data() + text.size();
  return valid && value >= kMinGamma && value <= kMaxGamma ? value : def;
}

void LoadBookDefaults(FileSettings& settings, const Reader& read) {
  const FileSettings defaults;
  TextSettings& t = settings.text;
  t.encoding = Utf16ToUtf8(read(kDefaultsSection, u"Encoding", u""));
  t.chapters = ReadFlag(read, u"Chapters", defaults.text.chapters);
  t.chapterPatterns.clear();
  for (size_t i = 0;; ++i) {
    std::u16string pattern = read(kDefaultsSection, PatternKey(i), u"");
    if (pattern.empty()) break;
    t.chapterPatterns.push_back(std::move(pattern));
  }
  t.unwrap = ReadChoice(read, u"Unwrap", kUnwrapNames, defaults.text.unwrap);
  PictureSettings& p = settings.picture;
  const PictureSettings& d = defaults.picture;
  p.colors = ReadChoice(read, u"PictureMode", kColorsNames, d.colors);
  p.enlarge = ReadFlag(read, u"Enlarge", d.enlarge);
  p.rotation = ReadChoice(read, u"Rotate", kRotationNames, d.rotation);
  p.split = ReadChoice(read, u"Split", kSplitNames, d.split);
  p.crop = ReadFlag(read, u"Crop", d.crop);
  p.gamma = ReadGamma(read, d.gamma);
  p.autolevel = ReadFlag(read, u"Autolevel", d.autolevel);
  p.allFrames = ReadFlag(read, u"AllFrames", d.allFrames);
  settings.documentMode = ReadChoice(read, u"DocumentMode", kDocumentModeNames, defaults.documentMode);
}

void SaveBookDefaults(const FileSettings& settings, const Reader& read, const Writer& write) {
  const bool written = !read(kDefaultsSection, u"Encoding", u"\n").starts_with(u"\n");
  if (!written && settings == FileSettings()) return;
  const TextSettings& t = settings.text;
  write(kDefaultsSection, u"Encoding", Utf8ToUtf16(t.encoding));
  write(kDefaultsSection, u"Chapters", FlagText(t.chapters));
  // The patterns, then every slot a longer list left, emptied.
  for (size_t i = 0; i < t.chapterPatterns.size() || !read(kDefaultsSection, PatternKey(i), u"").empty(); ++i)
    write(kDefaultsSection, PatternKey(i), i < t.chapterPatterns.size() ? t.chapterPatterns[i] : u"");
  write(kDefaultsSection, u"Unwrap", Utf8ToUtf16(NameOf(kUnwrapNames, t.unwrap)));
  const PictureSettings& p = settings.picture;
  write(kDefaultsSection, u"PictureMode", Utf8ToUtf16(NameOf(kColorsNames, p.colors)));
  write(kDefaultsSection, u"Enlarge", FlagText(p.enlarge));
  write(kDefaultsSection, u"Rotate", Utf8ToUtf16(NameOf(kRotationNames, p.rotation)));
  write(kDefaultsSection, u"Split", Utf8ToUtf16(NameOf(kSplitNames, p.split)));
  write(kDefaultsSection, u"Crop", FlagText(p.crop));
  write(kDefaultsSection, u"Gamma", NumberText(p.gamma));
  write(kDefaultsSection, u"Autolevel", FlagText(p.autolevel));
  write(kDefaultsSection, u"AllFrames", FlagText(p.allFrames));
  write(kDefaultsSection, u"DocumentMode", Utf8ToUtf16(NameOf(kDocumentModeNames, settings.documentMode)));
}

}  // namespace

void NoteRecentProject(Settings& settings, const std::u16string& fileName) {
  auto& recent = settings.recentProjects;
  std::erase(recent, fileName);
  recent.insert(recent.begin(), fileName);
  if (recent.size() > kMaxRecentProjects) recent.resize(kMaxRecentProjects);
}

namespace {

void Load(Settings& settings, const Reader& read) {
  const Settings defaults;
  for (const Key& key : kKeys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(settings.*member)>;
          if constexpr (std::is_same_v<T, std::u16string>) {
            settings.*member = read(key.section, key.name, (defaults.*member).c_str());
          } else {
            const std::u16string text = read(key.section, key.name, u"");
            settings.*member = static_cast<T>(ParseProfileInteger(text, defaults.*member));
          }
        },
        key.field);
  }
  settings.recentProjects.clear();
  for (size_t i = 0; i < kMaxRecentProjects; ++i) {
    const std::u16string project = read(kRecentSection, RecentKey(i), u"");
    if (!project.empty()) settings.recentProjects.push_back(project);
  }
  LoadBookDefaults(settings.bookDefaults, read);
}

Reader SettingsReader(const QSettings& store) {
  return [&store](const char16_t* section, const std::u16string& key, const char16_t* def) {
    const QVariant value = store.value(KeyPath(section, key));
    return value.isValid() ? value.toString().toStdU16String() : std::u16string(def);
  };
}

}  // namespace

void LoadSettings(Settings& settings, const std::u16string& fileName) {
  const IniFile ini(fileName);
  Load(settings, [&ini](const char16_t* section, const std::u16string& key, const char16_t* def) {
    return ini.ReadString(section, key, def);
  });
}

void LoadSettings(Settings& settings, const QSettings& store) { Load(settings, SettingsReader(store)); }

void SaveSettings(const Settings& settings, QSettings& store) {
  const Reader read = SettingsReader(store);
  const Writer write = [&store](const char16_t* section, const std::u16string& key,
                                const std::u16string& value) {
    store.setValue(KeyPath(section, key), QString::fromStdU16String(value));
  };
  for (const Key& key : kKeys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(settings.*member)>;
          if constexpr (std::is_same_v<T, std::u16string>)
            write(key.section, key.name, settings.*member);
          else
            write(key.section, key.name, Decimal(static_cast<int32_t>(settings.*member)));
        },
        key.field);
  }
  // The list as it is now: a shorter one leaves none of a longer one behind.
  store.remove(QString::fromStdU16String(kRecentSection));
  for (size_t i = 0; i < settings.recentProjects.size(); ++i)
    write(kRecentSection, RecentKey(i), settings.recentProjects[i]);
  SaveBookDefaults(settings.bookDefaults, read, write);
  // QSettings makes the file's folder itself, but not a folder in the place of a file.
  QDir().mkpath(QFileInfo(store.fileName()).absolutePath());
  store.sync();
  if (store.status() != QSettings::NoError)
    Raise<WriteError>("Unable to write to %s", {store.fileName().toStdU16String()});
}

void LoadUserSettings(Settings& settings, const QString& userFile, const std::u16string& oldFile) {
  QSettings store(userFile, QSettings::IniFormat);
  if (QFileInfo::exists(userFile) || KindOf(oldFile) != FileKind::kRegular) {
    LoadSettings(settings, store);
    return;
  }
  LoadSettings(settings, oldFile);
  try {
    SaveSettings(settings, store);
  } catch (const WriteError&) {
    // Taken over again at the next start; closing the window says that the file cannot be written.
  }
}

}  // namespace bookloom
