#include "OtherPage.h"

#include "HistoryDate.h"
#include "SettingForm.h"
#include "SettingText.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>
#include <optional>

namespace {

// The leading number of a text box as an integer of the given range; nothing when the number
// does not fit.
std::optional<int> leadingInteger(const QLineEdit* box, int min, int max) {
    try {
        return SettingText::leadingInteger(box->text(), min, max);
    } catch (const SettingError&) {
        return std::nullopt;
    }
}

// Keeps value unless the leading number of box lies within low ... high.
void takeWithin(int& value, const QLineEdit* box, int bits, int low, int high) {
    const int min = bits == 16 ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
    const int max = bits == 16 ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
    const std::optional<int> number = leadingInteger(box, min, max);
    if (number && *number >= low && *number <= high) {
        value = *number;
    }
}

// The language the next start uses: the one chosen in the options, else the one in force.
QString nextLanguage(const Settings& settings) {
    const QString language = settings.LanguageNext.isEmpty() ? settings.Language : settings.LanguageNext;
    return language == QLatin1String("English") ? language : QStringLiteral("Japanese");
}

} // namespace

OtherPage::OtherPage(QWidget* parent) : QWidget(parent) {
    using namespace SettingForm;
    const auto form = [](QGroupBox* box) {
        auto* layout = new QFormLayout(box);
        layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        return layout;
    };
    const auto options = [](QGroupBox* box, QList<QRadioButton*>& group, const char* name,
                            std::initializer_list<int> keys, QBoxLayout* into) {
        int i = 0;
        for (int key : keys) {
            group.append(option(box, indexed(name, i++), key));
            into->addWidget(group.back());
        }
    };

    QGroupBox* history = frame(this, QStringLiteral("fraHistory"), 21310);
    QFormLayout* historyForm = form(history);
    m_callDate = textBox(history, QStringLiteral("txtCallDate"));
    m_partyName = textBox(history, QStringLiteral("txtPartyName"));
    historyForm->addRow(label(history, QStringLiteral("lblHistoryDate"), 21311), m_callDate);
    historyForm->addRow(label(history, QStringLiteral("lblHistoryPartyName"), 21312), m_partyName);

    QGroupBox* tip = frame(this, QStringLiteral("fraTipTimer"), 21320);
    QFormLayout* tipForm = form(tip);
    m_tipTimer = textBox(tip, QStringLiteral("txtTipTimer"));
    m_tipTimer->setMaximumWidth(80);
    tipForm->addRow(label(tip, QStringLiteral("lblTipTimer"), 21321), m_tipTimer);
    auto* timerOptions = new QVBoxLayout;
    options(tip, m_timerSwitch, "optTimerSwitch", {21322, 21323}, timerOptions);
    tipForm->addRow(timerOptions);

    QGroupBox* print = frame(this, QStringLiteral("fraPrint"), 21330);
    QFormLayout* printForm = form(print);
    m_author = textBox(print, QStringLiteral("txtAuthor"));
    printForm->addRow(label(print, QStringLiteral("lblAuthor"), 21331), m_author);
    m_notePrint = check(print, QStringLiteral("chkNotePrint"), 21332);
    m_formationPrint = check(print, QStringLiteral("chkFormationPrint"), 21333);
    printForm->addRow(m_notePrint);
    printForm->addRow(m_formationPrint);

    QGroupBox* sort = frame(this, QStringLiteral("fraSequenceSort"), 21340);
    auto* sortLayout = new QVBoxLayout(sort);
    options(sort, m_sequenceSort, "optSequenceSort", {21341, 21342, 21343}, sortLayout);

    QGroupBox* margin = frame(this, QStringLiteral("fraCallRowMargin"), 21350);
    QFormLayout* marginForm = form(margin);
    m_callRowMargin = textBox(margin, QStringLiteral("txtCallRowMargin"));
    m_callRowMargin->setMaximumWidth(80);
    marginForm->addRow(label(margin, QStringLiteral("lblCallRowMargin"), 21351), m_callRowMargin);

    QGroupBox* format = frame(this, QStringLiteral("fraPartFormat"), 21360);
    auto* formatLayout = new QVBoxLayout(format);
    options(format, m_partFormat, "optPartFormat", {21361, 21362}, formatLayout);

    QGroupBox* reading = frame(this, QStringLiteral("fraSeqDateSave"), 21370);
    auto* readingLayout = new QVBoxLayout(reading);
    m_seqDateSave = check(reading, QStringLiteral("chkSeqDateSave"), 21371);
    readingLayout->addWidget(m_seqDateSave);

    // Each language under its own name, so a caller finds theirs whatever the window speaks.
    QGroupBox* language = frame(this, QStringLiteral("fraLanguage"), 21380);
    auto* languageLayout = new QVBoxLayout(language);
    m_language = new QComboBox(language);
    m_language->setObjectName(QStringLiteral("cboLanguage"));
    m_language->addItem(QStringLiteral("English"), QStringLiteral("English"));
    m_language->addItem(QStringLiteral("日本語"), QStringLiteral("Japanese"));
    languageLayout->addWidget(m_language);
    QLabel* note = label(language, QStringLiteral("lblLanguageNote"), 21381);
    note->setWordWrap(true);
    languageLayout->addWidget(note);

    auto* left = new QVBoxLayout;
    for (QGroupBox* box : {history, tip, print}) {
        left->addWidget(box);
    }
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    for (QGroupBox* box : {sort, margin, format, reading, language}) {
        right->addWidget(box);
    }
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
}

void OtherPage::fill(const Settings& settings) {
    SettingForm::checkOption(m_sequenceSort, settings.SequenceSort);
    // The history date is shown as year/month/day, whatever form it was typed in.
    const QDate date = HistoryDate::historyDate(settings.CallDate);
    m_callDate->setText(date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : settings.CallDate);
    m_partyName->setText(settings.PartyName);
    m_author->setText(settings.Author);
    m_notePrint->setChecked(settings.NotePrint == 1);
    m_formationPrint->setChecked(settings.FormationPrint == 1);
    m_tipTimer->setText(QString::number(settings.TipTime));
    SettingForm::checkOption(m_timerSwitch, settings.TimerSwitch);
    SettingForm::checkOption(m_partFormat, settings.PartFormat);
    m_callRowMargin->setText(QString::number(settings.CallRowMargin));
    m_seqDateSave->setChecked(settings.SeqDateSave);
    m_language->setCurrentIndex(m_language->findData(nextLanguage(settings)));
}

QDate OtherPage::callDate() const {
    return HistoryDate::historyDate(m_callDate->text().trimmed());
}

void OtherPage::readBack(Settings& settings) const {
    settings.SequenceSort = SettingForm::checkedOption(m_sequenceSort);
    if (const QDate date = callDate(); date.isValid()) {
        settings.CallDate = date.toString(QStringLiteral("yyyy/MM/dd"));
    }
    settings.PartyName = m_partyName->text();
    settings.Author = m_author->text();
    settings.NotePrint = m_notePrint->isChecked() ? 1 : 0;
    settings.FormationPrint = m_formationPrint->isChecked() ? 1 : 0;
    settings.SeqDateSave = m_seqDateSave->isChecked();
    takeWithin(settings.TipTime, m_tipTimer, 16, 1, 99);
    settings.TimerSwitch = SettingForm::checkedOption(m_timerSwitch);
    settings.PartFormat = SettingForm::checkedOption(m_partFormat);
    takeWithin(settings.CallRowMargin, m_callRowMargin, 32, 0, 1000);
    if (const QString language = m_language->currentData().toString(); language != nextLanguage(settings)) {
        settings.LanguageNext = language;
    }
}
