#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>
#include <functional>

// A stand-in program (or a peer copy of the link) started for one test on the test's private bus:
// the lines it writes, the orders it reads. It ends when the test lets it go.
class StandinProcess {
public:
    explicit StandinProcess(const QString& program, const QStringList& arguments = {}) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
            }
        });
        m_process.start(program, arguments);
    }
    ~StandinProcess() {
        // The end of its input ends the stand-in.
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    bool waitForLine(const QString& line, int timeout = 5000) {
        return QTest::qWaitFor([&] { return m_lines.contains(line); }, timeout);
    }
    bool ready() { return waitForLine(QStringLiteral("ready")); }
    void order(const QString& line) { m_process.write(line.toUtf8() + '\n'); }
    QStringList lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    // The lines written before the marker's own line, removed from the kept lines. The marker is
    // a call sent after everything sent before on the same way; the bus keeps one sender's order,
    // so the lines before it are exactly what the earlier calls caused.
    QStringList linesBefore(const std::function<void()>& sendMarker, const QString& markerLine) {
        sendMarker();
        if (!waitForLine(markerLine)) {
            return {QStringLiteral("(no marker)")};
        }
        const QStringList before = m_lines.mid(0, m_lines.indexOf(markerLine));
        m_lines.clear();
        return before;
    }
    // The marker for the stand-in player: command 0x7777.
    QStringList playerLines() {
        const QString player = QStringLiteral("org.vorn.MusicPlayer");
        const QDBusMessage marker = QDBusMessage::createMethodCall(player, "/", player, "Command") << 0x7777;
        return linesBefore([&marker] { QDBusConnection::sessionBus().send(marker); }, QStringLiteral("Command 0x7777"));
    }

private:
    QProcess m_process;
    QStringList m_lines;
};
