#include "PreviewPage.h"
#include "Settings.h"
#include "TestHome.h"
#include "clsPrinter.h"
#include "frmPreview.h"
#include "modGeneral.h"

#include <QtTest>
#include <QtWidgets>

// The preview window over recorded pages.
class TestPreview : public QObject {
    Q_OBJECT

    template <typename T = QPushButton> T* child(const char* name) const {
        return m_form->findChild<T*>(QString::fromLatin1(name));
    }
    // Shown with pages that each say their number.
    void show(int count) {
        QList<QPicture> pages(count);
        for (int i = 0; i < count; ++i) {
            QPainter(&pages[i]).drawText(QPointF(1000, 1000), QStringLiteral("page %1").arg(i + 1));
        }
        m_form->showPages(pages, clsPrinter::pageSizeTwips(9, 1));
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    QString pageText() const { return child<QLineEdit>("txtPage")->text() + child<QLabel>("lblMaxPage")->text(); }

    std::optional<TestHome> m_home;
    FormGeometry m_geometry;
    std::unique_ptr<frmPreview> m_form;

private Q_SLOTS:
    void init() {
        m_home.emplace();
        m_geometry = {150, 300, 15000, 9000};
        m_form = std::make_unique<frmPreview>(m_geometry);
    }
    void cleanup() { m_form.reset(); }

    // The buttons and keys step through the pages, stopping at either end, showing the page stepped
    // to. Closed, the window keeps its size; shown again (modal, at that size) with one page, it
    // starts there with nothing to step to.
    void steppingAndClosing() {
        show(3);
        const QList<std::pair<QVariant, const char*>> steps{
            {"cmdPagePrevious", "1/ 3"}, {"cmdPageNext", "2/ 3"},    {"cmdPageNext", "3/ 3"}, {"cmdPageNext", "3/ 3"},
            {Qt::Key_Home, "1/ 3"},      {Qt::Key_PageDown, "2/ 3"}, {Qt::Key_End, "3/ 3"},   {Qt::Key_PageUp, "2/ 3"}};
        for (const auto& [action, page] : steps) {
            if (action.typeId() == QMetaType::QString) {
                child(qPrintable(action.toString()))->click();
            } else {
                QTest::keyClick(m_form.get(), Qt::Key(action.toInt()));
            }
            QCOMPARE(pageText(), QLatin1String(page));
            QCOMPARE(child<PreviewPage>("picPreview")->picture().data(),
                     m_form->pages().at(m_form->currentPage()).data());
        }
        m_form->resize(1040, 680);
        child("cmdClose")->click();
        QTRY_VERIFY(!m_form->isVisible());
        QCOMPARE(QSize(m_geometry.FormWidth, m_geometry.FormHeight), QSize(1040 * 15, 680 * 15));
        m_form = std::make_unique<frmPreview>(m_geometry);
        show(1);
        QVERIFY(m_form->isModal() || m_form->windowModality() == Qt::ApplicationModal);
        QCOMPARE(m_form->size(), QSize(1040, 680));
        QCOMPARE(pageText(), QStringLiteral("1/ 1"));
        QVERIFY(!child("cmdPagePrevious")->isEnabled() && !child("cmdPageNext")->isEnabled());
    }

    // Opened at a first start's size, the window is as wide as its button row needs, every caption
    // whole, in either language. Zoom Page fits a page without scroll bars; Ctrl+wheel zooms by 15 %.
    void buttonRowAndZoom_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "English";
        QTest::newRow("Japanese") << "Japanese";
    }
    void buttonRowAndZoom() {
        QFETCH(QString, language);
        modGeneral::SetLanguage(language);
        m_geometry = {0, 0, 6000, 6000};
        m_form = std::make_unique<frmPreview>(m_geometry);
        show(12);
        int right = -1;
        for (const char* name : {"Label1", "txtPage", "lblMaxPage", "cmdPagePrevious", "cmdPageNext", "cmdZoomPage",
                                 "cmdZoomWidth", "cmdZoom100", "cmdPrint", "cmdClose"}) {
            const auto* widget = child<QWidget>(name);
            const QRect rect(widget->mapTo(m_form.get(), QPoint()), widget->size());
            QVERIFY2(m_form->rect().contains(rect) && rect.left() > right &&
                         widget->width() >= widget->minimumSizeHint().width(),
                     name);
            right = rect.right();
        }
        child("cmdZoomPage")->click();
        QVERIFY(!child<QScrollBar>("hsbHScroll")->isVisible() && !child<QScrollBar>("vsbVScroll")->isVisible());
        child("cmdZoom100")->click();
        auto* page = child<QWidget>("picPreview");
        QWheelEvent wheel(QPointF(20, 20), page->mapToGlobal(QPointF(20, 20)), {}, QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &wheel);
        QVERIFY(qAbs(m_form->zoom() - 1.15) < 1e-9);
        modGeneral::SetLanguage(QStringLiteral("Japanese"));
    }
};

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
