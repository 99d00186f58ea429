#include "modGeneral.h"

#include "AppHome.h"
#include "Database.h"
#include "DbError.h"
#include "IniFile.h"
#include "modSystem.h"

#include <QSet>
#include <algorithm>

namespace {

QString g_language = QStringLiteral("Japanese");

} // namespace

namespace modGeneral {

void SetLanguage(const QString& language) {
    g_language = language;
}

QString Language() {
    return g_language;
}

QString LoadTransString(int key, const QString& def) {
    const QString file = g_language == QLatin1String("English") ? QStringLiteral("System/TransEnglish.ini")
                                                                : QStringLiteral("System/TransJapanese.ini");
    const QString section = QStringLiteral("Translation");
    const QString name = QString::number(key);
    std::optional<QString> text = IniFile::read(AppHome::path() + QLatin1Char('/') + file, section, name);
    if (!text) {
        // A home seeded by an older version lacks the texts added since; they come from the
        // shipped copy, while the user's own edits of the other texts stay in force.
        text = IniFile::read(QStringLiteral(":/") + file, section, name);
    }
    return (text ? *text : def).left(1023);
}

QString MessageFormat(const QString& text, const QVariantList& arguments) {
    QString result = text;
    result.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        result.replace(QLatin1Char('%') + QString::number(i + 1), arguments[i].toString());
    }
    return result;
}

QString TransMessage(int key, const QVariantList& arguments) {
    return MessageFormat(LoadTransString(key), arguments);
}

QString TransCount(int keyMany, int keyOne, qint64 count, const QVariantList& more) {
    return TransMessage(count == 1 ? keyOne : keyMany, QVariantList{count} + more);
}

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
            Statement levels = db.prepare(QStringLiteral("SELECT DISTINCT tblSequence.Level FROM tblSequence"));
            while (levels.step()) {
                const qsizetype at = names.indexOf(levels.text(0));
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
        Statement states = db.prepare(QStringLiteral("SELECT DISTINCT tblSequence.Property FROM tblSequence"));
        while (states.step()) {
            const qint64 state = states.int64(0);
            if (!states.isNull(0) && state >= 0 && state < names.size()) {
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
