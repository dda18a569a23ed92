// Comparison of texts as the user reads them: ignoring case, and in the order of the user's
// locale (LC_COLLATE) where an order is wanted.
#pragma once

#include <string_view>

namespace bookloom {

// < 0, 0 or > 0 as a sorts before, with or after b, case ignored.
int CompareTextIgnoreCase(std::u16string_view a, std::u16string_view b);

// < 0, 0 or > 0 as a sorts before, with or after b in natural order: runs of digits compare by
// their value ("page2" before "page10"), other characters one by one, case and blanks ignored.
int CompareNatural(std::u16string_view a, std::u16string_view b);

// Whether a and b are the same text but for case (each character folded to lower case).
bool SameTextIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace bookloom
