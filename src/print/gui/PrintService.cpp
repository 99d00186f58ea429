#include "PrintService.h"

#include <cups/cups.h>

QString PrintService::lastRefusal() {
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        return {};
    }
    return QString::fromUtf8(cupsLastErrorString());
}
