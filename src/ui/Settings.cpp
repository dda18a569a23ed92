#include "ui/Settings.h"

#include <string>
#include <type_traits>
#include <variant>

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

std::u16string SettingsFileName() { return SettingsPathFor(ExecutablePath()); }

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

constexpr char16_t kRecentSection[] = u"Projects";

std::u16string RecentKey(size_t index) { return u"Recent" + Utf8ToUtf16(std::to_string(index + 1)); }

}  // namespace

void NoteRecentProject(Settings& settings, const std::u16string& fileName) {
  auto& recent = settings.recentProjects;
  std::erase(recent, fileName);
  recent.insert(recent.begin(), fileName);
  if (recent.size() > kMaxRecentProjects) recent.resize(kMaxRecentProjects);
}

void LoadSettings(Settings& settings, const std::u16string& fileName) {
  const IniFile ini(fileName);
  const Settings defaults;
  for (const Key& key : kKeys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(settings.*member)>;
          if constexpr (std::is_same_v<T, std::u16string>) {
            settings.*member = ini.ReadString(key.section, key.name, defaults.*member);
          } else {
            const std::u16string text = ini.ReadString(key.section, key.name, u"");
            settings.*member = static_cast<T>(ParseProfileInteger(text, defaults.*member));
          }
        },
        key.field);
  }
  settings.recentProjects.clear();
  for (size_t i = 0; i < kMaxRecentProjects; ++i) {
    const std::u16string project = ini.ReadString(kRecentSection, RecentKey(i), u"");
    if (!project.empty()) settings.recentProjects.push_back(project);
  }
}

void SaveSettings(const Settings& settings, const std::u16string& fileName) {
  IniFile ini(fileName);
  for (const Key& key : kKeys) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(settings.*member)>;
          if constexpr (std::is_same_v<T, std::u16string>)
            ini.WriteString(key.section, key.name, settings.*member);
          else
            ini.WriteString(key.section, key.name, Decimal(static_cast<int32_t>(settings.*member)));
        },
        key.field);
  }
  // Every slot once the list has been written at all, so that a shorter list leaves none behind.
  const bool written = !ini.ReadString(kRecentSection, RecentKey(0), u"").empty();
  if (written || !settings.recentProjects.empty())
    for (size_t i = 0; i < kMaxRecentProjects; ++i)
      ini.WriteString(kRecentSection, RecentKey(i),
                      i < settings.recentProjects.size() ? settings.recentProjects[i] : u"");
  if (!ini.UpdateFile()) Raise<WriteError>("Unable to write to %s", {fileName});
}

}  // namespace bookloom
