#pragma once
// Everything a search works with, gathered for the worker. The worker reads the request
// only; the state is shared with the UI thread and the ticker (see SearchState).
#include "platform/sectorsourceopener.h"
#include "results/foundfilesink.h"
#include "scan/scanhost.h"
#include "scan/searchrequest.h"
#include "scan/searchstate.h"

#include <vector>

namespace salvyn {

class ResultRows;
class SectorRecording;

struct ScanContext {
    const SearchRequest& request;
    SearchState& state;
    ScanHost& host;
    FoundFileSink& sink;
    SectorSourceOpener& opener;
    // Per-type counts the video, raw and audio names continue from; unused for photos.
    const ResultRows* rows = nullptr;
    // Fed every sector a pass reads from the medium, for passes that replay the same read.
    std::vector<SectorRecording*> recordings = {};
};

// The same search reading through `opener` (a replay of an earlier read), feeding no recordings.
inline ScanContext replayingThrough(const ScanContext& context, SectorSourceOpener& opener)
{
    return ScanContext{context.request, context.state, context.host, context.sink, opener, context.rows};
}

} // namespace salvyn
