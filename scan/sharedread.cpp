#include "scan/sharedread.h"

#include "scan/searchrun.h"

namespace salvyn {

// One recording serves every later search: it keeps each sector a header of any of their
// lists starts in, and each replaying pass matches its own list on what it is handed. A sector
// kept for another list is handed over with its bytes, as the medium holds them: to a pass
// whose list it does not start, it is one more sector of the open file, as when read.
SharedRead::SharedRead(const std::vector<const SearchRequest*>& requests)
{
    SignatureList every;
    for (std::size_t index = 1; index < requests.size(); ++index)
        for (const SignatureList* list : {&requests[index]->generalList, &requests[index]->thoroughList})
            every.insert(every.end(), list->begin(), list->end());
    if (requests.size() > 1)
        m_recording = std::make_unique<SectorRecording>(every, false);
}

void SharedRead::runSearch(std::size_t index, ScanContext& context)
{
    if (index == 0) {
        ScanContext reading = context;
        if (m_recording)
            reading.recordings.push_back(m_recording.get());
        salvyn::runSearch(reading);
        return;
    }
    const std::unique_ptr<SectorSourceOpener> replay = m_recording->replay(context.opener);
    ScanContext replayed = replayingThrough(context, *replay);
    salvyn::runSearch(replayed);
}

} // namespace salvyn
