#pragma once
// The one set of flight tables of the program. Allocated once, at full
// capacity, by makeFlightData(); every subsystem reads and writes it in place.

#include "model/ChannelParams.h"
#include "model/FlightAnalysisData.h"
#include "model/FlightPoint.h"
#include "model/IgcExtras.h"
#include "model/RouteMark.h"
#include "model/SampleRow.h"
#include "model/Terrain.h"

#include <cstdint>
#include <memory>

namespace trelvano {

// 32768 rows of a new-format logger flight; row i belongs to FlightPath point i.
struct SampleTable {
  SampleRow rows[kSampleRows];
  SampleRow& operator[](long long i) { return rows[checkIndex(i, kSampleRows)]; }
  const SampleRow& operator[](long long i) const { return rows[checkIndex(i, kSampleRows)]; }
};

struct FlightData {
  // Point arrays, each with its last index (-1 = empty).
  PointArray FlightPath;
  PointArray ShadowPath;
  PointArray GridPoints;
  PointArray ArrowPoints;
  PointArray PlumbLines;
  PointArray MapCells;
  PointArray MapFrame;
  PointArray VectorMap;
  int32_t LastPoint = 0;  // FlightPath and ShadowPath
  int32_t GridLast = 0;
  int32_t ArrowLast = 0;
  int32_t PlumbLast = 0;
  int32_t MapCellsLast = 0;
  int32_t MapFrameLast = 0;
  int32_t VectorMapLast = 0;

  SampleTable RawSamples;      // as read from the file
  SampleTable ChannelSamples;  // copy of RawSamples after every new-format load (KonvertExtra)
  ChannelParamTable ChannelParams;

  // UTC time of each FlightPath point, seconds since 1970-01-01 (NaN = the
  // file gave none for this point). Valid only while HasPointTimes: set by
  // the IGC reader (date record plus fix times) and the GPX reader (the
  // times read); a logger flight has none.
  double PointTime[kMaxFlightPoints];
  bool HasPointTimes = false;
  // The GNSS altitude of each IGC fix, metres above sea level (0 = the fix
  // has none). Valid only while HasGnssAltitudes, which the IGC reader sets
  // and the other readers clear.
  double GnssAltitude[kMaxFlightPoints];
  bool HasGnssAltitudes = false;
  // A flight was read (any reader); false from the start until the first load.
  bool HasFlight = false;

  // What an IGC file says beside its fixes (empty for other flights), and
  // the analysis of the loaded flight (phases, thermals, wind, …).
  trelvano::IgcExtras Igc;
  trelvano::FlightAnalysis Analysis;
  // The scored route the 3D view draws on the ground (empty: none).
  trelvano::RouteMark ScoreRoute;

  // The ground under the flight and the map on it (both empty until loaded),
  // and each point's height above that ground, metres (NaN = no terrain
  // under it; valid only while HasHeightAboveGround).
  TerrainGrid Terrain;
  TerrainInfo TerrainState;
  MapDrape GeoMap;
  double HeightAboveGround[kMaxFlightPoints];
  bool HasHeightAboveGround = false;
  // Heights of flight and terrain are drawn this many times as high (1, 2, 3 or 5).
  double Exaggeration = 1.0;

  // Flight-wide scalars.
  int32_t RangeStart = 0;  // first shown point; origin of the local frame
  int32_t RangeEnd = 0;    // last shown point
  int32_t CursorPoint = 0;
  int32_t OverlayMode = 0;
  double MaxAltitude = 0;
  double MaxLat = 0, MinLat = 0;
  double MaxLon = 0, MinLon = 0;
  double StartLatRaw = 0;       // origin latitude as DDMMmmm
  double StartLonRaw = 0;       // origin longitude as DDDMMmmm, negative for west
  double StartAltitude = 0;     // metres
  double SampleInterval = 2.0;  // seconds between two samples
  bool LoggerNG = false;        // sample tables and channel values are valid

  // Settings and interaction flags.
  double Temperature = 25.0;  // °C
  bool UseBaroAltitude = false;
  bool FastMapLoading = true;
  bool HideMapWhileDragging = true;
  bool MapDragMode = false;
  bool MouseDragBlocked = true;
  bool HasGpsColumns = true;
  int32_t LoggerHeaderId = 0;
  int32_t LoggerHeaderFlags = 0;

  // Counts the writes of the scene below the flight path: the local frame with
  // its shadow and plumb lines, the grid and arrow, the maps. Every writer of
  // those arrays bumps it, so a picture kept from an earlier redraw can tell
  // whether it still shows them.
  uint64_t SceneVersion = 0;
};

struct FreeDeleter {
  void operator()(FlightData* d) const;
};
using FlightDataPtr = std::unique_ptr<FlightData, FreeDeleter>;

// The start-up state: every array zero, the scalars at their start values,
// the channel table at its defaults. Zeroed pages come from the system, so
// the 100 MB of tables cost nothing until written.
FlightDataPtr makeFlightData();

// Allocates a zeroed T with calloc and runs its default member initialisers.
template <class T>
T* callocConstruct();
void* zeroedAllocation(std::size_t size);

template <class T>
T* callocConstruct() {
  return new (zeroedAllocation(sizeof(T))) T;
}

}  // namespace trelvano
