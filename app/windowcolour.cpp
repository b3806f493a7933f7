#include "app/windowcolour.h"

#include <QPalette>
#include <QWidget>

namespace salvyn {

void applyWindowColour(QWidget& window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, windowColour());
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

} // namespace salvyn
