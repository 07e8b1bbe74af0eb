#pragma once
// Rasters the tests write themselves through GDAL: elevation GeoTIFFs in any
// system, maps with no-data, pictures with world files, zip archives.

#include "common/TestPaths.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cpl_conv.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace trelvano {

struct TestRaster {
  int width = 0, height = 0;
  int bands = 1;
  GDALDataType type = GDT_Float32;
  double gt[6] = {};                 // pixel corner (0, 0) at (gt[0], gt[3])
  const char* system = "EPSG:4326";  // nullptr: none
  std::optional<double> noData;      // on every band
  std::function<double(int band, int x, int y)> value = [](int, int, int) { return 0.0; };
};

// Writes `r` with GDAL's driver `driver` ("GTiff", "PNG", …) to `path`.
inline QString writeRaster(const QString& path, const TestRaster& r, const char* driver = "GTiff") {
  GDALAllRegister();
  GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
  GDALDatasetUniquePtr ds(mem->Create("", r.width, r.height, r.bands, r.type, nullptr));
  double gt[6];
  std::copy(r.gt, r.gt + 6, gt);
  ds->SetGeoTransform(gt);
  if (r.system) {
    OGRSpatialReference srs;
    srs.SetFromUserInput(r.system);
    ds->SetSpatialRef(&srs);
  }
  std::vector<double> row(size_t(r.width));
  for (int b = 1; b <= r.bands; ++b) {
    GDALRasterBand* band = ds->GetRasterBand(b);
    if (r.noData) band->SetNoDataValue(*r.noData);
    for (int y = 0; y < r.height; ++y) {
      for (int x = 0; x < r.width; ++x) row[size_t(x)] = r.value(b, x, y);
      EXPECT_EQ(band->RasterIO(GF_Write, 0, y, r.width, 1, row.data(), r.width, 1, GDT_Float64, 0, 0, nullptr),
                CE_None);
    }
  }
  GDALDatasetUniquePtr out(GetGDALDriverManager()->GetDriverByName(driver)->CreateCopy(
      QFile::encodeName(path).constData(), ds.get(), FALSE, nullptr, nullptr, nullptr));
  EXPECT_TRUE(out) << path.toStdString();
  return path;
}

// A zip archive holding `members` (name, bytes), stored as SRTM tiles are distributed.
inline QString writeZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& members) {
  void* zip = CPLCreateZip(QFile::encodeName(path).constData(), nullptr);
  EXPECT_TRUE(zip);
  for (const auto& [name, bytes] : members) {
    EXPECT_EQ(CPLCreateFileInZip(zip, name.toUtf8().constData(), nullptr), CE_None);
    EXPECT_EQ(CPLWriteFileInZip(zip, bytes.constData(), int(bytes.size())), CE_None);
    EXPECT_EQ(CPLCloseFileInZip(zip), CE_None);
  }
  EXPECT_EQ(CPLCloseZip(zip), CE_None);
  return path;
}

}  // namespace trelvano
