// The program's settings: the window's bounds, the cover defaults and the file settings of every
// new book, kept in the user's configuration folder; an old profile file beside the executable is
// taken over once.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "book/FileSettings.h"

class QSettings;

namespace bookloom {

struct Settings {
  int32_t windowLeft = -1;    // window left edge, applied when at least 0
  int32_t windowTop = -1;     // window top edge, applied when at least 0
  int32_t windowWidth = -1;   // window width, applied when greater than 0
  int32_t windowHeight = -1;  // window height, applied when greater than 0
  std::u16string coverFileName;
  int32_t coverColors = 0;  // 0 no cover page, 1 monochrome, 2 four grey levels
  bool enlargeCover = true;
  int32_t coverLeft = 0;
  int32_t coverRight = 0;
  int32_t coverTop = 0;
  int32_t coverBottom = 0;
  // The projects opened or saved last, the latest first; kept in a section of their own, written
  // once there is one.
  std::vector<std::u16string> recentProjects;
  // The settings a new book gives its files; kept in a section of their own, written once they
  // differ from the built-in ones.
  FileSettings bookDefaults;
};

inline constexpr size_t kMaxRecentProjects = 8;

// Puts a project first in the list of recent ones, keeping at most kMaxRecentProjects.
void NoteRecentProject(Settings& settings, const std::u16string& fileName);

// The old settings file of an executable, kept beside it by earlier versions: its path with the
// extension replaced by ".ini", or ".ini" appended when the name has no extension.
std::u16string SettingsPathFor(const std::u16string& executablePath);

// The user's settings file: bookloom/bookloom.conf in the configuration folder ($XDG_CONFIG_HOME,
// else ~/.config).
QString UserSettingsPath();

// Reads every value from an old profile file: a value that is missing or does not parse gives its
// default; integers beginning with "0x" are hexadecimal; booleans are integers, non-zero true.
void LoadSettings(Settings& settings, const std::u16string& fileName);

// Reads every value from the user's settings, with the same keys, sections and rules.
void LoadSettings(Settings& settings, const QSettings& store);

// Writes every value into the user's settings and onto their disk. Raises WriteError "Unable to
// write to %s" when the file cannot be written.
void SaveSettings(const Settings& settings, QSettings& store);

// Reads the user's settings from `userFile`; while that file does not exist, from the old profile
// file `oldFile`, whose values are then written to `userFile` at once (quietly: closing the window
// reports a file that cannot be written), so that they are taken over only once.
void LoadUserSettings(Settings& settings, const QString& userFile, const std::u16string& oldFile);

// A profile integer: decimal with an optional sign, or hexadecimal after "0x" / "0X" (up to 32
// bits, taken as signed); anything else, or a decimal outside 32 bits, gives `def`.
int32_t ParseProfileInteger(std::u16string_view text, int32_t def);

}  // namespace bookloom
