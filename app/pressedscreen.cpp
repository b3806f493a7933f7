#include "app/pressedscreen.h"

#include <QMouseEvent>
#include <QWidget>

namespace salvyn {

PressedScreen::PressedScreen(std::function<Screen()> current, QObject* parent)
    : QObject(parent), m_current(std::move(current))
{
}

void PressedScreen::watch(QWidget* button)
{
    button->installEventFilter(this);
}

bool PressedScreen::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        m_beforeLast = m_last;
        m_last = {static_cast<QMouseEvent*>(event)->timestamp(), m_current()};
        m_aim = m_last.screen;
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        // Delivered after the second press, or in its place: either way it belongs to the
        // gesture the earlier press began.
        const quint64 time = static_cast<QMouseEvent*>(event)->timestamp();
        m_aim = (m_last.time < time ? m_last : m_beforeLast).screen;
    } else if (event->type() == QEvent::KeyPress) {
        m_aim.reset();
    }
    return false;
}

} // namespace salvyn
