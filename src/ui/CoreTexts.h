// The English texts of the book's layers in the window's language: the names of the file types,
// the reasons an input is refused, the warnings of a build, and the sizes of files.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace bookloom {

struct FileItemClass;

// The translation context of the core's texts.
inline constexpr char kCoreContext[] = "Core";

// `english` as the window shows it. A text the core fills in from a message of its own (a count, a
// file name, a title) is recognised by that message and translated before what was filled in is
// put back, translated in turn where it is a message too; a text the window does not know (a
// library's reason) stays as it is, and so does every text in an English window.
QString CoreText(std::string_view english);
QString CoreText(std::u16string_view english);

// Why a file cannot be read, in the window's language, when `error` says so (it cannot be opened or
// read, or its content cannot be decoded: it is damaged, cut short, or not what its name says); empty
// for any other error.
QString DamageOf(const std::exception& error);

// A size in bytes as the file list shows it: bytes below 1 KB, else the largest unit it reaches
// with one digit after the user's decimal separator, rounded to nearest; "???" for no size.
QString SizeText(int64_t size);

// The filter of a file dialog that lists the file types of `itemClass` (null: every class), as the
// file type table builds it, with every description in the window's language.
std::u16string FileTypesFilter(int sortMode, int options, const FileItemClass* itemClass);

}  // namespace bookloom
