// Sequence text as clipboard text, read into an empty in-memory library, then read a second time.

#include "Database.h"
#include "FuzzSupport.h"
#include "ISeqTextHost.h"
#include "SequenceImport.h"
#include "modDataBase.h"

namespace {

class ClipboardHost final : public ISeqTextHost {
public:
    explicit ClipboardHost(QString text) : m_text(std::move(text)) {}

    QString author() const override { return QStringLiteral("Fuzz"); }
    bool seqDateSave() const override { return false; }
    QString clipboardText() const override { return m_text; }
    QString transString(int, const QString& def) const override { return def; }
    void showReadReport(const QString&) override {}

private:
    QString m_text;
};

qint64 count(Database& db, const char* table) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toLongLong();
}

// One library for the whole run, emptied before each input: opening a new one costs more than the
// reading itself.
Database& library() {
    static Database* db = [] {
        auto* created = new Database(QStringLiteral(":memory:"), Database::Mode::Create);
        modDataBase::CreateSchema(*created);
        return created;
    }();
    return *db;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClipboardHost host(FuzzSupport::text(data, size));
    Database& db = library();
    for (const char* table : {"tblSequence", "tblCall", "tblHistory", "sqlite_sequence"}) {
        db.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    }

    const int added = modSeqText::ReadSequenceText(db, QString(), true, -1, host);
    FuzzSupport::check(added >= 0 && added == count(db, "tblSequence"), "the count reported is the count stored");
    FuzzSupport::check(!db.inTransaction(), "the run leaves no transaction open");

    // Every sequence of the text is in the library now: a second run finds each one stored.
    const qint64 calls = count(db, "tblCall");
    FuzzSupport::check(modSeqText::ReadSequenceText(db, QString(), true, 0, host) == 0, "a second run adds nothing");
    FuzzSupport::check(count(db, "tblSequence") == added && count(db, "tblCall") == calls,
                       "a second run stores nothing");
    return 0;
}
