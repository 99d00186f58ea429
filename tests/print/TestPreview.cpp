#include "PreviewPage.h"
#include "Settings.h"
#include "TestHome.h"
#include "clsPageSetupDlg.h"
#include "clsPrinter.h"
#include "frmPreview.h"
#include "modGeneral.h"

#include <QPageSetupDialog>
#include <QtTest>
#include <QtWidgets>

namespace {

QList<QPicture> pictures(int count) {
    QList<QPicture> pages;
    for (int i = 0; i < count; ++i) {
        QPicture page;
        QPainter painter(&page);
        painter.drawText(QPointF(1000, 1000), QStringLiteral("page %1").arg(i + 1));
        painter.end();
        pages.append(page);
    }
    return pages;
}

void mouse(QWidget* target, QEvent::Type type, QPoint global) {
    QMouseEvent event(type, target->mapFromGlobal(QPointF(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

// The preview window over recorded pages, and the page-setup dialog answered in place.
class TestPreview : public QObject {
    Q_OBJECT

private:
    template <typename T> T* child(const char* name) const {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        return found;
    }
    void show(int pages) {
        m_form->showPages(pictures(pages), clsPrinter::pageSizeTwips(9, 1));
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QString pageText() const { return child<QLineEdit>("txtPage")->text(); }

    std::unique_ptr<TestHome> m_home;
    FormGeometry m_geometry;
    std::unique_ptr<frmPreview> m_form;

private Q_SLOTS:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_geometry = {150, 300, 15000, 9000};
        m_form = std::make_unique<frmPreview>(m_geometry);
    }
    void cleanup() {
        m_form.reset();
        m_home.reset();
    }

    void onePage() {
        show(1);
        QVERIFY(m_form->isModal() || m_form->windowModality() == Qt::ApplicationModal);
        QCOMPARE(pageText(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>("lblMaxPage")->text(), QStringLiteral("/ 1"));
        QVERIFY(!child<QPushButton>("cmdPagePrevious")->isEnabled());
        QVERIFY(!child<QPushButton>("cmdPageNext")->isEnabled());
        QCOMPARE(m_form->size(), QSize(1000, 600));
    }

    // Opened at the size of a first start (400 x 400 pixels), the window is as large as its button
    // row needs: every caption and the page count show whole, side by side.
    void buttonRowShowsWhole_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "English";
        QTest::newRow("Japanese") << "Japanese";
    }
    void buttonRowShowsWhole() {
        QFETCH(QString, language);
        modGeneral::SetLanguage(language);
        m_geometry = {0, 0, 6000, 6000};
        m_form = std::make_unique<frmPreview>(m_geometry);
        show(12);
        QRect previous;
        for (const char* name : {"Label1", "txtPage", "lblMaxPage", "cmdPagePrevious", "cmdPageNext", "cmdZoomPage",
                                 "cmdZoomWidth", "cmdZoom100", "cmdPrint", "cmdClose"}) {
            auto* widget = child<QWidget>(name);
            const QRect rect(widget->mapTo(m_form.get(), QPoint(0, 0)), widget->size());
            QVERIFY2(m_form->rect().contains(rect), name);
            QVERIFY2(previous.isNull() || rect.left() > previous.right(), name);
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), name);
            previous = rect;
        }
        auto* viewport = child<QWidget>("picContainer1");
        QVERIFY(viewport->height() >= 100);
        QVERIFY(viewport->mapTo(m_form.get(), QPoint(0, 0)).y() > previous.bottom());
        modGeneral::SetLanguage(QStringLiteral("Japanese"));
    }

    void steppingStopsAtBothEnds() {
        show(3);
        QCOMPARE(child<QLabel>("lblMaxPage")->text(), QStringLiteral("/ 3"));
        auto* next = child<QPushButton>("cmdPageNext");
        auto* previous = child<QPushButton>("cmdPagePrevious");
        QVERIFY(next->isEnabled() && previous->isEnabled());
        previous->click();
        QCOMPARE(pageText(), QStringLiteral("1"));
        for (int i = 0; i < 4; ++i) {
            next->click();
        }
        QCOMPARE(pageText(), QStringLiteral("3"));
        QCOMPARE(m_form->currentPage(), 2);
        QCOMPARE(child<PreviewPage>("picPreview")->picture().data(), m_form->pages().at(2).data());
        QTest::keyClick(m_form.get(), Qt::Key_Home);
        QCOMPARE(pageText(), QStringLiteral("1"));
        QTest::keyClick(m_form.get(), Qt::Key_PageDown);
        QCOMPARE(pageText(), QStringLiteral("2"));
        QTest::keyClick(m_form.get(), Qt::Key_End);
        QCOMPARE(pageText(), QStringLiteral("3"));
        QTest::keyClick(m_form.get(), Qt::Key_PageUp);
        QCOMPARE(pageText(), QStringLiteral("2"));
    }

    void smallPageIsCentredAndFitsWithoutBars() {
        show(1);
        child<QPushButton>("cmdZoomPage")->click();
        auto* viewport = child<QWidget>("picContainer1");
        auto* frame = child<QWidget>("picContainer2");
        QVERIFY(!child<QScrollBar>("hsbHScroll")->isVisible() && !child<QScrollBar>("vsbVScroll")->isVisible());
        QVERIFY(qAbs(frame->x() - (viewport->width() - frame->width()) / 2) <= 1);
        QVERIFY(qAbs(frame->y() - (viewport->height() - frame->height()) / 2) <= 1);
        child<QPushButton>("cmdZoomWidth")->click();
        QVERIFY(frame->width() > viewport->width() - 40 && frame->width() <= viewport->width());
        QVERIFY(child<QScrollBar>("vsbVScroll")->isVisible());
    }

    void dragFollowsTheMouseAfterThreeMoves() {
        show(1);
        m_form->setZoom(2.0);
        auto* page = child<QWidget>("picPreview");
        auto* across = child<QScrollBar>("hsbHScroll");
        auto* down = child<QScrollBar>("vsbVScroll");
        QVERIFY(across->isVisible() && down->isVisible());
        across->setValue(100);
        down->setValue(200);
        const QPoint start = page->mapToGlobal(QPoint(300, 300));
        mouse(page, QEvent::MouseButtonPress, start);
        for (int i = 1; i <= 3; ++i) {
            mouse(page, QEvent::MouseMove, start + QPoint(5 * i, 5 * i));
            QCOMPARE(across->value(), 100);
            QCOMPARE(down->value(), 200);
        }
        mouse(page, QEvent::MouseMove, start + QPoint(15 - 30, 15 - 50));
        QCOMPARE(across->value(), 130);
        QCOMPARE(down->value(), 250);
        QCOMPARE(page->pos(), QPoint(-130, -250));
        mouse(page, QEvent::MouseButtonRelease, start);
        mouse(page, QEvent::MouseMove, start + QPoint(-200, -200));
        QCOMPARE(across->value(), 130);
    }

    void ctrlWheelZooms() {
        show(1);
        child<QPushButton>("cmdZoom100")->click();
        auto* page = child<QWidget>("picPreview");
        const QPointF at(20, 20);
        QWheelEvent wheel(at, page->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &wheel);
        QVERIFY(qAbs(m_form->zoom() - 1.15) < 1e-9);
    }

    void closeKeepsTheGeometryAndPrintAsks() {
        show(2);
        QSignalSpy print(m_form.get(), &frmPreview::printRequested);
        child<QPushButton>("cmdPrint")->click();
        QCOMPARE(print.count(), 1);
        m_form->resize(1040, 680);
        child<QPushButton>("cmdClose")->click();
        QTRY_VERIFY(!m_form->isVisible());
        QCOMPARE(m_geometry.FormWidth, 1040 * 15);
        QCOMPARE(m_geometry.FormHeight, 680 * 15);
        // Shown again, it starts at page 1.
        show(2);
        QCOMPARE(pageText(), QStringLiteral("1"));
    }

    void pageSetupDialog_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void pageSetupDialog() {
        QFETCH(bool, confirm);
        clsPageSetupDlg setup;
        setup.values = {10, 11, 12, 13, 1, 1};
        QList<double> shown;
        setup.answer = [&](QPageSetupDialog& dialog) {
            for (const char* name : {"leftMargin", "topMargin", "rightMargin", "bottomMargin"}) {
                shown.append(dialog.findChild<QDoubleSpinBox*>(QString::fromLatin1(name))->value());
            }
            dialog.findChild<QDoubleSpinBox*>(QStringLiteral("leftMargin"))->setValue(25);
            dialog.findChild<QRadioButton*>(QStringLiteral("landscape"))->click();
            if (confirm) {
                dialog.accept();
            } else {
                dialog.reject();
            }
        };
        QCOMPARE(setup.Show(), confirm);
        QCOMPARE(shown, (QList<double>{10, 11, 12, 13}));
        QCOMPARE(setup.values.MarginLeft, confirm ? 25.0 : 10.0);
        QCOMPARE(setup.values.MarginTop, 11.0);
        QCOMPARE(setup.values.MarginBottom, 13.0);
        QCOMPARE(setup.values.PaperSize, 1);
        QCOMPARE(setup.values.Orientation, confirm ? 2 : 1);
    }
};

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
