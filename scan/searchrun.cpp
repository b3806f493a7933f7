#include "scan/searchrun.h"

#include "scan/photopass.h"
#include "scan/rawfilepass.h"

#include <exception>

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

} // namespace

void showFinalScreenOnce(SearchState& state, ScanHost& host)
{
    if (state.claimFinalScreen())
        host.Final_or_Stop_Screen();
}

void Photo_Rec_Thread(ScanContext& context)
{
    const ListingOnce listingOnce(context.state);
    context.state.stop_screen_already_show = 0;
    if (!Photo_Recovey_Mode(context, "GEN")) {
        if (context.state.stop_screen_already_show == 0)
            showFinalScreenOnce(context.state, context.host);
        return;
    }
    if (context.request.thorough && context.state.stop_screen_already_show == 0)
        Photo_Recovey_Mode(context, "THD");
    endSearch(context);
}

void Raw_File_Rec_Thread(ScanContext& context)
{
    const ListingOnce listingOnce(context.state);
    context.state.stop_screen_already_show = 0;
    if (!Raw_File_Recovey_Mode(context, "GEN")) {
        if (context.state.stop_screen_already_show == 0)
            showFinalScreenOnce(context.state, context.host);
        return;
    }
    // A selected type with thorough records brings the thorough pass even with the box off.
    if ((context.request.thorough || !context.request.thoroughList.empty())
        && context.state.stop_screen_already_show == 0)
        Raw_File_Recovey_Mode(context, "THD");
    endSearch(context);
}

void runSearch(ScanContext& context)
{
    if (context.request.recoveryMode == 0)
        Photo_Rec_Thread(context);
    else
        Raw_File_Rec_Thread(context);
}

} // namespace salvyn
