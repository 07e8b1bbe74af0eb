#include "import/ParameterFile.h"

#include "import/FileBytes.h"
#include "model/RunError.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace trelvano {

namespace {

// One row of the file as it lies on disk. Byte arrays only, so the compiler
// adds no padding; the numbers are little-endian whatever the machine.
struct ParamFileRow {
  uint8_t offset[8];       // f64 Offset
  uint8_t koeffizient[8];  // f64 Koeffizient
  uint8_t nameLength;      // 0..15; a larger value is read as 15
  uint8_t name[15];        // Latin-1; bytes beyond nameLength are not significant
  uint8_t startwert[8];    // f64 Startwert
  uint8_t kind[4];         // i32 Kind
  uint8_t unused[4];
};
static_assert(sizeof(ParamFileRow) == kParamFileRowSize);

struct ParamFileImage {
  ParamFileRow rows[kChannelCount];
};
static_assert(sizeof(ParamFileImage) == kParamFileSize);

constexpr int kMaxNameLength = 15;

constexpr int kIoReadFault = 100;  // "E/A-Fehler 100"

ChannelParam rowToParam(const ParamFileRow& row) {
  ChannelParam p;
  p.Offset = qFromLittleEndian<double>(row.offset);
  p.Koeffizient = qFromLittleEndian<double>(row.koeffizient);
  const int length = std::min<int>(row.nameLength, kMaxNameLength);
  p.Name = QString::fromLatin1(reinterpret_cast<const char*>(row.name), length);
  p.Startwert = qFromLittleEndian<double>(row.startwert);
  p.Kind = qFromLittleEndian<int32_t>(row.kind);
  return p;
}

// Writes the significant fields of `p` over `row`; the rest of the row stays.
void paramToRow(const ChannelParam& p, ParamFileRow& row) {
  qToLittleEndian<double>(p.Offset, row.offset);
  qToLittleEndian<double>(p.Koeffizient, row.koeffizient);
  // Characters outside Latin-1 become '?'.
  const QByteArray name = p.Name.left(kMaxNameLength).toLatin1();
  row.nameLength = static_cast<uint8_t>(name.size());
  std::memcpy(row.name, name.constData(), name.size());
  qToLittleEndian<double>(p.Startwert, row.startwert);
  qToLittleEndian<int32_t>(p.Kind, row.kind);
}

}  // namespace

QByteArray parameterFileBytes(const ChannelParamTable& table) {
  ParamFileImage image;
  std::memcpy(&image, table.fileImage.data(), sizeof image);
  for (int k = 0; k < kChannelCount; ++k) paramToRow(table.rows[k], image.rows[k]);
  return QByteArray(reinterpret_cast<const char*>(&image), sizeof image);
}

void readParameterBytes(ChannelParamTable& table, QByteArrayView bytes) {
  if (bytes.size() < kParamFileSize) throw RunError::readPastEof();
  ParamFileImage image;
  std::memcpy(&image, bytes.data(), sizeof image);
  for (int k = 0; k < kChannelCount; ++k) table.rows[k] = rowToParam(image.rows[k]);
  std::memcpy(table.fileImage.data(), &image, sizeof image);
}

bool Ladeparameter(ChannelParamTable& table, const QString& fileName) {
  if (fileName.isEmpty()) return false;
  QByteArray bytes;
  try {
    if (!readWholeFile(fileName, bytes)) return false;
  } catch (const RunError& e) {
    if (e.kind() == RunErrorKind::Io) throw RunError::io(kIoReadFault, fileName);
    throw;
  }
  // Only the first record counts.
  try {
    readParameterBytes(table, bytes);
  } catch (const RunError& e) {
    throw e.withDetail(fileName);
  }
  return true;
}

void saveParameterFile(const ChannelParamTable& table, const QString& fileName) {
  writeWholeFile(fileName, parameterFileBytes(table));
}

}  // namespace trelvano
