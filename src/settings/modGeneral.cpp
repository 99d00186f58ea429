#include "modGeneral.h"

#include "Database.h"
#include "DbError.h"
#include "LibraryContents.h"
#include "modSystem.h"

#include <QSet>
#include <algorithm>

namespace modGeneral {

QString ErrorSentence(const QString& procedure, int errorNumber) {
    // What the caller was doing, told by the procedure that failed.
    struct Kind {
        const char* names;
        int key;
        const char* text;
    };
    static const Kind kinds[] = {
        {"ReadSequenceText mnuFileSeqRead mnuEditPaste", 40411, "A sequence could not be read into the library."},
        {"WriteSequenceClipboard mnuEditCopy mnuEditCut", 40412, "Sequences could not be written as text."},
        {"AdminDataBase OpenSequenceMdbFile OptimizeDatabase CloseSequenceMdbFile mnuFileMdb", 40417,
         "The library could not be opened, brought up to date or closed."},
        {"CreateList CreateCallList VisibleLevel DisplayCallDetail", 40413, "The library could not be shown."},
        {"modSetting. INIMdb WriteIni ReadIni", 40415, "The settings could not be read or saved."},
        {"clsPrinter. modPrint. modExcel. PrintSequence", 40416, "Printing could not be finished."},
        {"frmVornReader.", 40414, "A change could not be saved in the library."},
    };
    QString sentence;
    for (const Kind& kind : kinds) {
        const QStringList names = QString::fromLatin1(kind.names).split(QLatin1Char(' '));
        if (std::any_of(names.cbegin(), names.cend(), [&](const QString& name) { return procedure.contains(name); })) {
            sentence = LoadTransString(kind.key, QString::fromLatin1(kind.text));
            break;
        }
    }
    if (sentence.isEmpty()) {
        sentence = LoadTransString(40410, QStringLiteral("VornReader could not finish what it was doing."));
    }
    // Only the extended SQLite codes name their cause beyond doubt; small numbers are shared
    // with the program's own error numbers.
    const int primary = errorNumber & 0xFF;
    if (errorNumber > 0xFF && (primary == 8 || primary == 10 || primary == 11 || primary == 14 || primary == 5)) {
        QString cause = LoadTransString(DbError(errorNumber, QString()).causeKey());
        if (!cause.isEmpty()) {
            cause[0] = cause[0].toUpper();
            sentence += QLatin1Char(' ') + cause;
        }
    }
    return sentence;
}

QStringList LevelNames() {
    return QStringLiteral("Mainstream,Plus,A1,A2,C1,C2,C3A,C3,C3X,C4A,C4,C4X,C4Z,All").split(QLatin1Char(','));
}

QStringList LevelMenuCaptions() {
    return LevelNames() << QStringLiteral("AllLevel") << LoadTransString(10201, QStringLiteral("（なし）"));
}

void CreateVornLevelList(IListControl& list, const QString& databasePath) {
    try {
        const QStringList names = LevelNames();
        QList<bool> present(names.size(), true);
        if (!databasePath.isEmpty()) {
            present.fill(false);
            Database db(databasePath);
            for (const QString& level : LibraryContents::levels(db)) {
                const qsizetype at = names.indexOf(level);
                if (at >= 0) {
                    present[at] = true;
                }
            }
        }
        list.clear();
        if (!databasePath.isEmpty()) {
            list.addItem(LoadTransString(30301), 0);
        }
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (present[i]) {
                list.addItem(names[i], 0);
            }
        }
        list.setListIndex(0);
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modGeneral.CreateVornLevelList"), error.info());
    }
}

void CreateVornPropertyList(IListControl& list, const QString& databasePath) {
    try {
        const QStringList names = LoadTransString(30302).split(QLatin1Char(','));
        QList<bool> present(names.size(), false);
        Database db(databasePath);
        for (const qint64 state : LibraryContents::states(db)) {
            if (state >= 0 && state < names.size()) {
                present[state] = true;
            }
        }
        list.clear();
        list.addItem(LoadTransString(30301), -1);
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (present[i]) {
                list.addItem(names[i], static_cast<int>(i));
            }
        }
        list.setListIndex(0);
    } catch (const DbError& error) {
        modSystem::WriteErrorLog(QStringLiteral("modGeneral.CreateVornPropertyList"), error.info());
    }
}

} // namespace modGeneral
