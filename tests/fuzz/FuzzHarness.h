#pragma once
// Shared by the fuzz targets: one flight data instance with a good flight
// loaded, and the check that a load either succeeds or leaves every table
// and value exactly as it was. A broken promise aborts, so libFuzzer keeps
// the input.

#include "common/StateSnapshot.h"
#include "model/FlightData.h"
#include "model/RunError.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace trelvano {

struct FuzzWorld {
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;

  FuzzWorld();
  // Loads the example flights and parameter table again (after a load that
  // succeeded, so every input starts from the same state).
  void loadGoodState();
};

FuzzWorld& fuzzWorld();

// Runs `load` on the input. When it throws a RunError, everything must be as
// before; any other exception escapes and counts as a crash. After a load
// that succeeded the good state comes back.
void expectLoadedOrUnchanged(const uint8_t* bytes, size_t size, const std::function<void(QByteArrayView)>& load);

}  // namespace trelvano
