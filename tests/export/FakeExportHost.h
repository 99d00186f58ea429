#pragma once

#include "IExportHost.h"

#include <QList>
#include <QStringList>

// The export's surroundings without windows: the question gets its scripted answer; messages,
// questions, author prompts and the wait signs are recorded. Base is IExportHost or an interface
// derived from it.
template <class Base = IExportHost> class FakeExportHostOf : public Base {
public:
    void exclamation(const QString& text) override { exclamations.append(text); }
    void information(const QString& text) override { informations.append(text); }
    bool question(const QString& text) override {
        questions.append(text);
        return answerOk;
    }
    std::optional<QString> askAuthor(const QString& prompt) override {
        authorPrompts.append(prompt);
        return author;
    }
    void busy(bool on) override { busySigns.append(on); }

    bool answerOk = true;
    std::optional<QString> author;

    QStringList exclamations;
    QStringList informations;
    QStringList questions;
    QStringList authorPrompts;
    QList<bool> busySigns;
};

using FakeExportHost = FakeExportHostOf<>;
