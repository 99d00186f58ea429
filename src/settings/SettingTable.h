#pragma once

#include "Statement.h"

#include <QHash>
#include <QString>
#include <optional>

class Database;

// A library's tblSetting as the settings store uses it. The rows are read once when it is
// created; a key matches its KeyName exactly. Failures throw DbError, so the procedure that uses
// it reports one error instead of one per key.
class SettingTable {
public:
    // Reads every row; throws when the table cannot be read (a library without tblSetting).
    explicit SettingTable(Database& db);

    // Data of the row (the empty text when null), or def when no row has the key.
    QString text(const QString& key, const QString& def) const;
    // Sets Data of the row, adding the row when missing.
    void write(const QString& key, const QString& value);

private:
    Database& m_db;
    QHash<QString, QString> m_rows;
    std::optional<Statement> m_upsert;
};
