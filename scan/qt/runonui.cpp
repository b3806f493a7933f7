#include "scan/qt/runonui.h"

#include <QMetaObject>
#include <QThread>

namespace salvyn {

void runOnUi(QObject* uiObject, const std::function<void()>& work)
{
    if (QThread::currentThread() == uiObject->thread())
        work();
    else
        QMetaObject::invokeMethod(uiObject, work, Qt::BlockingQueuedConnection);
}

} // namespace salvyn
