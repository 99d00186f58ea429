#include "SequenceOutput.h"

#include "CodedError.h"
#include "IProgress.h"
#include "Translation.h"
#include "modSystem.h"

namespace SequenceOutput {

void logError(const QString& procedure, const std::exception& e) {
    if (const auto* coded = dynamic_cast<const CodedError*>(&e)) {
        modSystem::WriteErrorLog(procedure, coded->info());
    } else {
        modSystem::WriteErrorLog(procedure, ErrorInfo{VornError::Unexpected, QString::fromLocal8Bit(e.what())});
    }
}

bool ForEachSequence(ISequenceSource& source, const QList<qint64>& sequences, const QString& label,
                     const QString& procedure, IProgress* progress, QList<qint64>& missing,
                     const std::function<bool(const SequenceRecord&)>& visit,
                     const std::function<void(const CallRecord&)>& visitCall) {
    const qint64 total = sequences.size();
    qint64 done = 0;
    for (const qint64 key : sequences) {
        if (progress != nullptr) {
            progress->setLabel(modGeneral::MessageFormat(label, {done + 1, total}));
            if (!progress->step(done, total)) {
                return false;
            }
        }
        ++done;
        try {
            const std::optional<SequenceRecord> sequence = source.sequenceRecord(key);
            if (!sequence) {
                missing.append(key);
                continue;
            }
            // A sequence the output has no room for is left out.
            if (!visit(*sequence)) {
                continue;
            }
            for (const CallRecord& call : sequence->calls) {
                try {
                    visitCall(call);
                } catch (const std::exception& e) {
                    logError(procedure, e);
                }
            }
        } catch (const std::exception& e) {
            logError(procedure, e);
        }
    }
    return progressStep(progress, total, total);
}

QString levelLine(const SequenceRecord& sequence) {
    return QStringLiteral("Level : ") + sequence.level + QStringLiteral("    Create : ") + sequence.date +
           QLatin1Char(' ') + sequence.time;
}

QString authorLine(const SequenceRecord& sequence) {
    return QStringLiteral("Author : ") + sequence.author;
}

QString noteLine(const SequenceRecord& sequence) {
    return QStringLiteral("Note : ") + sequence.note;
}

} // namespace SequenceOutput
