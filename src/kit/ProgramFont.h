#pragma once

namespace gaisan {

/// Makes IPAGothic at 16 px the font of every window. Fixed-layout rows align only in a font
/// whose full-width characters are exactly two half-width columns, at an even pixel size.
void applyProgramFont();

}  // namespace gaisan
