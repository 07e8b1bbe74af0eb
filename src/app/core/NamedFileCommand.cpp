#include "app/core/NamedFileCommand.h"

#include "app/core/MainController.h"
#include "import/ContentKind.h"
#include "import/FileBytes.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/MapDrapeLoader.h"
#include "import/PixelMapReader.h"
#include "import/Raster.h"

#include <QFileInfo>

namespace trelvano {

namespace {

NamedFileCommand tiffCommand(const QString& path) {
  RasterFacts facts;
  // A TIFF that GDAL cannot read is most likely a broken elevation file.
  if (!describeRaster(path, facts)) return NamedFileCommand::Terrain;
  if (facts.bands == 1 && !facts.palette && facts.numeric) return NamedFileCommand::Terrain;
  return facts.hasCrs || hasWorldFile(path) ? NamedFileCommand::GeoMap : NamedFileCommand::PixelMap;
}

NamedFileCommand commandByName(const QString& path) {
  const auto ends = [&](const char* suffix) { return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive); };
  if (ends(".par")) return NamedFileCommand::Parameters;
  if (ends(".map")) return NamedFileCommand::VectorMap;
  switch (groundFileKind(path)) {
    case GroundFileKind::Terrain: return NamedFileCommand::Terrain;
    case GroundFileKind::Map: return NamedFileCommand::GeoMap;
    case GroundFileKind::None: break;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) return NamedFileCommand::Terrain;
  if (isPictureFileName(path)) return NamedFileCommand::PixelMap;
  if (isIgcFileName(path)) return NamedFileCommand::Igc;
  if (isGpxFileName(path)) return NamedFileCommand::Gpx;
  return NamedFileCommand::Logger;
}

}  // namespace

NamedFileCommand commandForNamedFile(const QString& path) {
  switch (contentKindOf(readFileHead(path, kContentHeadBytes))) {
    case ContentKind::Tiff: return tiffCommand(path);
    case ContentKind::Png:
    case ContentKind::Jpeg: return hasWorldFile(path) ? NamedFileCommand::GeoMap : NamedFileCommand::PixelMap;
    case ContentKind::Zip: return NamedFileCommand::Terrain;
    case ContentKind::Sqlite: return NamedFileCommand::GeoMap;
    case ContentKind::Igc: return NamedFileCommand::Igc;
    case ContentKind::Gpx: return NamedFileCommand::Gpx;
    case ContentKind::Unknown: break;
  }
  return commandByName(path);
}

}  // namespace trelvano
