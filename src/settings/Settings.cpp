#include "Settings.h"

#include "AppHome.h"
#include "KeyCodeConvert.h"

#include <QDate>
#include <QDir>

namespace {

struct KeyGroup {
    const char* name;
    int first;
    int count;
};

constexpr KeyGroup kKeyGroups[] = {{"KeyCustom", 0, 4}, {"KeyVornMP", 4, 7}, {"KeyOther", 11, 3}};

constexpr const char* kKeyDefaults[KeyTableSize] = {"", "", "", "", "L", "U", "P", "R", "W", "G", "S", "T", "H", "O"};

} // namespace

Settings::Settings()
    : MdbPath(AppHome::path()), SeqPath(QDir::homePath()),
      CallDate(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))) {
    for (int i = 0; i < KeyTableSize; ++i) {
        keyTable[i].Text = keyDefaultText(i);
        keyTable[i].Count = modGeneral::KeyCodeConvert(keyTable[i].Text, keyTable[i].Codes);
    }
}

QString keySettingName(int record) {
    for (const KeyGroup& group : kKeyGroups) {
        if (record >= group.first && record < group.first + group.count) {
            return QLatin1String(group.name) + QString::number(record - group.first + 1);
        }
    }
    return {};
}

QString keyDefaultText(int record) {
    return record >= 0 && record < KeyTableSize ? QString::fromLatin1(kKeyDefaults[record]) : QString();
}

Settings& settings() {
    static Settings instance;
    return instance;
}
