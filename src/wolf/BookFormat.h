// The layout of a Wolf book file: the fields of its header, the tags around its blocks and the
// sizes and fields of its records. The book writer and the book reader take every such fact from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bookloom {

// The largest position a book can hold: every position in the file is 32-bit.
inline constexpr uint64_t kMaxBookPosition = 0xFFFFFFFFu;

// ---- The header: 128 bytes, zero but for these fields.

inline constexpr size_t kHeaderSize = 128;

// The bytes of the header that hold one field, little-endian.
struct HeaderField {
  size_t offset;
  size_t width;
};

inline constexpr std::string_view kBookMagic = "WolfEbook1.11";
inline constexpr HeaderField kMagicField{0, 13};
inline constexpr HeaderField kFormatVersionField{17, 2};      // always kFormatVersion
inline constexpr HeaderField kDescriptionLengthField{23, 2};  // the description block, from byte 128
inline constexpr HeaderField kCoverLengthField{25, 4};        // the cover record and its data; 0 for none
inline constexpr HeaderField kCatalogLengthField{30, 4};      // the catalog and subcatalog, after the body
inline constexpr HeaderField kChapterCountField{34, 2};       // catalog items: first-level entries
inline constexpr HeaderField kBodyLengthField{38, 4};         // the body, after the cover
inline constexpr HeaderField kPageTableLengthField{60, 4};    // the page table, after the catalog
inline constexpr HeaderField kPageTableVersionField{64, 2};   // always kPageTableVersion
inline constexpr HeaderField kPageCountField{66, 4};          // pages of layout 0
inline constexpr HeaderField kPageCountAgainField{75, 4};     // the same count once more
inline constexpr HeaderField kLowerEntryCountField{95, 2};    // table-of-contents entries below level 1
inline constexpr HeaderField kSubcatalogField{97, 4};         // the subcatalog's position; 0 for none

inline constexpr HeaderField kHeaderFields[] = {
    kMagicField,       kFormatVersionField,   kDescriptionLengthField,
    kCoverLengthField, kCatalogLengthField,   kChapterCountField,
    kBodyLengthField,  kPageTableLengthField, kPageTableVersionField,
    kPageCountField,   kPageCountAgainField,  kLowerEntryCountField,
    kSubcatalogField};

inline constexpr uint16_t kFormatVersion = 513;
inline constexpr uint16_t kPageTableVersion = 1;

// ---- The description: one line per field, "<tag>value\r\n", in the order of the fields.

enum class DescriptionFieldId : int {
  kTitle,
  kSubject,
  kAuthor,
  kAdapter,
  kTranslator,
  kTimeWrite,
  kPublisher,
  kTimePublish,
  kRights,
  kCharset,
  kPatent,
  kIntroduction,
  kIsbn,
  kPublishingCorporation,
  kWolfId,
  kSoftVersion,
  kTimeProduce,
  kAllInfo,
};
inline constexpr int kDescriptionFieldCount = 18;

// ---- The cover: a 10-byte record, then the picture's compressed rows and a zero byte.

inline constexpr size_t kCoverRecordSize = 10;
inline constexpr uint16_t kCoverRecordMark = 1;  // the record's first field
// The size of the cover the reader shows: its whole screen.
inline constexpr int kCoverWidth = 600;
inline constexpr int kCoverHeight = 800;
inline constexpr size_t kCoverWidthAt = 2;
inline constexpr size_t kCoverBitCountAt = 4;
inline constexpr size_t kCoverRowBytesAt = 6;  // bit count x width / 8, rounded down
inline constexpr size_t kCoverHeightAt = 8;

// ---- The body: sections of text paragraphs (each ended by CR) or of pictures.

inline constexpr std::string_view kBodyOpen = "<wolf>\r\n";
inline constexpr std::string_view kBodyClose = "</wolf>";
inline constexpr std::string_view kSectionOpen = "<catalog>";
inline constexpr std::string_view kSectionClose = "</catalog>";
// A picture: "<img bitcount=B compact=C width=W height=H length=L>", L bytes of data, "</img>". A
// section that starts with kImageTagOpen is a picture section.
inline constexpr std::string_view kImageTagOpen = "<img";
inline constexpr std::string_view kImageTagParts[] = {
    "<img bitcount=", " compact=", " width=", " height=", " length="};
static_assert(kImageTagParts[0].starts_with(kImageTagOpen));
inline constexpr std::string_view kImageTagEnd = ">";
inline constexpr std::string_view kImageClose = "</img>";

// ---- The catalog: an item per chapter, "<item>title</item>" and its 32-bit body offset.

inline constexpr std::string_view kCatalogItemOpen = "<item>";
inline constexpr std::string_view kCatalogItemClose = "</item>";
inline constexpr std::string_view kUntitledItem = "NoName";  // an item's empty title

// ---- The subcatalog: the table of contents as 80-byte records, then their titles.

inline constexpr std::string_view kSubcatalogOpen = "<subcatalog>";
inline constexpr std::string_view kSubcatalogClose = "\x08</subcatalog>";
inline constexpr size_t kTocRecordSize = 80;
inline constexpr size_t kTocTargetAt = 0;         // body offset of the section or picture
inline constexpr size_t kTocTitlePositionAt = 4;  // file position of the whole title
inline constexpr size_t kTocTitleLengthAt = 8;
inline constexpr size_t kTocChildCountAt = 10;
inline constexpr size_t kTocPreviousAt = 12;  // record positions, 0 for none
inline constexpr size_t kTocNextAt = 16;
inline constexpr size_t kTocFirstChildAt = 20;
inline constexpr size_t kTocParentAt = 24;
inline constexpr size_t kTocSubsectionAt = 28;  // the entry's numbers, one byte each
inline constexpr size_t kTocSectionAt = 29;
inline constexpr size_t kTocChapterAt = 30;
inline constexpr size_t kTocRecordTitleAt = 32;  // the title's first bytes, the rest zero
inline constexpr size_t kTocTitleMax = 254;
inline constexpr size_t kTocRecordTitleMax = 40;

// ---- The page table: where every page of the four layouts starts.

inline constexpr std::string_view kPageTableOpen = "<pagetable ver=\"001\">";
inline constexpr std::string_view kPageTableClose = "</pagetable>";
// Four sections of two page lists and an end mark each; 13 positions say where the parts start.
inline constexpr int kPageTableSections = 4;
inline constexpr size_t kPageTablePositionsSize = 4 * 13 + kPageTableClose.size();
inline constexpr uint32_t kPageListEnd = 0xFFFFFFFFu;

}  // namespace bookloom
