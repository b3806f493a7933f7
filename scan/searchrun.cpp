#include "scan/searchrun.h"

#include "scan/photopass.h"
#include "scan/rawfilepass.h"
#include "scan/sectorrecording.h"

#include <exception>
#include <optional>

namespace salvyn {

namespace {

// The end of a search: a running preview takes the final screen over, else it shows now.
void endSearch(ScanContext& context)
{
    try {
        if (!context.state.handOffToPreview())
            showFinalScreenOnce(context.state, context.host);
    } catch (const std::exception&) {
        // Nothing is left to do for this search.
    }
}

// For the length of one search run, its thorough pass leaves out what its general pass listed.
class ListingOnce {
public:
    explicit ListingOnce(SearchState& state) : m_state(state) { m_state.beginListingOnce(); }
    ~ListingOnce() { m_state.endListingOnce(); }
    ListingOnce(const ListingOnce&) = delete;
    ListingOnce& operator=(const ListingOnce&) = delete;

private:
    SearchState& m_state;
};

using PassFunction = bool (*)(ScanContext&, const std::string&);

// The general pass reads the medium; the thorough pass replays that read, so the medium is
// read once. Without general records the general pass reads nothing, and the thorough pass
// then reads the medium itself.
void runPasses(ScanContext& context, PassFunction pass, bool thorough, bool collectsSectors)
{
    const ListingOnce listingOnce(context.state);
    context.state.stop_screen_already_show = 0;
    const bool replays = thorough && !context.request.generalList.empty();
    std::optional<SectorRecording> thoroughRead;
    ScanContext general = context;
    if (replays)
        general.recordings.push_back(&thoroughRead.emplace(context.request.thoroughList, collectsSectors));
    if (!pass(general, "GEN")) {
        if (context.state.stop_screen_already_show == 0)
            showFinalScreenOnce(context.state, context.host);
        return;
    }
    if (thorough && context.state.stop_screen_already_show == 0) {
        if (replays) {
            const std::unique_ptr<SectorSourceOpener> replay = thoroughRead->replay(context.opener);
            ScanContext replayed = replayingThrough(context, *replay);
            pass(replayed, "THD");
        } else {
            pass(context, "THD");
        }
    }
    endSearch(context);
}

} // namespace

void showFinalScreenOnce(SearchState& state, ScanHost& host)
{
    if (state.claimFinalScreen())
        host.Final_or_Stop_Screen();
}

void Photo_Rec_Thread(ScanContext& context)
{
    runPasses(context, Photo_Recovey_Mode, context.request.thorough, context.sink.wantsPhotoBytes());
}

void Raw_File_Rec_Thread(ScanContext& context)
{
    // A selected type with thorough records brings the thorough pass even with the box off.
    runPasses(context, Raw_File_Recovey_Mode, context.request.thorough || !context.request.thoroughList.empty(), false);
}

void runSearch(ScanContext& context)
{
    if (context.request.recoveryMode == 0)
        Photo_Rec_Thread(context);
    else
        Raw_File_Rec_Thread(context);
}

} // namespace salvyn
