#include "import/LoadStagingData.h"

#include <cstdlib>

namespace trelvano {

void LoadStagingDeleter::operator()(LoadStaging* s) const {
  s->~LoadStaging();
  std::free(s);
}

LoadStagingPtr makeLoadStaging() { return LoadStagingPtr(callocConstruct<LoadStaging>()); }

}  // namespace trelvano
