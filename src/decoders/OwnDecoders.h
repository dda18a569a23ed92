// Registers the picture formats that Bookloom decodes itself: Photoshop, Paint Shop Pro,
// Autodesk Animator and enhanced metafiles.
#pragma once

namespace bookloom {

// Frees what the metafile renderer's text leaves cached (cairo's fonts, fontconfig's
// configuration); at program end, when no picture is being decoded.
void ReleaseOwnDecoderCaches();

}  // namespace bookloom
