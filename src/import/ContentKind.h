#pragma once
// What the first bytes of a file say it is, for files named on the command
// line or dropped on the window: a file is opened by what it holds, and only
// where its bytes say nothing (an empty or unfamiliar file) by its name.

#include <QByteArrayView>

namespace trelvano {

enum class ContentKind {
  Unknown,  // nothing the bytes give away: the name decides
  Tiff,     // "II*\0" or "MM\0*" (also BigTIFF): elevation or a georeferenced map
  Png,
  Jpeg,
  Zip,     // a zipped elevation tile
  Sqlite,  // MBTiles
  Igc,     // an IGC A record (manufacturer and logger id) followed by another record
  Gpx,     // XML whose first element is gpx (with or without a prefix)
};

// How many leading bytes contentKindOf needs at most.
constexpr int kContentHeadBytes = 4096;

// The kind of a file from its first bytes (fewer when the file is shorter).
ContentKind contentKindOf(QByteArrayView head);

}  // namespace trelvano
