#pragma once
// The please-wait sheet (`ClearPreview_Window`) put over the wizard window while a preview
// file is made. The copy blocks the UI thread, so the sheet is drawn once when it goes up
// and not serviced after. UI thread only.
#include <QDialog>

namespace salvyn {

class ClearPreview_Modeless : public QDialog {
    Q_OBJECT
public:
    // `controlPanel` is the wizard window the sheet belongs to.
    explicit ClearPreview_Modeless(QWidget* controlPanel);

    // Shows the sheet and draws it once; user input that arrives meanwhile stays queued, so
    // no click starts a second preview. Does not wait for the user.
    void beginSheet();
    void endSheet();
};

} // namespace salvyn
