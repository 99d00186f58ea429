#pragma once

#include "IErrorBox.h"
#include "modSystem.h"

#include <QStringList>

// Installs itself as the error box for its lifetime; answers OK and records every prompt.
class RecordingErrorBox final : public IErrorBox {
public:
    RecordingErrorBox() { modSystem::setErrorBox(this); }
    ~RecordingErrorBox() override { modSystem::setErrorBox(nullptr); }
    RecordingErrorBox(const RecordingErrorBox&) = delete;
    RecordingErrorBox& operator=(const RecordingErrorBox&) = delete;

    bool askContinue(const ErrorBoxReport& report) override {
        prompts.append(report.prompt());
        return true;
    }

    // True when some report names the procedure.
    bool reported(const QString& procedure) const {
        for (const QString& prompt : prompts) {
            if (prompt.contains(QStringLiteral("\r\n") + procedure + QStringLiteral("\r\n"))) {
                return true;
            }
        }
        return false;
    }

    QStringList prompts;
};
