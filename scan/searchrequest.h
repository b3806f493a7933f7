#pragma once
// What a search needs from the wizard's controls, copied on the UI thread when the search
// starts, so the worker never reads a control.
#include "signatures/signaturelist.h"

#include <string>

namespace salvyn {

struct SearchRequest {
    std::string sourceIdentifier;   // device identifier ("sdb1") or absolute image path
    int recoveryMode = 0;           // 0 photo, 1 video, 2 raw file, 3 audio
    bool entireDiskChosen = true;   // the mode's "Entire Disk" radio
    bool sectorRangeChosen = false; // the mode's "Sector Range" radio
    std::string startSectorText;    // Start Sector field
    std::string endSectorText;      // End Sector field
    std::string sectorCountText;    // the medium's sector count
    bool thorough = false;          // the mode's thorough check box
    // Flat signature records, seven entries each. Photo: the general and thorough photo
    // lists; other modes: the records of the ticked types from both lists of the mode.
    SignatureList generalList;
    SignatureList thoroughList;
};

} // namespace salvyn
