#include "Fixtures.h"

#include "Database.h"
#include "modDataBase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTime>
#include <algorithm>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace Fixtures {

QString dataFile(const QString& name) {
    return QStringLiteral(VORN_TEST_DATA "/") + name;
}

void createLibrary(Database& db, const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    modDataBase::CreateLibrary(path);
    db.open(path);
}

static Statement bound(Database& db, const QString& sql, const QVariantList& values) {
    Statement statement = db.prepare(sql);
    for (qsizetype i = 0; i < values.size(); ++i) {
        statement.bind(static_cast<int>(i + 1), values[i]);
    }
    return statement;
}

QVariant value(Database& db, const QString& sql, const QVariantList& values) {
    Statement statement = bound(db, sql, values);
    return statement.step() ? statement.value(0) : QVariant();
}

QStringList rows(Database& db, const QString& sql, const QVariantList& values) {
    Statement statement = bound(db, sql, values);
    QStringList result;
    while (statement.step()) {
        QStringList fields;
        for (int i = 0; i < statement.columnCount(); ++i) {
            fields.append(statement.text(i));
        }
        result.append(fields.join(QLatin1Char('|')));
    }
    return result;
}

QStringList exactContent(Database& db) {
    QStringList result;
    for (const char* table : {"tblSequence", "tblCall", "tblHistory", "tblSetting"}) {
        Statement statement =
            db.prepare(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        while (statement.step()) {
            QStringList fields{QLatin1String(table)};
            for (int i = 0; i < statement.columnCount(); ++i) {
                const QVariant value = statement.value(i);
                fields.append(value.isNull()
                                  ? QStringLiteral("NULL")
                                  : QString::fromLatin1(value.typeName()) + QLatin1Char(':') + value.toString());
            }
            result.append(fields.join(QLatin1Char('|')));
        }
    }
    return result;
}

QStringList tables(const QString& path) {
    Database db(path);
    return exactContent(db);
}

QStringList unsound(Database& db, int calls, int history) {
    QStringList problems;
    const QString check = value(db, QStringLiteral("PRAGMA integrity_check")).toString();
    if (check != QLatin1String("ok")) {
        problems.append(check);
    }
    return problems +
           rows(
               db,
               QStringLiteral("SELECT 'sequence ' || Sequence FROM tblSequence s WHERE (SELECT count(*) FROM tblCall c "
                              "WHERE c.Sequence = s.Sequence) <> ?1 OR (SELECT count(*) FROM tblHistory h WHERE "
                              "h.Sequence = s.Sequence) <> ?2 UNION ALL SELECT 'orphan call of ' || Sequence FROM "
                              "tblCall WHERE Sequence NOT IN (SELECT Sequence FROM tblSequence) UNION ALL SELECT "
                              "'orphan history of ' || Sequence FROM tblHistory WHERE Sequence NOT IN (SELECT "
                              "Sequence FROM tblSequence)"),
               {calls, history});
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

qint64 runMicros(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);
}

bool killMidway(QRandomGenerator& random, qint64 maxMicros,
                const std::function<void(const std::function<void()>& ready)>& work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        try {
            work([&] {
                const char go = 'g';
                (void)!write(pipeEnds[1], &go, 1);
            });
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    // Without the parent's write end, a child that dies before it is ready ends the read.
    ::close(pipeEnds[1]);
    char go = 0;
    const bool started = child > 0 && read(pipeEnds[0], &go, 1) == 1;
    ::close(pipeEnds[0]);
    if (child > 0) {
        if (started) {
            usleep(static_cast<useconds_t>(random.bounded(maxMicros)));
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
    }
    return started;
}

void leaveHalfWritten(const QString& path) {
    const pid_t child = fork();
    if (child == 0) {
        Database db(path);
        db.exec(QStringLiteral("PRAGMA cache_size = 1"));
        db.exec(QStringLiteral("BEGIN"));
        db.exec(QStringLiteral("UPDATE tblCall SET Note = Note || hex(randomblob(300))"));
        _exit(0);
    }
    waitpid(child, nullptr, 0);
}

QString generatorText(int count, int callsPerSequence, const QString& level, int startSecond) {
    QString text;
    for (int s = 0; s < count; ++s) {
        const QTime time = QTime(0, 0).addSecs((startSecond + s) % 86400);
        text += QStringLiteral("%1Sun Dec  6 %2 %3     Sd39.56:db39.56     %4\n       generated sequence %5\n       "
                               "History: 2026/01/%6,Club %7\n\n\n")
                    .arg(s > 0 ? QStringLiteral("\f\n") : QString(), time.toString(u"HH:mm:ss"))
                    .arg(2026 + (startSecond + s) / 86400)
                    .arg(level)
                    .arg(s)
                    .arg(s % 28 + 1)
                    .arg(s % 7);
        for (int c = 1; c <= callsPerSequence; ++c) {
            text += QStringLiteral("call %1 of sequence %2 swing thru\n\n").arg(c).arg(s) +
                    (c % 2 ? QString() : QStringLiteral(" 1G^   2G<   2B<   1BV\n\n 3B^   4B>   4G>   3GV\n\n\n"));
        }
    }
    return text;
}

} // namespace Fixtures
