#include "SettingTable.h"

#include "Database.h"

SettingTable::SettingTable(Database& db) : m_db(db) {
    Statement rows = m_db.prepare(QStringLiteral("SELECT KeyName, Data FROM tblSetting"));
    while (rows.step()) {
        m_rows.insert(rows.text(0), rows.isNull(1) ? QString() : rows.text(1));
    }
}

QString SettingTable::text(const QString& key, const QString& def) const {
    return m_rows.value(key, def);
}

void SettingTable::write(const QString& key, const QString& value) {
    if (!m_upsert) {
        m_upsert = m_db.prepare(QStringLiteral("INSERT INTO tblSetting (KeyName, Data) VALUES (?, ?) "
                                               "ON CONFLICT (KeyName) DO UPDATE SET Data = excluded.Data"));
    }
    m_upsert->bind(1, key).bind(2, value);
    m_upsert->run();
    m_rows.insert(key, value);
}
