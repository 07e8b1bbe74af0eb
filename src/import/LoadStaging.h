#pragma once
// A reader parses a file into this staging area first and writes the flight
// tables only after the whole file was read without error, so a failed load
// changes nothing. Allocated once and reused by every load.

#include <memory>

namespace trelvano {

struct LoadStaging;
struct LoadStagingDeleter {
  void operator()(LoadStaging* s) const;
};
using LoadStagingPtr = std::unique_ptr<LoadStaging, LoadStagingDeleter>;
LoadStagingPtr makeLoadStaging();

}  // namespace trelvano
