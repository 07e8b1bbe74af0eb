#pragma once
// The shape most writers give every track or route point, read in one go
// instead of token by token:
//   <trkpt lat="47.1" lon="11.2"> <ele>400</ele> <time>…</time> </trkpt>
// lat and lon in either order and quotes, ele and time each at most once and
// in either order, blanks between them. Every byte read is checked to be
// well-formed XML; any other shape is left to the scanner.

#include "import/LoadStagingData.h"

#include <string_view>

namespace trelvano {

// The point element `name` after blanks at p: the position behind its end
// tag, with its values in `point`; nullptr where the bytes have another shape.
const char* readPlainPoint(const char* p, const char* end, std::string_view name, StagedGpxPoint& point);

}  // namespace trelvano
