// A cover made from the book's title, author and series, for a book that has no picture for one.
#pragma once

#include <memory>
#include <string>

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

struct TitleCoverTexts {
  std::u16string title, author, series;
};

// A grey picture of the device page with the texts set on it: the author at the top, the title in the
// middle, the series below it, each wrapped and sized to fit. Raises Exception when the cover module
// (loaded into the run at the first cover) cannot be loaded or cannot draw.
std::unique_ptr<Graphic> DrawTitleCover(const Runtime& runtime, const TitleCoverTexts& texts);

}  // namespace bookloom
