#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// The lines a stand-in reads from its standard input, without blocking its event loop; and the
// one-line reports it writes to standard output.
class StdinLines : public QObject {
    Q_OBJECT

public:
    explicit StdinLines(QObject* parent = nullptr);

    // Writes one line to standard output at once.
    static void say(const QString& line);

Q_SIGNALS:
    // One line, without its line end; "\t" written as two characters stands for a tab.
    void line(const QString& text);
    // Standard input, a pipe or a terminal, was closed (the one who started the stand-in has gone).
    void closed();

private:
    void readAvailable();

    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};
