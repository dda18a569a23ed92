// bookloom-cli formats: the file types a book can be made from, as a table, or as the open dialog's
// filter.
#include <algorithm>
#include <array>
#include <vector>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "book/FileTypes.h"
#include "platform/Utf.h"

namespace bookloom::cli {

namespace {

// The text followed by blanks up to `width` characters.
std::string Padded(const std::string& text, size_t width) {
  const size_t length = Utf8ToUtf16(text).size();
  return text + std::string(width > length ? width - length : 0, ' ');
}

class FormatsCommand : public Command {
 public:
  explicit FormatsCommand(CLI::App& app) {
    CLI::App& formats = *app.add_subcommand("formats", "lists the file types a book can be made from");
    formats.add_flag("--filter", filter_, "print the open dialog's filter string instead");
  }

  int Run(Console& console, const Runtime&) override {
    const FileTypeTable& types = FileTypes();
    if (filter_) {
      console.Result(Utf16ToUtf8(types.BuildFilter(1, kGroupByClass | kAllSupported, nullptr)));
      return 0;
    }
    std::vector<std::array<std::string, 3>> rows = {{"TYPE", "DESCRIPTION", "READ BY"}};
    for (const FileType& t : types.Rows())
      rows.push_back({"." + Utf16ToUtf8(t.ext), Utf16ToUtf8(t.Described()), t.reader});
    size_t widths[2] = {};
    for (const auto& row : rows)
      for (size_t c = 0; c < 2; ++c) widths[c] = std::max(widths[c], Utf8ToUtf16(row[c]).size());
    for (const auto& row : rows)
      console.Result(Padded(row[0], widths[0] + 2) + Padded(row[1], widths[1] + 2) + row[2]);
    return 0;
  }

 private:
  bool filter_ = false;
};

}  // namespace

std::unique_ptr<Command> AddFormatsCommand(CLI::App& app) { return std::make_unique<FormatsCommand>(app); }

}  // namespace bookloom::cli
