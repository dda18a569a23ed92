#include "support/SampleBooks.h"

#include "platform/Stream.h"

namespace bookloom::test {

Bitmap MonoPicture(int width, int height) {
  Bitmap b(width, height, PixelFormat::k1Bit);
  b.Fill(kWhite);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((x + y) % 7 == 0 || x == 0 || y == height - 1) b.SetPixel(x, y, kBlack);
  return b;
}

Bitmap GreyPicture(int width, int height) {
  static constexpr uint8_t kGreys[4] = {0, 128, 192, 255};
  Bitmap b(width, height, PixelFormat::k24Bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t g = kGreys[(x / 3 + y) % 4];
      b.SetPixel(x, y, {g, g, g});
    }
  return b;
}

std::vector<uint8_t> DeviceGreys(const Bitmap& picture) {
  std::vector<uint8_t> greys;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) greys.push_back(picture.Pixel(x, y).b);
  return greys;
}

std::string WriteBook(const std::function<void(BookWriter&)>& body,
                      const std::function<void(BookWriter&)>& head) {
  MemoryOutputStream out;
  BookWriter writer(out);
  writer.Description().SetValue(DescriptionFieldId::kTitle, "Sample");
  writer.WriteDescription();
  if (head) head(writer);
  writer.BeginBody();
  body(writer);
  writer.EndBody();
  writer.Finish();
  return out.Bytes();
}

std::vector<std::string> SampleParagraphs() {
  const std::string mama = "\xCC\xE0\xEC\xE0 \xEC\xFB\xEB\xE0 \xF0\xE0\xEC\xF3. ";  // "Мама мыла раму. "
  std::vector<std::string> p = {"Chapter one", "", "a&b <x> \"quoted\" 'single'"};
  for (int i = 0; i < 40; ++i) p.push_back(std::string(i % 5 + 1, ' ') + mama + std::to_string(i));
  std::string long_;
  for (int i = 0; i < 30; ++i) long_ += mama;
  p.push_back(long_);
  return p;
}

std::string SampleBook() {
  return WriteBook(
      [](BookWriter& w) {
        w.BeginText();
        w.AddTOCEntry(1, "Chapter \xCE\xE4\xE8\xED");  // "Один"
        const auto paragraphs = SampleParagraphs();
        for (size_t i = 0; i < paragraphs.size(); ++i) {
          w.AddParagraph(paragraphs[i]);
          if (i == 10) w.AddTOCEntry(2, "Section 1.1");
          if (i == 20) w.AddTOCEntry(3, "Subsection 1.1.1");
          if (i == 30) w.AddTOCEntry(2, "Section 1.2");
        }
        w.AddPicture(GreyPicture(13, 7), 2);
        w.AddTOCEntry(1, "First picture");
        w.AddPicture(MonoPicture(20, 9), 1);
        w.AddTOCEntry(1, "Second picture");
        w.BeginText();
        w.AddTOCEntry(1, "Empty");
        w.BeginText();  // still the same section
        w.CloseSection();
        w.BeginText();
        w.AddTOCEntry(1, std::string(45, 'T'));
        w.AddParagraph("The end");
      },
      [](BookWriter& w) { w.WriteCoverPicture(MonoPicture(24, 32), 1); });
}

}  // namespace bookloom::test
