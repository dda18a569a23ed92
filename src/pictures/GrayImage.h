// Grey pictures, the form every picture takes on its way to the page: one byte a pixel, rows from the
// top. A view shows rows where they lie (a whole picture or a part of one); an image owns its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace bookloom {

class Bitmap;
class Graphic;

struct GrayView {
  const uint8_t* top = nullptr;  // the first row
  size_t stride = 0;             // bytes from one row to the next
  int width = 0;
  int height = 0;

  const uint8_t* Row(int y) const { return top + static_cast<size_t>(y) * stride; }
  // The part of partWidth x partHeight pixels from (x, y), which lies inside the view.
  GrayView Part(int x, int y, int partWidth, int partHeight) const {
    return {Row(y) + x, stride, partWidth, partHeight};
  }
};

class GrayImage {
 public:
  GrayImage() = default;
  // width x height pixels, every one to be written before it is read.
  GrayImage(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  uint8_t* Row(int y) { return pixels_.get() + static_cast<size_t>(y) * width_; }
  const uint8_t* Row(int y) const { return pixels_.get() + static_cast<size_t>(y) * width_; }
  GrayView View() const { return {pixels_.get(), static_cast<size_t>(width_), width_, height_}; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<uint8_t[]> pixels_;
};

// The rows of a grey graphic where they lie.
GrayView ViewOf(const Graphic& gray);

// A bitmap made grey: each colour (an indexed bitmap's from its colour table) by GrayOf, and the
// pixels of a transparent bitmap's transparent colour white, as on a white page.
GrayImage GrayOf(const Bitmap& bitmap);

}  // namespace bookloom
