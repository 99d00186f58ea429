#include "PlayerPanel.h"

#include "Settings.h"
#include "VornMPCommands.h"
#include "VornMPLink.h"
#include "modGeneral.h"

#include <QDBusConnection>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kNoPlayer = QStringLiteral("VornMP State");

QFont scaled(QFont font, double factor, bool bold) {
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

QColor colourOf(TipColour colour) {
    switch (colour) {
    case TipColour::Blue:
        return QColor(0, 0, 255);
    case TipColour::Red:
        return QColor(255, 0, 0);
    case TipColour::Black:
        break;
    }
    return QColor(0, 0, 0);
}

} // namespace

PlayerPanel::PlayerPanel(Settings& settings, VornMPLink* link, const IMonotonicClock* clock, QObject* parent)
    : QObject(parent), m_settings(settings), m_tip(clock ? *clock : m_steadyClock),
      m_link(link ? link : new VornMPLink(QDBusConnection::sessionBus(), nullptr, this)) {
    buildWidget();
    connect(m_link, &VornMPLink::statusRead, this,
            [this](bool found, const QString& text) { m_state->setText(found ? text : kNoPlayer); });
    connect(m_link, &VornMPLink::trackInfoReceived, this, &PlayerPanel::showTrackInfo);
    connect(m_link, &VornMPLink::commandReceived, this, [this](quint32 command) {
        if (command == VornMP::TipTimerSwitch) {
            toggleTipTimer();
        }
    });

    m_stateTimer = new QTimer(this);
    m_stateTimer->setObjectName(QStringLiteral("tmrVornMPState"));
    m_stateTimer->setInterval(300);
    connect(m_stateTimer, &QTimer::timeout, this, &PlayerPanel::pollPlayerState);
    m_stateTimer->start();
    m_tipTimer = new QTimer(this);
    m_tipTimer->setObjectName(QStringLiteral("tmrTipTimer"));
    m_tipTimer->setInterval(1000);
    m_tipTimer->setTimerType(Qt::PreciseTimer);
    connect(m_tipTimer, &QTimer::timeout, this, &PlayerPanel::tipTimerTick);
}

PlayerPanel::~PlayerPanel() {
    // Placed in a window, the line goes with it; a line never placed is deleted here.
    if (m_widget && !m_widget->parent()) {
        delete m_widget;
    }
}

void PlayerPanel::buildWidget() {
    m_widget = new QWidget;
    m_widget->setObjectName(QStringLiteral("picPlayer"));
    m_layout = new QGridLayout(m_widget);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setHorizontalSpacing(12);
    m_layout->setVerticalSpacing(2);
    // Read from a few steps away while calling: larger bold texts, the tip time largest.
    const QFont base = m_widget->font();
    m_state = new QLabel(kNoPlayer, m_widget);
    m_state->setObjectName(QStringLiteral("lblVornMP_State"));
    m_state->setFont(scaled(base, 1.15, false));
    // Long texts are cut by the pane rather than widening it.
    m_state->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (int i = 0; i < 5; ++i) {
        m_info[i] = new QLabel(m_widget);
        m_info[i]->setObjectName(QStringLiteral("lblVornMP_Info(%1)").arg(i));
        m_info[i]->setFont(scaled(base, 1.2, true));
    }
    // The numbers say what they are when the pointer rests on them: position, length, time left,
    // repeat. The title shows itself whole there, however much of it the line has room for.
    const int tips[] = {10211, 10212, 10213, 10214};
    for (int i = 0; i < 4; ++i) {
        m_info[i]->setToolTip(modGeneral::LoadTransString(tips[i]));
    }
    m_info[4]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_button = new QPushButton(QStringLiteral("Start"), m_widget);
    m_button->setObjectName(QStringLiteral("chkTipTimer"));
    m_button->setCheckable(true);
    // The keys stay with the grids after a click on the button.
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setFont(scaled(base, 1.2, true));
    const QFontMetrics buttonMetrics(m_button->font());
    m_button->setMinimumWidth(qMax(buttonMetrics.horizontalAdvance(QStringLiteral("Start")),
                                   buttonMetrics.horizontalAdvance(QStringLiteral("Stop"))) +
                              14);
    m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_button->installEventFilter(this);
    connect(m_button, &QPushButton::toggled, this, &PlayerPanel::tipTimerClicked);

    m_time = new QLabel(QStringLiteral("00:00"), m_widget);
    m_time->setObjectName(QStringLiteral("lblTipTime"));
    m_time->setFont(scaled(base, 2.6, true));
    m_time->setAlignment(Qt::AlignCenter);
    m_time->setFrameShape(QFrame::StyledPanel);
    m_time->setAutoFillBackground(true);
    m_time->setMargin(2);
    QPalette palette = m_time->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, colourOf(TipColour::Black));
    m_time->setPalette(palette);

    arrange(false);
    m_widget->installEventFilter(this);
}

int PlayerPanel::titleRoom() const {
    return m_info[4]->fontMetrics().averageCharWidth() * 16;
}

int PlayerPanel::wideWidth() const {
    // Side by side the line needs the four short labels, room for the title, the button and the
    // time, as the style sizes them.
    const QFontMetrics metrics(m_info[0]->font());
    int width = titleRoom() + m_button->sizeHint().width() + m_time->sizeHint().width() + 6 * 12;
    for (int i = 0; i < 4; ++i) {
        const QString widest = i < 3 ? QStringLiteral("00:00") : QStringLiteral("rep");
        width += std::max(m_info[i]->sizeHint().width(), metrics.horizontalAdvance(widest));
    }
    return width;
}

void PlayerPanel::arrange(bool narrow) {
    if (m_layout->count() > 0 && narrow == m_narrow) {
        return;
    }
    m_narrow = narrow;
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item;
    }
    for (int column = 0; column < 7; ++column) {
        m_layout->setColumnStretch(column, 0);
    }
    m_layout->setHorizontalSpacing(narrow ? 6 : 12);
    if (!narrow) {
        // The state over the track labels, then the button and the time beside them.
        m_layout->addWidget(m_state, 0, 0, 1, 5);
        for (int i = 0; i < 5; ++i) {
            m_layout->addWidget(m_info[i], 1, i);
        }
        m_layout->setColumnStretch(4, 1);
        // The title always keeps room beside the button; narrower lines are stacked.
        m_info[4]->setMinimumWidth(titleRoom());
        m_layout->addWidget(m_button, 0, 5, 2, 1);
        m_layout->addWidget(m_time, 0, 6, 2, 1);
    } else {
        // In a narrow pane the time and its button come first and the labels stack below them.
        m_info[4]->setMinimumWidth(0);
        m_layout->addWidget(m_time, 0, 0, 1, 2);
        m_layout->addWidget(m_button, 0, 2);
        m_layout->addWidget(m_state, 1, 0, 1, 3);
        for (int i = 0; i < 3; ++i) {
            m_layout->addWidget(m_info[i], 2, i);
        }
        m_layout->addWidget(m_info[3], 3, 0);
        m_layout->addWidget(m_info[4], 3, 1, 1, 2);
        m_layout->setColumnStretch(1, 1);
    }
}

void PlayerPanel::SendVornMP(quint32 command) {
    m_link->SendVornMP(command);
}

void PlayerPanel::switchTipTimerEverywhere() {
    m_link->SendVornReader(VornMP::TipTimerSwitch);
    toggleTipTimer();
}

void PlayerPanel::toggleTipTimer() {
    // Without the mouse flag the click does not pass the switch on to the other copies.
    m_tipMouseFlag = false;
    m_button->setChecked(!m_button->isChecked());
}

void PlayerPanel::tipTimerClicked() {
    if (m_tipMouseFlag) {
        m_link->SendVornReader(VornMP::TipTimerSwitch);
    }
    if (m_tipTimer->isActive()) {
        resetTipTimer();
    } else {
        startTipTimer();
    }
    m_tipMouseFlag = false;
}

void PlayerPanel::startTipTimer() {
    m_tipTimer->start();
    m_tip.start(m_settings.TipTime);
    m_button->setText(QStringLiteral("Stop"));
}

void PlayerPanel::resetTipTimer() {
    m_tipTimer->stop();
    m_button->setText(QStringLiteral("Start"));
    m_tip.reset(m_settings.TipTime, m_settings.TimerSwitch);
    showTipTime();
}

void PlayerPanel::tipTimerTick() {
    m_tip.tick(m_settings.TimerSwitch);
    showTipTime();
}

void PlayerPanel::pollPlayerState() {
    m_link->GetVornMPStatus();
}

void PlayerPanel::showTipTime() {
    m_time->setText(m_tip.text());
    QPalette palette = m_time->palette();
    palette.setColor(QPalette::WindowText, colourOf(m_tip.colour()));
    m_time->setPalette(palette);
}

void PlayerPanel::showTrackInfo(const TrackInfoLabels& labels) {
    for (int i = 0; i < 5; ++i) {
        if (labels[i]) {
            m_info[i]->setText(*labels[i]);
        }
    }
    m_info[4]->setToolTip(m_info[4]->text());
    arrange(m_widget->width() < wideWidth());
}

void PlayerPanel::clearTrackInfo() {
    for (QLabel* label : m_info) {
        label->clear();
    }
    m_info[4]->setToolTip(QString());
}

void PlayerPanel::libraryOpened() {
    clearTrackInfo();
    resetIfStopped();
}

void PlayerPanel::resetIfStopped() {
    if (!m_button->isChecked()) {
        m_tip.setTipLimit(m_settings.TipTime);
        resetTipTimer();
    }
}

bool PlayerPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_button && event->type() == QEvent::MouseButtonPress) {
        m_tipMouseFlag = true;
    } else if (watched == m_widget && event->type() == QEvent::Resize) {
        arrange(m_widget->width() < wideWidth());
    }
    return QObject::eventFilter(watched, event);
}
