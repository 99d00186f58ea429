#pragma once

#include <QDBusAbstractAdaptor>

class VornMPLink;

// The interface every running copy offers on its own bus name: the player pushes track
// information, and the other copies send commands (the tip-timer switch).
class VornReaderAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vorn.VornReader")

public:
    explicit VornReaderAdaptor(VornMPLink* link);

public Q_SLOTS:
    void TrackInfo(const QString& record);
    void Command(uint code);

private:
    VornMPLink* m_link;
};
