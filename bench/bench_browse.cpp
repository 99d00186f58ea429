// Times browsing a library of 100,000 sequences with about 2.5 million calls in the main window:
// opening the library up to the first sequence list and call list, refilling the sequence list
// for one level and for all levels, and changing the sequence (call list, history and both
// figures drawn). The library is generated once and kept in the build folder; each run works on
// a copy.

#include "CallList.h"
#include "Database.h"
#include "DbError.h"
#include "FigureView.h"
#include "HomeSeeder.h"
#include "IBrowserDialogs.h"
#include "IErrorBox.h"
#include "LibrarySession.h"
#include "MainMenus.h"
#include "SequenceList.h"
#include "Settings.h"
#include "Transaction.h"
#include "frmVornReader.h"
#include "modDataBase.h"
#include "modSystem.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <set>
#include <vector>

#ifndef VORN_BENCH_CACHE
#define VORN_BENCH_CACHE "."
#endif

namespace {

constexpr int kSequences = 100000;
constexpr int kPlusSequences = 50000;
constexpr int kMinCalls = 20;
constexpr int kMaxCalls = 30;
constexpr int kListRuns = 5;
constexpr int kChanges = 200;
constexpr double kOpenTargetMs = 300;
constexpr double kListTargetMs = 100;
constexpr double kChangeTargetMs = 10;

const QString kPlus = QStringLiteral("Plus");
const QString kAllLevel = QStringLiteral("AllLevel");
const char* const kOtherLevels[] = {"A1", "A2", "C1"};
const char* const kCalls[] = {"HEADS pass the ocean",
                              "SIDES slide thru",
                              "swing thru",
                              "boys run",
                              "ferris wheel",
                              "centers pass thru",
                              "touch 1/4",
                              "scoot back",
                              "recycle",
                              "veer left",
                              "couples circulate",
                              "bend the line",
                              "star thru",
                              "{ hint: watch the ends } cut the diamond",
                              "right and left grand  (at home)",
                              "spin chain the gears",
                              "load the boat",
                              "relay the deucey",
                              "explode and roll",
                              "{b trade} the wave"};
// Formations as the reader stores them: the figure lines without their first column, joined
// with CR LF.
const QString kFigures[] = {
    QStringLiteral("4B>   1B^   1G^   2G<\r\n\r\n4G>   3GV   3BV   2B<"),
    QStringLiteral("3B^   4B^   2G^   3G^\r\n\r\n1GV   4GV   2BV   1BV"),
    QStringLiteral("4B>                    2G<\r\n    3GV  3BV  1B^  1G^\r\n4G>                    2B<"),
    QStringLiteral("        1GV\r\n        3B^\r\n2G> 4B<     2B> 4G<\r\n        1BV\r\n        3G^"),
};

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "bench_browse: %s\n", qPrintable(what));
    std::exit(2);
}

// A small deterministic generator, so every run builds the same library.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    quint32 next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<quint32>(m_state >> 33);
    }
    int between(int low, int high) { return low + static_cast<int>(next() % quint32(high - low + 1)); }

private:
    quint64 m_state;
};

// Any error report the program raises during a run makes its figures worthless.
class FailingErrorBox final : public IErrorBox {
public:
    bool askContinue(const QString& title, const QString& prompt) override {
        fail(QStringLiteral("error report \"%1\": %2").arg(title, prompt));
    }
};

// Browsing must ask nothing; a question or message means the run went wrong.
class SilentDialogs final : public IBrowserDialogs {
public:
    void exclamation(const QString& text) override { fail(QStringLiteral("message: ") + text); }
    void information(const QString& text) override { fail(QStringLiteral("message: ") + text); }
    bool question(const QString& text) override { fail(QStringLiteral("question: ") + text); }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString& prompt) override { fail(QStringLiteral("question: ") + prompt); }
    void about(const QString&, const QString&) override {}
    std::optional<HistoryEntryText> historyAdd(const HistoryEntryText&) override { return {}; }
    std::optional<int> historyDelete(const QList<HistoryEntryText>&) override { return {}; }
    std::optional<QString> changeLevel(const QStringList&) override { return {}; }
    std::optional<FormationText> editFormation(const FormationText&, bool) override { return {}; }
};

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double g_lastCpuMs = 0;

// The wall time of work; its CPU time is left in g_lastCpuMs, which shows how much of a figure
// is waiting for a busy machine.
double elapsedMs(const std::function<void()>& work) {
    const double cpuStart = cpuMs();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    g_lastCpuMs = cpuMs() - cpuStart;
    return wall;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double median(const std::vector<double>& values) {
    return percentile(values, 0.5);
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

// Writes the library with prepared INSERTs in one transaction: every other sequence is Plus, the
// rest go round A1, A2 and C1; each sequence has its own date and time. About half the calls carry
// a formation, and one sequence in five has one to three history entries, as imports leave them.
void generate(const QString& path) {
    Lcg random(20261207);
    QFile::remove(path);
    modDataBase::CreateLibrary(path);
    Database db(path);
    db.exec(QStringLiteral("PRAGMA synchronous=OFF"));
    Transaction transaction(db);
    Statement addSequence = db.prepare(
        QStringLiteral("INSERT INTO tblSequence (Level, Date, Time, Version, Title, Note, Property, OrderNo, Author) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Statement addCall = db.prepare(QStringLiteral(
        "INSERT INTO tblCall (Sequence, Number, Call, Figure, Note, HexInfo) VALUES (?, ?, ?, ?, ?, ?)"));
    Statement addHistory =
        db.prepare(QStringLiteral("INSERT INTO tblHistory (Sequence, CallDate, PartyName) VALUES (?, ?, ?)"));
    std::vector<qint64> orderNo(4, 0);
    for (int s = 0; s < kSequences; ++s) {
        // Times run backwards against the insertion order, so the list order by date is not the
        // key order; 37 seconds apart keeps every (Date, Time, Level) unique.
        const int second = (kSequences - s) * 37;
        const QString date = QStringLiteral("20%1/%2/%3")
                                 .arg(10 + second / (86400 * 336), 2, 10, QLatin1Char('0'))
                                 .arg(second / (86400 * 28) % 12 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(second / 86400 % 28 + 1, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2:%3")
                                 .arg(second / 3600 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(second % 60, 2, 10, QLatin1Char('0'));
        const int levelSlot = s % 2 == 0 ? 0 : 1 + (s / 2) % 3;
        const QString level = levelSlot == 0 ? kPlus : QString::fromLatin1(kOtherLevels[levelSlot - 1]);
        addSequence.reset();
        addSequence.bind(1, level)
            .bind(2, date)
            .bind(3, time)
            .bind(4, QStringLiteral("Sd39.56:db39.56"))
            .bind(5, QStringLiteral("Sequence %1 {b %2}").arg(s).arg(level))
            .bind(6, QStringLiteral("generated sequence %1").arg(s))
            .bind(7, s % 14)
            .bind(8, ++orderNo[std::size_t(levelSlot)])
            .bind(9, QStringLiteral("bench"));
        addSequence.run();
        const qint64 sequence = db.lastInsertRowId();
        const int calls = random.between(kMinCalls, kMaxCalls);
        for (int number = 1; number <= calls; ++number) {
            addCall.reset();
            addCall.bind(1, sequence).bind(2, number).bind(3, QString::fromLatin1(kCalls[random.next() % 20]));
            if (random.next() % 2 == 0) {
                addCall.bind(4, kFigures[random.next() % std::size(kFigures)]);
            } else {
                addCall.bind(4, QString());
            }
            addCall.bind(5, number == calls ? QStringLiteral("at home") : QString()).bind(6, QString());
            addCall.run();
        }
        if (random.next() % 5 == 0) {
            const int entries = random.between(1, 3);
            for (int h = 0; h < entries; ++h) {
                addHistory.reset();
                addHistory.bind(1, sequence)
                    .bind(2, QStringLiteral("2025-%1-%2")
                                 .arg(random.between(1, 12), 2, 10, QLatin1Char('0'))
                                 .arg(random.between(1, 28), 2, 10, QLatin1Char('0')))
                    .bind(3, QStringLiteral("Club %1").arg(random.between(1, 9)));
                addHistory.run();
            }
        }
    }
    transaction.commit();
}

QString cachedLibrary() {
    const QString cached = QDir(QStringLiteral(VORN_BENCH_CACHE)).filePath(QStringLiteral("bench_browse_v2.mdb"));
    if (!QFile::exists(cached)) {
        const QString building = cached + QStringLiteral(".part");
        const double ms = elapsedMs([&] { generate(building); });
        QFile::remove(cached);
        if (!QFile::rename(building, cached)) {
            fail(QStringLiteral("cannot keep the generated library as ") + cached);
        }
        std::printf("Generated the library in %.1f s (kept as %s)\n", ms / 1000, qPrintable(cached));
    }
    return cached;
}

int levelItem(frmVornReader& window, const QString& caption) {
    const QList<QAction*>& items = window.menus().viewLevels;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->text() == caption) {
            return static_cast<int>(i);
        }
    }
    fail(QStringLiteral("no level menu item \"%1\"").arg(caption));
}

FigureView* figureView(frmVornReader& window, const QString& name) {
    auto* view = window.findChild<FigureView*>(name);
    if (!view) {
        fail(QStringLiteral("no figure view ") + name);
    }
    return view;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        fail(QStringLiteral("cannot create a temporary folder"));
    }
    const QString home = work.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("VORNREADER_HOME", QFile::encodeName(home));

    QApplication app(argc, argv);
    FailingErrorBox errorBox;
    modSystem::setErrorBox(&errorBox);
    HomeSeeder::SeedApplicationHome();

    const QString folder = work.filePath(QStringLiteral("library"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/library.mdb");
    try {
        if (!QFile::copy(cachedLibrary(), path)) {
            fail(QStringLiteral("cannot copy the library"));
        }
        Database db(path);
        // The window opens at the Plus list, as it would after the user last looked at Plus.
        modDataBase::WriteINIMdbString(db, QStringLiteral("ViewLevel"), kPlus);
        const auto count = [&db](const QString& sql, const QString& value = {}) {
            Statement statement = db.prepare(sql);
            if (!value.isNull()) {
                statement.bind(1, value);
            }
            return statement.step() ? static_cast<long long>(statement.int64(0)) : -1LL;
        };
        std::printf("Library: %lld sequences (%lld Plus), %lld calls (%lld with a formation), %lld history rows, "
                    "%.0f MB\n",
                    count(QStringLiteral("SELECT count(*) FROM tblSequence")),
                    count(QStringLiteral("SELECT count(*) FROM tblSequence WHERE Level = ?"), kPlus),
                    count(QStringLiteral("SELECT count(*) FROM tblCall")),
                    count(QStringLiteral("SELECT count(*) FROM tblCall WHERE Figure <> ?"), QStringLiteral("")),
                    count(QStringLiteral("SELECT count(*) FROM tblHistory")),
                    double(QFile(path).size()) / (1024 * 1024));
    } catch (const DbError& error) {
        fail(error.message());
    }
    modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("MdbPath"), folder,
                             QStringLiteral("VornReader.ini"));
    modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("MdbFile"), QStringLiteral("library.mdb"),
                             QStringLiteral("VornReader.ini"));
    modSystem::WriteIniValue(QStringLiteral("VornReader"), QStringLiteral("Language"), QStringLiteral("English"),
                             QStringLiteral("VornReader.ini"));

    // (a) From building the window to the first sequence list and call list: the window opens
    // the library on its first show.
    SilentDialogs dialogs;
    std::unique_ptr<frmVornReader> window;
    const double constructMs = elapsedMs([&] { window = std::make_unique<frmVornReader>(QString(), &dialogs); });
    const double constructCpu = g_lastCpuMs;
    const double showMs = elapsedMs([&] { window->show(); });
    const double showCpu = g_lastCpuMs;
    const double openMs = elapsedMs([&] {
        QElapsedTimer limit;
        limit.start();
        while (!window->session().isOpen() || window->callList().rowCount() == 0) {
            if (limit.elapsed() > 60000) {
                fail(QStringLiteral("the library did not open within a minute"));
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    });
    const double openCpu = g_lastCpuMs;
    const double firstListMs = constructMs + showMs + openMs;
    SequenceList& sequences = window->sequenceList();
    if (settings().ViewLevel != kPlus || sequences.rowCount() != kPlusSequences) {
        fail(
            QStringLiteral("the window opened at %1 with %2 rows").arg(settings().ViewLevel).arg(sequences.rowCount()));
    }
    // Not a target: the whole window painted once after that.
    const double firstPaintMs = elapsedMs([&] { window->grab(); });

    // (b) Refilling the list, alternating between the two so each run starts from the other.
    const int plusItem = levelItem(*window, kPlus);
    const int allItem = levelItem(*window, kAllLevel);
    std::vector<double> plusRuns;
    std::vector<double> plusCpu;
    std::vector<double> allRuns;
    std::vector<double> allCpu;
    for (int run = 0; run < kListRuns; ++run) {
        allRuns.push_back(elapsedMs([&] { window->mnuViewLevel_Click(allItem); }));
        allCpu.push_back(g_lastCpuMs);
        if (sequences.rowCount() != kSequences) {
            fail(QStringLiteral("AllLevel listed %1 rows").arg(sequences.rowCount()));
        }
        plusRuns.push_back(elapsedMs([&] { window->mnuViewLevel_Click(plusItem); }));
        plusCpu.push_back(g_lastCpuMs);
        if (sequences.rowCount() != kPlusSequences) {
            fail(QStringLiteral("Plus listed %1 rows").arg(sequences.rowCount()));
        }
    }

    // (c) Sequence changes to rows spread over the whole Plus list, each with both figures drawn.
    FigureView* before = figureView(*window, QStringLiteral("picBeforeFig"));
    FigureView* after = figureView(*window, QStringLiteral("picAfterFig"));
    Lcg random(7);
    std::set<int> used{sequences.currentRow()};
    std::vector<double> changes;
    std::vector<double> changesCpu;
    QCoreApplication::processEvents();
    while (static_cast<int>(changes.size()) < kChanges) {
        const int row = static_cast<int>(random.next() % kPlusSequences);
        if (!used.insert(row).second) {
            continue;
        }
        changes.push_back(elapsedMs([&] {
            sequences.setCurrentRow(row);
            before->grab();
            after->grab();
        }));
        changesCpu.push_back(g_lastCpuMs);
        if (sequences.currentRow() != row || window->state().currentSequence != sequences.currentSequence() ||
            window->callList().rowCount() < kMinCalls || before->isEmpty()) {
            fail(QStringLiteral("row %1 was not shown").arg(row));
        }
        // Whatever the change left for the event loop is handled outside the timing, as the
        // user's next key press would wait for it.
        QCoreApplication::processEvents();
    }

    std::printf("(a) Open to the first list and call list: %.1f ms (CPU %.1f ms)  target <= %.0f ms  %s\n", firstListMs,
                constructCpu + showCpu + openCpu, kOpenTargetMs, verdict(firstListMs <= kOpenTargetMs));
    std::printf("    window built %.1f ms (CPU %.1f), shown %.1f ms (CPU %.1f), library opened and lists filled "
                "%.1f ms (CPU %.1f); first full paint afterwards %.1f ms (no target)\n",
                constructMs, constructCpu, showMs, showCpu, openMs, openCpu, firstPaintMs);
    const double plusMs = median(plusRuns);
    std::printf("(b) CreateList Plus, %d sequences: %.1f ms (CPU %.1f ms; median of %d)  target <= %.0f ms  %s\n",
                kPlusSequences, plusMs, median(plusCpu), kListRuns, kListTargetMs, verdict(plusMs <= kListTargetMs));
    std::printf("    CreateList AllLevel, %d sequences: %.1f ms (CPU %.1f ms; median of %d; no target)\n", kSequences,
                median(allRuns), median(allCpu), kListRuns);
    const double changeMs = median(changes);
    std::printf("(c) Sequence change with figures drawn: median %.2f ms (CPU %.2f ms), 95th percentile %.2f ms, "
                "slowest %.2f ms (%d changes)  target median <= %.0f ms  %s\n",
                changeMs, median(changesCpu), percentile(changes, 0.95),
                *std::max_element(changes.begin(), changes.end()), kChanges, kChangeTargetMs,
                verdict(changeMs <= kChangeTargetMs));

    // The window is dropped without closing it: closing would write the settings back and compact
    // the copy, which is no part of what is measured.
    window.reset();
    modSystem::setErrorBox(nullptr);
    return 0;
}
