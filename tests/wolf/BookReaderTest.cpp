#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "support/SampleBooks.h"
#include "wolf/BookFormat.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

// The message of the error the reader raises for these bytes; "" when it accepts them. Any
// other kind of error fails the test.
std::string Rejection(const std::string& bytes) {
  try {
    BookReader reader(bytes);
    return "";
  } catch (const BookFormatError& e) {
    return e.what();
  }
}

class DamagedBook : public ::testing::Test {
 protected:
  const std::string good_ = test::SampleBook();
  const BookReader reader_{good_};
  const BookContents& book_ = reader_.Book();
};

TEST_F(DamagedBook, TruncatedOrLengthenedIsRejected) {
  for (size_t length = 0; length < good_.size(); ++length)
    EXPECT_NE(Rejection(good_.substr(0, length)), "") << length;
  EXPECT_NE(Rejection(good_ + '\0'), "");
}

TEST_F(DamagedBook, EveryChangedStructureFieldIsRejected) {
  // Fields whose change the reader must report, with the offset its message names (kAnywhere
  // where the damage shows further on).
  constexpr size_t kAnywhere = SIZE_MAX;
  struct Field {
    size_t offset;
    size_t reported;
  };
  std::vector<Field> fields;
  const auto same = [&](size_t offset) { fields.push_back({offset, offset}); };
  for (size_t o : {0, 13, 17, 34, 64, 75, 95, 101, 127}) same(o);
  for (size_t o : {23, 25, 30, 38, 60}) fields.push_back({o, 0});  // the blocks no longer add up
  const uint32_t cover = book_.cover->position;
  for (size_t o : {0, 4, 6}) same(cover + o);
  same(book_.cover->dataStart + book_.cover->dataLength - 1);  // the closing zero byte
  same(book_.bodyStart);
  for (const SectionData& s : book_.sections) same(s.position);
  for (const PictureData& p : book_.sections[1].images) {
    fields.push_back({p.position, p.position == book_.sections[1].position + 9 ? kAnywhere : p.position});
    fields.push_back({p.position + 10, p.position});  // the "u" of "bitcount"
    same(p.dataStart + p.dataLength - 1);
  }
  const uint32_t sub = GetU32(good_, 97);
  same(sub);
  const uint32_t records = sub + 12;
  for (size_t i = 0; i < book_.toc.size(); ++i) {
    const uint32_t r = records + 80 * static_cast<uint32_t>(i);
    for (size_t o : {4, 10, 12, 16, 20, 24, 31}) same(r + o);
    for (size_t o : {32, 79}) fields.push_back({r + o, r + 31});
  }
  const size_t catalogEnd = book_.bodyStart + book_.bodyLength + GetU32(good_, 30);
  same(catalogEnd - 14);  // 0x08 before "</subcatalog>"
  same(catalogEnd);
  const size_t positions = catalogEnd + 21;
  same(positions);
  for (int i = 1; i < 12; ++i) fields.push_back({positions + 4 * i, kAnywhere});
  same(positions + 48);
  // Page list entries and the -1 that ends each section of the table.
  size_t at = positions + 64;
  for (int k = 0; k < 4; ++k) {
    for (int j = 2 * k; j <= 2 * k + 1; ++j)
      for (size_t i = 0; i < book_.pageLists[j].size(); ++i, at += 4) same(at);
    same(at);
    at += 4;
  }
  ASSERT_EQ(at, good_.size());

  for (const Field& f : fields) {
    for (uint8_t mask : {0x01, 0x80}) {
      std::string bad = good_;
      bad[f.offset] = static_cast<char>(bad[f.offset] ^ mask);
      const std::string message = Rejection(bad);
      const std::string where = message.substr(0, message.find(':') + 1);
      if (f.reported == kAnywhere)
        EXPECT_EQ(where.substr(0, 7), "Offset ")
            << "byte " << f.offset << " ^ " << int(mask) << ": " << message;
      else
        EXPECT_EQ(where, "Offset " + std::to_string(f.reported) + ":")
            << "byte " << f.offset << " ^ " << int(mask) << ": " << message;
    }
  }
}

TEST_F(DamagedBook, AnyChangedByteIsReadSafely) {
  // A changed letter of a paragraph may still be a sound book; nothing may crash or raise other errors.
  int rejected = 0;
  for (size_t i = 0; i < good_.size(); ++i) {
    std::string bad = good_;
    bad[i] = static_cast<char>(bad[i] ^ 0x21);
    if (!Rejection(bad).empty()) ++rejected;
  }
  EXPECT_GT(rejected, static_cast<int>(good_.size() / 2));
}

TEST(BookReader, ReportsWhatIsWrongInTextAndTags) {
  const std::string good = test::WriteBook([](BookWriter& w) {
    w.AddParagraph("a\tc");  // a tab is text the writer keeps
    w.AddPicture(test::MonoPicture(8, 1), 1);
  });
  const BookReader reader(good);
  const uint32_t paragraph = reader.Book().sections[0].paragraphStarts[0];
  const uint32_t picture = reader.Book().sections[1].images[0].position;
  const struct {
    size_t at;
    std::string replacement;
    std::string message;
  } cases[] = {
      {paragraph + 1, "&",
       "Offset " + std::to_string(paragraph + 1) + ": section 1, paragraph 1: \"&\" that begins none"},
      {paragraph + 1, ">", "unescaped \">\""},
      {paragraph + 1, "\n", "section 1, paragraph 1: control byte 0x0A in text"},
      {paragraph + 3, "x", "is not ended by CR"},
      {picture + 5, "B", "expected \"<img bitcount=\""},
      {picture + 14, "3", "3 bits per pixel"},
      {picture + 24, "0", "not compact=1"},
  };
  for (const auto& c : cases) {
    std::string bad = good;
    bad.replace(c.at, c.replacement.size(), c.replacement);
    EXPECT_NE(Rejection(bad).find(c.message), std::string::npos) << Rejection(bad);
  }
}

std::string Decimal(unsigned __int128 value) {
  std::string digits;
  do digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
  while ((value /= 10) != 0);
  return digits;
}

// A book of one picture with `value` written for one number of the picture's tag, every length and
// position after it moved along, so that only the number itself can be at fault.
std::string WithTagNumber(const std::string& book, const std::string& name, const std::string& value) {
  const size_t at = book.find(" " + name + "=") + name.size() + 2;
  const size_t end = book.find_first_of(" >", at);
  std::string out = book;
  out.replace(at, end - at, value);
  const auto delta = static_cast<uint32_t>(out.size() - book.size());
  PutU32(out, kBodyLengthField.offset, GetU32(out, kBodyLengthField.offset) + delta);
  // The one page list entry per layout is the section's start, before the tag; the positions of the
  // lists themselves lie after it.
  const size_t table = out.rfind(kPageTableOpen) + kPageTableOpen.size();
  for (size_t i = 0; i < 13; ++i) PutU32(out, table + 4 * i, GetU32(out, table + 4 * i) + delta);
  return out;
}

TEST(BookReader, ReadsEveryNumberOfThePictureTagAsWrittenOnly) {
  const std::string good = test::WriteBook([](BookWriter& w) { w.AddPicture(test::MonoPicture(8, 2), 1); });
  const uint32_t length = BookReader(good).Book().sections[0].images[0].dataLength;
  const struct {
    std::string name;
    uint64_t value;
  } numbers[] = {
      {"bitcount", 1}, {"compact", 1}, {"width", 8}, {"height", 2}, {"length", length}};
  for (const auto& n : numbers) {
    const std::string v = std::to_string(n.value);
    ASSERT_EQ(Rejection(WithTagNumber(good, n.name, v)), "") << n.name;  // the edit itself is sound
    // Forms that a lax reader would take for the same number, and forms that hold none.
    for (const std::string& bad :
         {"0" + v, "00" + v, "+" + v, "-" + v, " " + v, std::string(), std::to_string(n.value + (1ull << 31)),
          std::to_string(n.value + (1ull << 32)),
          Decimal(n.value + (static_cast<unsigned __int128>(1) << 64)), std::string(11, '9')}) {
      const std::string message = Rejection(WithTagNumber(good, n.name, bad));
      EXPECT_NE(message.find(n.name + " is not a decimal number"), std::string::npos)
          << n.name << "=" << bad << ": " << message;
    }
  }
}

}  // namespace
}  // namespace bookloom
