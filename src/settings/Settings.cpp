#include "Settings.h"

#include "SettingKeys.h"

#include <QDate>

Settings::Settings() : CallDate(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))) {
    SettingKeys::setDefaults(*this);
}

Settings& settings() {
    static Settings instance;
    return instance;
}
