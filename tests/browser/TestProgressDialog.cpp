#include "ProgressDialog.h"
#include "WindowFixture.h"
#include "modGeneral.h"

namespace {

// The real dialog, with the test standing in for the user at one step: until then and after it,
// every step goes to the dialog unchanged.
class UserAtStep final : public IProgress {
public:
    using Act = std::function<void(ProgressDialog& dialog, qint64 done, qint64 total)>;

    UserAtStep(QWidget* window, int at, Act act) : m_dialog(window), m_at(at), m_act(std::move(act)) {}

    void setLabel(const QString& text) override { m_dialog.setLabel(text); }
    bool step(qint64 done, qint64 total) override {
        if (++m_steps == m_at) {
            m_act(m_dialog, done, total);
        }
        return m_dialog.step(done, total);
    }
    void pause() override { m_dialog.pause(); }
    void setCancellable(bool cancellable) override { m_dialog.setCancellable(cancellable); }
    bool cancelled() const override { return m_dialog.cancelled(); }

private:
    ProgressDialog m_dialog;
    int m_at;
    Act m_act;
    int m_steps = 0;
};

} // namespace

// The progress dialog of long commands in the real window.
class TestProgressDialog : public WindowFixture {
    Q_OBJECT

    // Steps until the dialog has shown itself.
    static bool waitShown(ProgressDialog& dialog, qint64 done, qint64 total) {
        return QTest::qWaitFor([&] {
            dialog.step(done, total);
            return dialog.dialog()->isVisible();
        });
    }

private Q_SLOTS:
    // File > Read of a long file, its Cancel clicked after the fifth sequence: the five sequences
    // are stored whole and the report counts them.
    void cancelStopsARead() {
        QVERIFY(start({}));
        const QString path = m_home->file(QStringLiteral("long.Plus"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Fixtures::generatorText(200, 4).toUtf8());
        }
        m_dialogs->filesToOpen = {path};
        bool modal = false;
        QString label;
        m_dialogs->makeProgress = [&] {
            return std::make_unique<UserAtStep>(
                m_window.get(), 5, [&](ProgressDialog& progress, qint64 done, qint64 total) {
                    QTRY_VERIFY((progress.step(done, total), progress.dialog()->isVisible()));
                    modal = QApplication::activeModalWidget() == progress.dialog();
                    label = progress.dialog()->labelText();
                    auto* cancel = progress.dialog()->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
                    QVERIFY(cancel);
                    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
                    QTest::mouseClick(cancel, Qt::LeftButton);
                });
        };
        m_window->menus().fileRead->trigger();

        QVERIFY(modal);
        QCOMPARE(label, QStringLiteral("Reading \"%1\": 5 sequences stored").arg(path));
        QCOMPARE(m_dialogs->informations,
                 QStringList{modGeneral::TransMessage(40304, {QLatin1Char('"') + path + QLatin1Char('"'), 5})});
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tblSequence")), 5);
        QCOMPARE(sql(QStringLiteral("SELECT count(*) FROM tblCall GROUP BY Sequence")), QStringList(5, "4"));
        QCOMPARE(seqCount(), 5);
        QVERIFY(m_window->findChild<QProgressDialog*>() == nullptr);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // Cancel, Escape and the close box stop the work; once it can no longer be stopped, Cancel is
    // gone and neither Escape nor the close box hide the dialog.
    void waysToStop_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("cancellable");
        QTest::newRow("Cancel, stoppable") << "Cancel" << true;
        QTest::newRow("Escape, stoppable") << "Escape" << true;
        QTest::newRow("close box, stoppable") << "close" << true;
        QTest::newRow("Escape, not stoppable") << "Escape" << false;
        QTest::newRow("close box, not stoppable") << "close" << false;
    }
    void waysToStop() {
        QFETCH(QString, way);
        QFETCH(bool, cancellable);
        QVERIFY(start({}));
        ProgressDialog progress(m_window.get());
        progress.setLabel(QStringLiteral("Working"));
        progress.setCancellable(cancellable);
        QVERIFY(waitShown(progress, 1, 4));
        QCOMPARE(progress.dialog()->labelText(), QStringLiteral("Working"));
        QCOMPARE(progress.dialog()->findChild<QPushButton*>(QStringLiteral("cmdCancel")) != nullptr, cancellable);
        if (way == QLatin1String("Cancel")) {
            QTest::mouseClick(progress.dialog()->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        } else if (way == QLatin1String("Escape")) {
            QTest::keyClick(progress.dialog(), Qt::Key_Escape);
        } else {
            progress.dialog()->close();
        }
        QCOMPARE(progress.step(2, 4), !cancellable);
        QCOMPARE(progress.cancelled(), cancellable);
        QCOMPARE(progress.dialog()->isVisible(), !cancellable);
    }

    // From the start of the work, before the dialog shows, the window neither closes nor takes
    // dropped files; afterwards it does both again.
    void windowHoldsStillDuringWork() {
        QVERIFY(start({"generated Plus"}));
        const QString path = m_home->file(QStringLiteral("more.Plus"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Fixtures::generatorText(2, 2, QStringLiteral("Plus"), 100).toUtf8());
        }
        QWidget* viewport = m_window->sequenceList().view()->viewport();
        // As a drag does: the widget that accepts the entering drag receives the drop.
        const auto drop = [&] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &event);
        };
        {
            ProgressDialog progress(m_window.get());
            QVERIFY(progress.step(0, 1));
            QVERIFY(!progress.dialog()->isVisible());
            QVERIFY(!m_window->close());
            QVERIFY(m_window->isVisible());
            drop();
            QCOMPARE(seqCount(), 3);
            // While the work waits for an answer, a question's box is closed as any other.
            progress.pause();
            QMessageBox question(QMessageBox::Question, QStringLiteral("VornReader"), QStringLiteral("Go on?"),
                                 QMessageBox::Ok | QMessageBox::Cancel, m_window.get());
            question.show();
            QVERIFY(question.close());
            QVERIFY(progress.step(0, 1));
            QVERIFY(!m_window->close());
        }
        drop();
        QCOMPARE(seqCount(), 5);
        QVERIFY(m_window->close());
    }

    // While the work waits for an answer the dialog is hidden, and it stays stopped once stopped.
    void pauseHides() {
        QVERIFY(start({}));
        ProgressDialog progress(m_window.get());
        QVERIFY(waitShown(progress, 0, 0));
        QCOMPARE(progress.dialog()->maximum(), 0);
        progress.pause();
        QVERIFY(!progress.dialog()->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(waitShown(progress, 3, 4));
        QCOMPARE(progress.dialog()->value(), 750);
        progress.dialog()->close();
        QVERIFY(!progress.step(4, 4));
        progress.pause();
        QVERIFY(!progress.step(4, 4));
        QVERIFY(!progress.dialog()->isVisible());
    }
};

QTEST_MAIN(TestProgressDialog)
#include "TestProgressDialog.moc"
