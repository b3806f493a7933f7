#include "app/modalwindowrunner.h"

#include <QDialog>

namespace salvyn {

int ExecModalWindowRunner::runModal(QDialog& window)
{
    window.setWindowModality(Qt::ApplicationModal);
    const int code = window.exec();
    window.hide();
    return code;
}

} // namespace salvyn
