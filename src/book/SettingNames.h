// The names the choices of the settings go by, on the command line and in project files alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "documents/DocumentMode.h"
#include "pictures/PictureSettings.h"
#include "text/TextSettings.h"

namespace bookloom {

template <class T>
struct NamedChoice {
  const char* name;
  T value;
};

inline constexpr NamedChoice<PageColors> kColorsNames[] = {{"gray", PageColors::kGray4},
                                                           {"mono", PageColors::kMonochrome}};
inline constexpr NamedChoice<Rotation> kRotationNames[] = {{"none", Rotation::kNone},
                                                           {"auto", Rotation::kAuto},
                                                           {"left", Rotation::kLeft},
                                                           {"right", Rotation::kRight}};
inline constexpr NamedChoice<Split> kSplitNames[] = {
    {"none", Split::kNone}, {"ltr", Split::kLeftToRight}, {"rtl", Split::kRightToLeft}, {"auto", Split::kAuto}};
inline constexpr NamedChoice<Unwrap> kUnwrapNames[] = {
    {"off", Unwrap::kOff}, {"on", Unwrap::kOn}, {"auto", Unwrap::kAuto}};
inline constexpr NamedChoice<DocumentMode> kDocumentModeNames[] = {{"auto", DocumentMode::kAuto},
                                                                   {"text", DocumentMode::kText},
                                                                   {"pages", DocumentMode::kPages},
                                                                   {"reflow", DocumentMode::kReflow}};

template <class T, size_t N>
const char* NameOf(const NamedChoice<T> (&choices)[N], T value) {
  for (const NamedChoice<T>& c : choices)
    if (c.value == value) return c.name;
  return choices[0].name;
}

template <class T, size_t N>
std::optional<T> ChoiceNamed(const NamedChoice<T> (&choices)[N], std::string_view name) {
  for (const NamedChoice<T>& c : choices)
    if (name == c.name) return c.value;
  return std::nullopt;
}

// "a|b|c", for help texts and messages.
template <class T, size_t N>
std::string ChoiceNames(const NamedChoice<T> (&choices)[N]) {
  std::string names;
  for (const NamedChoice<T>& c : choices) names += (names.empty() ? "" : "|") + std::string(c.name);
  return names;
}

}  // namespace bookloom
