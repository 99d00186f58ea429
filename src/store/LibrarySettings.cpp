#include "LibrarySettings.h"

#include "Database.h"
#include "DbError.h"
#include "LibrarySession.h"
#include "Transaction.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QFileInfo>
#include <optional>

namespace {

const QString kTemplateAlias = QStringLiteral("OrgTemplate");

bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

bool LibrarySettings::present(Database* db) {
    return db != nullptr && db->isOpen() && modDataBase::CheckExistTable(*db, QStringLiteral("tblSetting"));
}

LibrarySettings::LibrarySettings(Database& db) : m_db(db) {
    Statement rows = m_db.prepare(QStringLiteral("SELECT KeyName, Data FROM tblSetting"));
    while (rows.step()) {
        m_rows.insert(rows.text(0), rows.isNull(1) ? QString() : rows.text(1));
    }
}

QString LibrarySettings::text(const QString& key, const QString& def) const {
    return m_rows.value(key, def);
}

void LibrarySettings::write(const Rows& rows) {
    std::optional<Transaction> transaction;
    if (!m_db.inTransaction()) {
        transaction.emplace(m_db);
    }
    Statement upsert = m_db.prepare(QStringLiteral("INSERT INTO tblSetting (KeyName, Data) VALUES (?, ?) "
                                                   "ON CONFLICT (KeyName) DO UPDATE SET Data = excluded.Data"));
    for (const auto& [key, value] : rows) {
        upsert.bind(1, key).bind(2, value);
        upsert.run();
        m_rows.insert(key, value);
    }
    if (transaction) {
        transaction->commit();
    }
}

void LibrarySettings::copyToTemplate() {
    const QString templatePath = LibrarySession::TemplatePath();
    if (!modSystem::FileExists(templatePath) || sameFile(m_db.path(), templatePath)) {
        return;
    }
    m_db.attach(templatePath, kTemplateAlias);
    try {
        std::optional<Transaction> transaction;
        if (!m_db.inTransaction()) {
            transaction.emplace(m_db);
        }
        m_db.exec(QStringLiteral("DELETE FROM ") + kTemplateAlias + QStringLiteral(".tblSetting"));
        m_db.exec(QStringLiteral("INSERT INTO ") + kTemplateAlias +
                  QStringLiteral(".tblSetting SELECT * FROM tblSetting"));
        if (transaction) {
            transaction->commit();
        }
    } catch (...) {
        try {
            m_db.detach(kTemplateAlias);
        } catch (const DbError&) {
            // The copy's own failure is the one reported; the connection drops the alias on close.
        }
        throw;
    }
    m_db.detach(kTemplateAlias);
}
