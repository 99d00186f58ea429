#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>

// Answers the real dialogs of a command as a user would. Each step waits until its dialog is the
// active modal window (or, for a modeless one, a shown window of that name), then sends it keys or
// clicks. A dialog that stays open after an answer that closes it, or a window that holds the
// program while no step can answer it, is reported and hidden after a few seconds: a command that
// hangs fails its test instead of hanging it.
class DialogScript : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;
    struct Step {
        // dialog: the objectName or class name; closes: the answer closes the dialog (the next
        // step waits until it has); text: for a message box, its text (a box with another text is
        // not this step's).
        QString dialog;
        Answer answer;
        bool closes = true;
        QString text = {};
    };

    static constexpr int StuckMs = 3000;
    // Between two answers, as between a user's: the command answered first has got on.
    static constexpr int PauseMs = 100;
    static constexpr int UnwindMs = 1000;

    explicit DialogScript(QList<Step> steps) : m_steps(std::move(steps)) {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &DialogScript::tick);
        m_timer.start();
        m_idle.start();
    }

    // Every step answered and every answered dialog closed, or given up after a fault.
    bool settled() const { return m_abandoned || (m_next == m_steps.size() && !m_closing); }
    const QStringList& faults() const { return m_faults; }

    // Answers: keys go through the window system, as typed; clicks and text to the named child.
    static Answer press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [key, modifiers](QWidget* dialog) { QTest::keyClick(dialog->windowHandle(), key, modifiers); };
    }
    static Answer click(const QString& name) {
        return [name](QWidget* dialog) {
            auto* button = dialog->findChild<QAbstractButton*>(name);
            QVERIFY2(button, qPrintable(name));
            QTest::mouseClick(button, Qt::LeftButton);
        };
    }
    static Answer type(const QString& name, const QString& text) {
        return [name, text](QWidget* dialog) {
            auto* box = dialog->findChild<QWidget*>(name);
            QVERIFY2(box, qPrintable(name));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, text);
        };
    }
    // A path typed into the (non-native) file chooser's name box, and Enter.
    // The path is put in whole: typed key by key it opens the completer's list, which on a busy
    // machine can take the Enter instead of the dialog.
    static Answer chooseFile(const QString& path) {
        return [path](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY2(edit, "fileNameEdit");
            edit->setFocus();
            edit->setText(path);
            QTest::keyClick(edit, Qt::Key_Return);
        };
    }

private:
    static bool fits(const QWidget* widget, const Step& step) {
        const auto* box = qobject_cast<const QMessageBox*>(widget);
        return (widget->objectName() == step.dialog ||
                QLatin1String(widget->metaObject()->className()) == step.dialog) &&
               (step.text.isEmpty() || (box && box->text() == step.text));
    }
    static QString describe(const QWidget* widget) {
        const auto* box = qobject_cast<const QMessageBox*>(widget);
        return QLatin1String(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName() +
               (box ? QStringLiteral(" \"") + box->text() + QLatin1Char('"') : QString());
    }

    QWidget* dialogOfStep() const {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            return fits(modal, m_steps[m_next]) ? modal : nullptr;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && fits(widget, m_steps[m_next])) {
                return widget;
            }
        }
        return nullptr;
    }

    void fault(const QString& text, QWidget* stuck) {
        m_faults.append(text);
        m_abandoned = true;
        // Hiding ends the dialog's own event loop, so that the command gets on.
        stuck->hide();
    }

    void tick() {
        if (m_abandoned) {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->hide();
            }
            return;
        }
        if (m_closing) {
            if (m_closing->isVisible()) {
                if (m_idle.elapsed() > StuckMs) {
                    fault(describe(m_closing) + QStringLiteral(" stayed open after its answer"), m_closing);
                }
                return;
            }
            // Hidden is not yet returned: the dialog's exec() still has its loop to leave, and an
            // answer given meanwhile (on a busy machine) reaches the caller before the dialog's
            // result does. A dialog on the stack is destroyed once it has returned; one that is
            // kept gets a moment.
            if (!m_hidden.isValid()) {
                m_hidden.start();
            }
            if (m_hidden.elapsed() < UnwindMs) {
                return;
            }
            m_closing = nullptr;
        }
        if (m_next < m_steps.size() && m_idle.elapsed() >= PauseMs) {
            if (QWidget* dialog = dialogOfStep()) {
                const Step step = m_steps[m_next++];
                if (step.closes) {
                    m_closing = dialog;
                    m_hidden.invalidate();
                }
                m_idle.restart();
                // Answered from the event loop: an answer that opens a dialog of its own waits
                // there while the next steps are answered.
                QTimer::singleShot(0, dialog, [dialog, answer = step.answer] { answer(dialog); });
                return;
            }
        }
        QWidget* holding = QApplication::activeModalWidget();
        if (holding && m_idle.elapsed() > StuckMs) {
            fault(QStringLiteral("%1 is open while %2")
                      .arg(describe(holding), m_next < m_steps.size()
                                                  ? QStringLiteral("waiting for ") + m_steps[m_next].dialog
                                                  : QStringLiteral("no step is left")),
                  holding);
        }
    }

    QList<Step> m_steps;
    qsizetype m_next = 0;
    QPointer<QWidget> m_closing;
    QTimer m_timer;
    QElapsedTimer m_idle;
    QElapsedTimer m_hidden;
    QStringList m_faults;
    bool m_abandoned = false;
};
