// The figures of a page whose text is known already (a scan with its hidden text): the drawings and
// photographs among its ink, which its text does not name.
#pragma once

#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "platform/Runtime.h"

namespace bookloom {

// The parts of the page that SegmentScan keeps whole as figures and that hold ink besides the page's
// text (not a heading's large letters, nor a framed box of text), those close together (within a
// fiftieth of the page) as one: in the page's pixels.
std::vector<PictureBox> FiguresBesideText(const Runtime& runtime, const GrayView& page,
                                          const std::vector<PictureBox>& text);

// Where figures may stand on a page rendered coarsely (a few pixels to a line of print), a quick look
// before FiguresBesideText is asked: the ink outside the text's boxes (grown by a pixel on either side, so
// that the blurred ends of words stay under them), pieces close together as one, in boxes as large as a
// figure SegmentScan keeps. Empty when what is left is rules, specks or nothing: no figure there to look for.
std::vector<PictureBox> InkBesideText(const Runtime& runtime, const GrayView& page,
                                      const std::vector<PictureBox>& text);

}  // namespace bookloom
