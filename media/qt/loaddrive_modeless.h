#pragma once
// The small window shown as a sheet over the main window while the media list is being
// rebuilt, so the user sees why the window does not answer for a moment. UI thread only.
#include <QDialog>

namespace salvyn {

class LoadDrive_Modeless : public QDialog {
    Q_OBJECT
public:
    explicit LoadDrive_Modeless(QWidget* controlPanel);
};

} // namespace salvyn
