#include "platform/qt/alertservice.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace salvyn {

void AlertService::message(QWidget* parent, const QString& text, const QString& informativeText)
{
    runAlert(parent, text, informativeText, {QStringLiteral("OK")});
}

bool AlertService::question(QWidget* parent, const QString& text)
{
    return runAlert(parent, text, QString(), {QStringLiteral("Yes"), QStringLiteral("No")})
        == QLatin1String("Yes");
}

QString MessageBoxAlertService::runAlert(QWidget* parent, const QString& message,
                                         const QString& informativeText, const QStringList& buttons)
{
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(message);
    box.setInformativeText(informativeText);
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i], i == 0 ? QMessageBox::AcceptRole
                                                               : QMessageBox::RejectRole);
        if (i == 0)
            box.setDefaultButton(button);
    }
    box.exec();
    return box.clickedButton() ? box.clickedButton()->text() : QString();
}

} // namespace salvyn
