// Yield: every pending event is handled before the run goes on.
#include "QtEventPump.h"

#include <QCoreApplication>

namespace rt {

void QtEventPump::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace rt
