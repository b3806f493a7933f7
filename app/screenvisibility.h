#pragma once
// The wizard shows and hides its screens control by control.
#include <QList>
#include <QWidget>

namespace salvyn {

inline void setHiddenAll(const QList<QWidget*>& widgets, bool hide)
{
    for (QWidget* widget : widgets)
        widget->setHidden(hide);
}

} // namespace salvyn
