#pragma once
// The one background colour of every window of the app, a light blue-grey.
#include <QColor>

class QWidget;

namespace salvyn {

inline QColor windowColour()
{
    return QColor(241, 244, 250);
}

// Fills `window`'s background with the window colour.
void applyWindowColour(QWidget& window);

} // namespace salvyn
