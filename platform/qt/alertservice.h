#pragma once
// Modal alerts: the one way the app puts a message or a question in front of the user.
// Messages start with a line feed so they stand one line below the top of the alert.
// UI thread only; a worker reaches it through the controller's hand-over to the UI thread.
#include <QString>
#include <QStringList>

class QWidget;

namespace salvyn {

class AlertService {
public:
    virtual ~AlertService() = default;

    // Shows a modal alert with the buttons in order (the first is the default one) and
    // returns the text of the button pressed; an alert closed without a button answers "".
    virtual QString runAlert(QWidget* parent, const QString& message, const QString& informativeText,
                             const QStringList& buttons) = 0;

    // Information alert: one "OK" button.
    void message(QWidget* parent, const QString& text, const QString& informativeText = {});
    // Question alert: "Yes" (default) and "No"; true exactly when "Yes" was pressed.
    bool question(QWidget* parent, const QString& text);
};

// The real alerts: QMessageBox with our own button texts (standard buttons would bring
// mnemonics and translations) and plain text, since messages may carry medium data.
class MessageBoxAlertService final : public AlertService {
public:
    QString runAlert(QWidget* parent, const QString& message, const QString& informativeText,
                     const QStringList& buttons) override;
};

} // namespace salvyn
