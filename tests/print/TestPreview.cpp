#include "PreviewPage.h"
#include "Settings.h"
#include "TestHome.h"
#include "clsPrinter.h"
#include "frmPreview.h"
#include "modGeneral.h"

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

// The preview window over recorded pages.
class TestPreview : public QObject {
    Q_OBJECT

private:
    template <typename T> T* child(const char* name) const { return m_form->findChild<T*>(QString::fromLatin1(name)); }
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

    // The buttons and keys step through the pages, stopping at either end, showing the page stepped
    // to; Print asks for printing. Closed, the window keeps its size; shown again (modal, at that
    // size) with one page, it starts there with nothing to step to.
    void steppingAndClosing() {
        show(3);
        QCOMPARE(child<QLabel>("lblMaxPage")->text(), QStringLiteral("/ 3"));
        const QList<std::pair<QVariant, const char*>> steps{
            {"cmdPagePrevious", "1"}, {"cmdPageNext", "2"},    {"cmdPageNext", "3"}, {"cmdPageNext", "3"},
            {Qt::Key_Home, "1"},      {Qt::Key_PageDown, "2"}, {Qt::Key_End, "3"},   {Qt::Key_PageUp, "2"}};
        for (const auto& [action, page] : steps) {
            if (action.typeId() == QMetaType::QString) {
                child<QPushButton>(qPrintable(action.toString()))->click();
            } else {
                QTest::keyClick(m_form.get(), Qt::Key(action.toInt()));
            }
            QCOMPARE(pageText(), QLatin1String(page));
            QCOMPARE(child<PreviewPage>("picPreview")->picture().data(),
                     m_form->pages().at(m_form->currentPage()).data());
        }
        QSignalSpy print(m_form.get(), &frmPreview::printRequested);
        child<QPushButton>("cmdPrint")->click();
        QCOMPARE(print.count(), 1);
        m_form->resize(1040, 680);
        child<QPushButton>("cmdClose")->click();
        QTRY_VERIFY(!m_form->isVisible());
        QCOMPARE(QSize(m_geometry.FormWidth, m_geometry.FormHeight), QSize(1040 * 15, 680 * 15));
        m_form = std::make_unique<frmPreview>(m_geometry);
        show(1);
        QVERIFY(m_form->isModal() || m_form->windowModality() == Qt::ApplicationModal);
        QCOMPARE(m_form->size(), QSize(1040, 680));
        QCOMPARE(pageText() + child<QLabel>("lblMaxPage")->text(), QStringLiteral("1/ 1"));
        QVERIFY(!child<QPushButton>("cmdPagePrevious")->isEnabled() && !child<QPushButton>("cmdPageNext")->isEnabled());
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
            QCOMPARE(QPoint(across->value(), down->value()), QPoint(100, 200));
        }
        mouse(page, QEvent::MouseMove, start + QPoint(15 - 30, 15 - 50));
        QCOMPARE(QPoint(across->value(), down->value()), QPoint(130, 250));
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
};

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
