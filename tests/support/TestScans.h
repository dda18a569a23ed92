// Scanned pages made by the tests themselves: words set with cairo in one or two columns, a running
// header and a page number, a grey picture among the text, the page turned and its paper grainy as a
// scanner leaves it; with the upright place of every word, to check what cleaning and reflow make.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "platform/Runtime.h"

namespace bookloom::test {

struct TestScanOptions {
  int width = 1240, height = 1754;  // A4 at 150 pixels an inch
  double fontPixels = 26;           // the letters' size (their x-height is about half of it)
  int columns = 1;
  int paragraphs = 6;
  bool picture = false;          // a grey picture after the second paragraph
  double pictureLightest = 0.5;  // its greys run from 0.1 at its top left to this (1 is white)
  double turnDegrees = 0;        // counter-clockwise
  double grain = 0;              // the paper's noise, its standard deviation in greys
  int tableRows = 0;     // a table without rules (three columns of short cells) after the first paragraph
  bool dashes = false;   // some words are a lone hyphen or dash between words
  size_t startWord = 0;  // the words of the text set on the pages before: the page goes on from there
  uint32_t seed = 1;
};

struct TestScan {
  GrayImage page;
  std::vector<PictureBox> words;        // every word of the text in reading order, as set upright
  std::vector<size_t> paragraphStarts;  // the words that begin a paragraph
  std::vector<std::string> texts;       // the words themselves
  PictureBox blank;                     // paper with nothing on it, upright
  PictureBox picture;                   // the picture, upright (empty without one)
  PictureBox table;                     // the table, upright (empty without one)
};

TestScan MakeTestScan(const TestScanOptions& options);

// A PDF of the scans, each a page of its own at 150 pixels an inch.
std::string PdfOfScans(const std::vector<const GrayImage*>& scans);

// What SegmentScan finds on device pages made by reflow: the widths of their words in reading order,
// the paragraphs they begin, and the lowest foot of the print over every page but the last.
struct SetPages {
  std::vector<int> wordWidths;
  size_t paragraphs = 0;
  int leastFoot = 0;
};
SetPages FindOnSetPages(const Runtime& runtime, const std::vector<GrayImage>& pages);

// How many of the source words (their widths at the device's size) are found again in order: a found
// word is the next source word, or the next two found as one (as "of" and "morning" may be, where the f
// leans over the space), within `tolerance` pixels or a twelfth of the width (pages are scaled by their own
// x-heights, which are whole pixels).
size_t WordsInOrder(const std::vector<int>& sourceWidths, const std::vector<int>& foundWidths, int tolerance);

// The share of the pixels inside `box` that are not white.
double NonWhiteShare(const GrayView& page, const PictureBox& box);

}  // namespace bookloom::test
