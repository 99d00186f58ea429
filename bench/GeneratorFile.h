#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A synthetic generator output for timing the import: the text as the sequence generator writes
// it, together with the rows a faithful import must store for it.
struct GeneratorFile {
    struct Call {
        QString text;
        QString figure; // stored form: diagram rows without their leading blank, joined by CR LF
    };
    struct Sequence {
        QString date;        // yyyy/MM/dd
        QString time;        // hh:mm:ss
        QString note;        // the comment line, which is also the title
        QString historyDate; // yyyy-MM-dd
        QString party;
        QList<Call> calls;
    };

    QString level;
    QString version;
    QList<Sequence> sequences;
    QByteArray text;
    qsizetype callCount = 0;
    qsizetype figureCount = 0;

    // count sequences of meanCalls calls on average (meanCalls - 2 ... meanCalls + 2), a diagram
    // after about every second call, one comment line and one history line each, every sequence
    // with its own date and time. The same arguments always give the same file.
    static GeneratorFile generate(int count, int meanCalls);
};
