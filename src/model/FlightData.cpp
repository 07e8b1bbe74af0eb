#include "model/FlightData.h"

#include <cstdlib>
#include <new>

namespace trelvano {

void* zeroedAllocation(std::size_t size) {
  void* mem = std::calloc(1, size);
  if (!mem) throw std::bad_alloc();
  return mem;
}

void FreeDeleter::operator()(FlightData* d) const {
  d->~FlightData();
  std::free(d);
}

FlightDataPtr makeFlightData() {
  FlightDataPtr data(callocConstruct<FlightData>());
  for (int k = 0; k < kChannelCount; ++k) data->ChannelParams.rows[k].Name = defaultChannelName(k);
  return data;
}

}  // namespace trelvano
