#pragma once
// A whole search on the calling thread: the general pass, the thorough pass when the mode's
// rules call for it, and the end-of-search screen exactly once (or handed to a running
// preview). The desktop app calls these on its worker thread, the command line directly.
#include "scan/scancontext.h"

namespace salvyn {

void Photo_Rec_Thread(ScanContext& context);
void Raw_File_Rec_Thread(ScanContext& context);

// The worker for the request's mode.
void runSearch(ScanContext& context);

// The final screen, if this search has not shown it yet.
void showFinalScreenOnce(SearchState& state, ScanHost& host);

} // namespace salvyn
