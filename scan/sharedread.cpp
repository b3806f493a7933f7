#include "scan/sharedread.h"

#include "scan/searchrun.h"

namespace salvyn {

SharedRead::SharedRead(const std::vector<const SearchRequest*>& requests)
{
    for (std::size_t index = 1; index < requests.size(); ++index) {
        SignatureList both = requests[index]->generalList;
        both.insert(both.end(), requests[index]->thoroughList.begin(), requests[index]->thoroughList.end());
        m_recordings.push_back(std::make_unique<SectorRecording>(both, false));
    }
}

void SharedRead::runSearch(std::size_t index, ScanContext& context)
{
    if (index == 0) {
        ScanContext reading = context;
        for (const auto& recording : m_recordings)
            reading.recordings.push_back(recording.get());
        salvyn::runSearch(reading);
        return;
    }
    const std::unique_ptr<SectorSourceOpener> replay = m_recordings.at(index - 1)->replay(context.opener);
    ScanContext replayed{context.request, context.state, context.host, context.sink, *replay, context.rows};
    salvyn::runSearch(replayed);
}

} // namespace salvyn
