#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

class Database;

// A library's tblSetting as the settings store uses it. The rows are read once when it is
// created; a key matches its KeyName exactly. Failures throw DbError, so the procedure that uses
// it reports one error instead of one per key.
class LibrarySettings {
public:
    using Rows = QList<std::pair<QString, QString>>;

    // True when db is an open library that has a tblSetting.
    static bool present(Database* db);

    // Reads every row; throws when the table cannot be read (a library without tblSetting).
    explicit LibrarySettings(Database& db);

    // Data of the row (the empty text when null), or def when no row has the key.
    QString text(const QString& key, const QString& def) const;
    // Sets Data of each row, adding the rows that are missing, all in one transaction (inside the
    // caller's when one is open).
    void write(const Rows& rows);
    // Replaces the template's settings with the library's, so that a library created from the
    // template later starts with them. A missing template, or a library that is the template
    // itself, has nothing to copy.
    void copyToTemplate();

private:
    Database& m_db;
    QHash<QString, QString> m_rows;
};
