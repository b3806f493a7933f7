#pragma once
// Which screen a click on Next or Back was aimed at: the one on display when the pointer
// pressed the button, or, for the second click of a double click, the one of the first
// press, since the first click may have moved the wizard on before the second arrived.
// UI thread only.
#include "wizard/wizardmodel.h"

#include <QObject>
#include <functional>
#include <optional>
#include <utility>

class QWidget;

namespace salvyn {

class PressedScreen final : public QObject {
public:
    PressedScreen(std::function<Screen()> current, QObject* parent);
    void watch(QWidget* button);
    // The aim of the click being handled, once; none when the keyboard pressed the button.
    std::optional<Screen> take() { return std::exchange(m_aim, std::nullopt); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Press {
        quint64 time = 0;
        Screen screen = Screen::Media;
    };
    std::function<Screen()> m_current;
    Press m_last;
    Press m_beforeLast;
    std::optional<Screen> m_aim;
};

} // namespace salvyn
