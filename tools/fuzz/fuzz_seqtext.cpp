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

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClipboardHost host(FuzzSupport::text(data, size));
    Database db(QStringLiteral(":memory:"), Database::Mode::Create);
    modDataBase::CreateSchema(db);

    const int added = modSeqText::ReadSequenceText(db, QString(), true, -1, host);
    const modDataBase::RecordCounts stored = modDataBase::CountRecords(db);
    FuzzSupport::check(added >= 0 && added == stored.sequences, "the count reported is the count stored");
    FuzzSupport::check(!db.inTransaction(), "the run leaves no transaction open");

    // Every sequence of the text is in the library now: a second run finds each one stored.
    FuzzSupport::check(modSeqText::ReadSequenceText(db, QString(), true, 0, host) == 0, "a second run adds nothing");
    FuzzSupport::check(modDataBase::CountRecords(db) == stored, "a second run stores nothing");
    return 0;
}
