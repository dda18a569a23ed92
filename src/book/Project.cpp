#include "book/Project.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "book/InputFiles.h"
#include "book/SettingNames.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "wolf/BookRecords.h"

namespace bookloom {

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

constexpr char kFormat[] = "bookloom-project";
constexpr int kVersion = 1;

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

// The path relative to the folder when it lies inside it, otherwise as it is.
std::string Relative(const std::u16string& path, const std::u16string& folder) {
  if (path.empty()) return "";
  const fs::path relative = fs::path(path).lexically_relative(fs::path(folder));
  const bool inside = !relative.empty() && *relative.begin() != "..";
  return inside ? relative.string() : fs::path(path).string();
}

std::u16string Absolute(const std::string& path, const std::u16string& folder) {
  if (path.empty()) return u"";
  const fs::path p(path);
  return (p.is_absolute() ? p : (fs::path(folder) / p).lexically_normal()).u16string();
}

// The choice of that name; an unknown name makes the project unreadable.
template <class T, size_t N>
T ChoiceOf(const json& j, const char* key, const NamedChoice<T> (&choices)[N], T fallback) {
  if (!j.contains(key)) return fallback;
  const std::string name = j.at(key).get<std::string>();
  const std::optional<T> value = ChoiceNamed(choices, name);
  if (!value)
    throw json::other_error::create(501, std::string(key) + " is not one of " + ChoiceNames(choices), &j);
  return *value;
}

json SettingsJson(const FileSettings& settings) {
  const PictureSettings& p = settings.picture;
  const TextSettings& t = settings.text;
  json patterns = json::array();
  for (const std::u16string& pattern : t.chapterPatterns) patterns.push_back(Utf8(pattern));
  json j = {{"picture",
             {{"enlarge", p.enlarge},
              {"mode", NameOf(kColorsNames, p.colors)},
              {"rotate", NameOf(kRotationNames, p.rotation)},
              {"split", NameOf(kSplitNames, p.split)},
              {"crop", p.crop},
              {"gamma", p.gamma},
              {"autolevel", p.autolevel},
              {"allFrames", p.allFrames},
              {"reflowHeight", p.reflowHeight}}},
            {"text",
             {{"encoding", t.encoding},
              {"chapters", t.chapters},
              {"chapterPatterns", patterns},
              {"unwrap", NameOf(kUnwrapNames, t.unwrap)}}},
            {"documentMode", NameOf(kDocumentModeNames, settings.documentMode)}};
  if (p.clean) j["picture"]["clean"] = *p.clean;  // unset: scanned documents' pages only
  return j;
}

// Settings the file leaves out keep their defaults.
FileSettings SettingsOf(const json& j) {
  FileSettings settings;
  PictureSettings& p = settings.picture;
  const json picture = j.value("picture", json::object());
  p.enlarge = picture.value("enlarge", p.enlarge);
  p.colors = ChoiceOf(picture, "mode", kColorsNames, p.colors);
  p.rotation = ChoiceOf(picture, "rotate", kRotationNames, p.rotation);
  p.split = ChoiceOf(picture, "split", kSplitNames, p.split);
  p.crop = picture.value("crop", p.crop);
  p.gamma = picture.value("gamma", p.gamma);
  p.autolevel = picture.value("autolevel", p.autolevel);
  p.allFrames = picture.value("allFrames", p.allFrames);
  if (const auto clean = picture.find("clean"); clean != picture.end() && clean->is_boolean())
    p.clean = clean->get<bool>();
  p.reflowHeight =
      std::clamp(picture.value("reflowHeight", p.reflowHeight), kMinReflowHeight, kMaxReflowHeight);
  TextSettings& t = settings.text;
  const json text = j.value("text", json::object());
  t.encoding = text.value("encoding", t.encoding);
  t.chapters = text.value("chapters", t.chapters);
  for (const std::string& pattern : text.value("chapterPatterns", std::vector<std::string>()))
    t.chapterPatterns.push_back(Utf8ToUtf16(pattern));
  t.unwrap = ChoiceOf(text, "unwrap", kUnwrapNames, t.unwrap);
  settings.documentMode = ChoiceOf(j, "documentMode", kDocumentModeNames, settings.documentMode);
  return settings;
}

// An entry's edit: the entry by its place and title, then only what the edit changes.
json EditsJson(const ContentsEdits& edits) {
  json list = json::array();
  for (const ContentsEdit& edit : edits) {
    json j = {{"entry", edit.index}, {"title", Utf8(edit.original)}};
    if (!edit.title.empty()) j["newTitle"] = Utf8(edit.title);
    if (edit.levelShift != 0) j["levelShift"] = edit.levelShift;
    if (edit.omitted) j["omitted"] = true;
    list.push_back(j);
  }
  return list;
}

ContentsEdits EditsOf(const json& list) {
  ContentsEdits edits;
  for (const json& j : list) {
    ContentsEdit edit;
    edit.index = j.at("entry").get<size_t>();
    edit.original = Utf8ToUtf16(j.at("title").get<std::string>());
    edit.title = Utf8ToUtf16(j.value("newTitle", std::string()));
    edit.levelShift = j.value("levelShift", 0);
    edit.omitted = j.value("omitted", false);
    edits.push_back(edit);
  }
  return edits;
}

json DescriptionJson(const BookDescription& description) {
  json j = json::object();
  for (const DescriptionText& t : DescriptionTexts())
    if (!(description.*t.text).empty())
      j[kDescriptionFields[static_cast<size_t>(t.field)].name] = Utf8(description.*t.text);
  return j;
}

BookDescription DescriptionOf(const json& j) {
  BookDescription description;
  for (const DescriptionText& t : DescriptionTexts()) {
    const char* name = kDescriptionFields[static_cast<size_t>(t.field)].name;
    if (j.contains(name)) description.*t.text = Utf8ToUtf16(j.at(name).get<std::string>());
  }
  return description;
}

json CoverJson(const CoverPage& cover, const std::u16string& folder) {
  const Margins& m = cover.margins;
  json j = {{"file", Relative(cover.fileName, folder)},
            {"mode", cover.coverMode == 0 ? "none" : NameOf(kColorsNames, PageColorsOfBits(cover.coverMode))},
            {"enlarge", cover.enlarge},
            {"margins", {m.left, m.right, m.top, m.bottom}}};
  if (cover.fromTitle) j["fromTitle"] = true;
  return j;
}

CoverPage CoverOf(const json& j, const std::u16string& folder) {
  CoverPage cover;
  cover.fileName = Absolute(j.value("file", std::string()), folder);
  const bool none = j.value("mode", std::string("none")) == "none";
  cover.coverMode = none ? 0 : BitsOf(ChoiceOf(j, "mode", kColorsNames, PageColors::kGray4));
  cover.enlarge = j.value("enlarge", true);
  cover.fromTitle = j.value("fromTitle", false);
  const std::vector<int> margins = j.value("margins", std::vector<int>{0, 0, 0, 0});
  if (margins.size() == 4) cover.margins = {margins[0], margins[1], margins[2], margins[3]};
  return cover;
}

std::u16string FolderOf(const std::u16string& fileName) {
  return fs::absolute(fs::path(fileName)).parent_path().u16string();
}

// What is wrong with a project's JSON, for a user: where its text breaks off or goes wrong, else the
// JSON library's reason without its "[json.exception.…]" tag.
std::string JsonProblem(const json::exception& e) {
  if (const auto* parse = dynamic_cast<const json::parse_error*>(&e))
    return Format("it is damaged or cut short at byte %d", {static_cast<int64_t>(parse->byte)});
  const std::string_view what = e.what();
  const size_t tag = what.starts_with('[') ? what.find("] ") : std::string_view::npos;
  return std::string(tag == std::string_view::npos ? what : what.substr(tag + 2));
}

}  // namespace

std::string ProjectToJson(const Project& project, const std::u16string& folder) {
  json files = json::array();
  for (const ProjectFile& file : project.files) {
    json entry = {{"path", Relative(file.path, folder)}};
    if (file.ownSettings) entry["settings"] = SettingsJson(file.settings);
    if (!file.contents.empty()) entry["contents"] = EditsJson(file.contents);
    files.push_back(entry);
  }
  const json document = {{"format", kFormat},
                         {"version", kVersion},
                         {"description", DescriptionJson(project.description)},
                         {"cover", CoverJson(project.cover, folder)},
                         {"settings", SettingsJson(project.settings)},
                         {"files", files}};
  return document.dump(2) + "\n";
}

Project ProjectFromJson(const std::string& text, const std::u16string& folder,
                        const std::u16string& fileName) {
  try {
    const json document = json::parse(text);
    if (!document.is_object() || document.value("format", std::string()) != kFormat)
      Raise<ProjectError>("\"%s\" is not a Bookloom project", {fileName});
    if (document.value("version", 0) > kVersion)
      Raise<ProjectError>("\"%s\" was written by a newer Bookloom", {fileName});
    Project project;
    project.description = DescriptionOf(document.value("description", json::object()));
    project.cover = CoverOf(document.value("cover", json::object()), folder);
    project.settings = SettingsOf(document.value("settings", json::object()));
    for (const json& entry : document.value("files", json::array())) {
      ProjectFile file;
      file.path = Absolute(entry.at("path").get<std::string>(), folder);
      file.ownSettings = entry.contains("settings");
      file.settings = file.ownSettings ? SettingsOf(entry.at("settings")) : project.settings;
      file.contents = EditsOf(entry.value("contents", json::array()));
      project.files.push_back(file);
    }
    return project;
  } catch (const json::exception& e) {
    Raise<ProjectError>("\"%s\" is not a readable project: %s", {fileName, JsonProblem(e)});
  }
}

Project MakeProject(const FileList& files, const BookDescription& description, const CoverPage& cover,
                    const FileSettings& settings) {
  Project project{description, cover, settings, {}};
  for (int i = 0; i < files.Count(); ++i) {
    const FileItem& item = files.Items(i);
    project.files.push_back({item.FileName(), item.Settings(), item.HasOwnSettings(), item.Edits()});
  }
  return project;
}

FileList MakeProjectItems(const Runtime& runtime, const Project& project,
                          std::vector<std::string>& problems) {
  FileList files;
  for (const ProjectFile& file : project.files) {
    try {
      std::unique_ptr<FileItem> item = MakeInputItem(
          runtime, file.path, file.ownSettings ? file.settings : project.settings, file.ownSettings);
      item->SetEdits(file.contents);
      files.Add(std::move(item));
    } catch (const InputError& e) {
      problems.push_back(e.what());
    }
  }
  return files;
}

void SaveProject(const Project& project, const std::u16string& fileName) {
  WriteFileReplacing(fileName, ProjectToJson(project, FolderOf(fileName)));
}

Project LoadProject(const std::u16string& fileName) {
  return ProjectFromJson(ReadFileBytes(fileName), FolderOf(fileName), fileName);
}

}  // namespace bookloom
