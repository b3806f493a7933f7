#pragma once
// The picture taken of one found video or sound, on its way to the found-file list.
#include <QImage>

namespace salvyn {

struct GrabbedPicture {
    int row = 0;          // the list's row
    QImage picture;       // its first frame or cover, thumbnail sized; null when it has none
    bool decodes = true;  // false: it could not be decoded at all, so it is damaged
};

} // namespace salvyn
