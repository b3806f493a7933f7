#include "results/ui/framedecoder.h"

namespace salvyn {

// Here, so the interface's tables are made once.
FrameDecoder::~FrameDecoder() = default;

} // namespace salvyn
