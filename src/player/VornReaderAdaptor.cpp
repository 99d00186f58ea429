#include "VornReaderAdaptor.h"

#include "VornMPLink.h"

VornReaderAdaptor::VornReaderAdaptor(VornMPLink* link) : QDBusAbstractAdaptor(link), m_link(link) {}

void VornReaderAdaptor::TrackInfo(const QString& record) {
    m_link->receiveTrackInfo(record);
}

void VornReaderAdaptor::Command(uint code) {
    m_link->receiveCommand(code);
}
