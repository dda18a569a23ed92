// Profile files: sections of key=value lines, read and written as the settings file needs them.
#pragma once

#include <string>
#include <vector>

namespace bookloom {

// The whole file is held as its lines, so writing a value keeps every other line, comment and
// order as it was. Section and key names compare without regard to ASCII case.
class IniFile {
 public:
  // The longest value ReadString returns, in UTF-16 code units.
  static constexpr size_t kMaxValueLength = 2047;

  // Reads the file (UTF-8); a missing or unreadable file gives an empty profile.
  explicit IniFile(std::u16string fileName);

  const std::u16string& FileName() const { return fileName_; }

  // The value of the key in the section with blanks around it removed, and one pair of
  // enclosing quotes (" or ') taken off; `def` when the section or the key is missing.
  // A longer value is cut to kMaxValueLength.
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) const;

  // Sets the key's line to key=value: in place when the key exists, else after the section's
  // last entry; a missing section is added at the end of the file.
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // Writes all lines to the file; false when the file cannot be created or written.
  bool UpdateFile() const;

 private:
  // Index of the section's header line, lines_.size() when there is none.
  size_t FindSection(std::u16string_view section) const;
  // One past the section's last line (the next header or the end of the file).
  size_t SectionEnd(size_t header) const;
  // Index of the key's line within [begin, end), `end` when there is none.
  size_t FindKey(size_t begin, size_t end, std::u16string_view key) const;

  std::u16string fileName_;
  std::vector<std::u16string> lines_;
};

}  // namespace bookloom
