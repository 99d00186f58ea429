#pragma once

#include <QString>

// A font as the settings keep it; the windows turn it into a real font when they apply it.
struct FontSetting {
    double size = 10;
    QString name = QStringLiteral("Arial");
    bool bold = true;
    bool italic = false;
};
