#pragma once

#include "ISeqTextHost.h"

#include <QStringList>

// Settings, clipboard and clock as a test sets them; reports and refreshes are recorded.
class FakeSeqTextHost final : public ISeqTextHost {
public:
    QString author() const override { return authorText; }
    bool seqDateSave() const override { return dateSave; }
    QString clipboardText() const override { return clipboard; }
    QDateTime now() const override { return clock.isValid() ? clock : QDateTime::currentDateTime(); }
    QString transString(int key, const QString& def) const override {
        return key == 40302 ? QStringLiteral("Clipboard") : def;
    }
    void refreshAfterRead() override { ++refreshes; }
    void showReadReport(const QString& message) override { reports.append(message); }
    void showReadFailure(const QString& message) override { failures.append(message); }

    QString authorText;
    bool dateSave = false;
    QString clipboard;
    QDateTime clock;
    int refreshes = 0;
    QStringList reports;
    QStringList failures;
};
