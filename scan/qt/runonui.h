#pragma once
// Carries a piece of work over to the thread of a UI object and returns when it is done
// there: a direct call on that thread itself (a blocking call to oneself would deadlock),
// a blocking queued call from any other thread. The UI thread never blocks on a worker,
// so the queued call is always served.
#include <QObject>
#include <functional>

namespace salvyn {

void runOnUi(QObject* uiObject, const std::function<void()>& work);

} // namespace salvyn
