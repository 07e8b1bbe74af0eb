#pragma once
#include "DumpOptions.h"
#include "Json.h"

#include "analysis/score/FlightScore.h"
#include "model/FlightData.h"

#include <optional>

namespace trelvano {

// --score: the loaded flight scored under the league of the option (none
// when no flight is loaded).
std::optional<FlightScore> scoreForDump(const FlightData& data, const DumpOptions& options);
// The key "score": league, best type and every type (null without a score).
void writeScore(JsonWriter& json, const DumpOptions& options, const std::optional<FlightScore>& score);

// --score over several flight files: each file dumped on its own, as if it
// were the only one, two at a time; their JSON lines in the order of the
// files. `arguments` are the dump's own. Returns the exit status.
bool scoresEachFile(const DumpOptions& options);
int dumpEachFileScored(const DumpOptions& options, const QStringList& arguments);

}  // namespace trelvano
