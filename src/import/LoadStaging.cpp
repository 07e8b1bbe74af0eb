#include "import/LoadStagingData.h"

#include <cstdlib>

void LoadStagingDeleter::operator()(LoadStaging* s) const {
  s->~LoadStaging();
  std::free(s);
}

LoadStagingPtr makeLoadStaging() { return LoadStagingPtr(callocConstruct<LoadStaging>()); }
