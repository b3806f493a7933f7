#pragma once
// The please-wait sheet (`ClearPreview_Window`) put over the wizard window while a preview
// file is made on a worker; window-modal, so no click starts a second preview meanwhile.
// UI thread only.
#include <QDialog>

namespace salvyn {

class ClearPreview_Modeless : public QDialog {
    Q_OBJECT
public:
    // `controlPanel` is the wizard window the sheet belongs to.
    explicit ClearPreview_Modeless(QWidget* controlPanel);

    // Shows the sheet; does not wait for the user.
    void beginSheet();
    void endSheet();
};

} // namespace salvyn
