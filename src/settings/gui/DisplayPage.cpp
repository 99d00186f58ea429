#include "DisplayPage.h"

#include "ColourMap.h"
#include "ColourSwatch.h"
#include "ISettingChoosers.h"
#include "SettingForm.h"
#include "SettingText.h"
#include "modGeneral.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The colours of list index (0 sequence list, 1 call list) in the swatch order.
std::array<quint32 Settings::*, 4> listColours(int index) {
    if (index == 0) {
        return {&Settings::SeqForeColor, &Settings::SeqBackColor, &Settings::SeqForeColorSel,
                &Settings::SeqBackColorSel};
    }
    return {&Settings::CallForeColor, &Settings::CallBackColor, &Settings::CallForeColorSel,
            &Settings::CallBackColorSel};
}

constexpr FontSetting Settings::*kFonts[] = {&Settings::seqFont, &Settings::callFont, &Settings::printFont};

} // namespace

DisplayPage::DisplayPage(ISettingChoosers& choosers, QWidget* parent) : QWidget(parent), m_choosers(choosers) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildList(0, 21210, "fraSeqView"));
    layout->addWidget(buildList(1, 21220, "fraCallView"));
    layout->addWidget(buildList(2, 21230, "fraPrintView"));
    layout->addStretch(1);
}

QWidget* DisplayPage::buildList(int index, int titleKey, const char* frameName) {
    using namespace SettingForm;
    QGroupBox* list = frame(this, QLatin1String(frameName), titleKey);
    auto* row = new QHBoxLayout(list);

    QGroupBox* font = frame(list, indexed("fraFont", index), 21201);
    auto* fontGrid = new QGridLayout(font);
    m_fontName[index] = label(font, indexed("lblFontName", index), 0);
    m_fontStyle[index] = label(font, indexed("lblFontStyle", index), 0);
    m_fontSize[index] = label(font, indexed("lblFontSize", index), 0);
    fontGrid->addWidget(label(font, indexed("lblFontNameTitle", index), 21202), 0, 0);
    fontGrid->addWidget(m_fontName[index], 0, 1);
    fontGrid->addWidget(label(font, indexed("lblFontStyleTitle", index), 21203), 1, 0);
    fontGrid->addWidget(m_fontStyle[index], 1, 1);
    fontGrid->addWidget(label(font, indexed("lblFontSizeTitle", index), 21204), 2, 0);
    fontGrid->addWidget(m_fontSize[index], 2, 1);
    QPushButton* change = button(font, indexed("cmdFontChange", index), 21912);
    connect(change, &QPushButton::clicked, this, [this, index] { cmdFontChange_Click(index); });
    fontGrid->addWidget(change, 0, 2, Qt::AlignTop);
    fontGrid->setColumnStretch(1, 1);
    row->addWidget(font, 2);

    if (index < 2) {
        struct SwatchRow {
            Swatch swatch;
            const char* title;
            const char* picture;
            const char* command;
            int key;
        };
        const auto colourFrame = [&](const char* name, int key, std::initializer_list<SwatchRow> rows) {
            QGroupBox* box = frame(list, indexed(name, index), key);
            auto* grid = new QGridLayout(box);
            for (const SwatchRow& r : rows) {
                const int line = grid->rowCount();
                auto* swatch = new ColourSwatch(indexed(r.picture, index), box);
                m_swatches[index][r.swatch] = swatch;
                QPushButton* choose = button(box, indexed(r.command, index), 21912);
                const Swatch which = r.swatch;
                connect(choose, &QPushButton::clicked, this, [this, index, which] {
                    switch (which) {
                    case Fore:
                        cmdForeColor_Click(index);
                        break;
                    case Back:
                        cmdBackColor_Click(index);
                        break;
                    case ForeSel:
                        cmdForeColorSel_Click(index);
                        break;
                    case BackSel:
                        cmdBackColorSel_Click(index);
                        break;
                    }
                });
                grid->addWidget(label(box, indexed(r.title, index), r.key), line, 0);
                grid->addWidget(swatch, line, 1);
                grid->addWidget(choose, line, 2);
            }
            grid->setColumnStretch(0, 1);
            row->addWidget(box, 1);
        };
        colourFrame("fraColor", 21205,
                    {{Fore, "lblForeColorTitle", "picForeColor", "cmdForeColor", 21207},
                     {Back, "lblBackColorTitle", "picBackColor", "cmdBackColor", 21208}});
        colourFrame("fraColorSel", 21206,
                    {{ForeSel, "lblForeColorSelTitle", "picForeColorSel", "cmdForeColorSel", 21207},
                     {BackSel, "lblBackColorSelTitle", "picBackColorSel", "cmdBackColorSel", 21208}});
    } else {
        row->addStretch(2);
    }
    return list;
}

void DisplayPage::fill(const Settings& settings) {
    for (int i = 0; i < 3; ++i) {
        SetFont(i, settings.*kFonts[i]);
    }
    for (int list = 0; list < 2; ++list) {
        const auto colours = listColours(list);
        for (int s = 0; s < 4; ++s) {
            SetColor(*m_swatches[list][s], settings.*colours[s]);
        }
    }
}

void DisplayPage::readBack(Settings& settings) const {
    for (int i = 2; i >= 0; --i) {
        settings.*kFonts[i] = m_fonts[i];
    }
    for (int list = 0; list < 2; ++list) {
        const auto colours = listColours(list);
        for (int s = 0; s < 4; ++s) {
            settings.*colours[s] = GetColor(*m_swatches[list][s]);
        }
    }
}

void DisplayPage::SetFont(int index, const FontSetting& font) {
    static const char16_t* const kStyles[] = {u"標準", u"斜体", u"太字", u"太字 斜体"};
    const int style = (font.italic ? 1 : 0) + (font.bold ? 2 : 0);
    m_fontName[index]->setText(font.name);
    m_fontSize[index]->setText(SettingText::numberText(font.size) + QStringLiteral(" pt"));
    m_fontStyle[index]->setText(modGeneral::LoadTransString(30201 + style, QString::fromUtf16(kStyles[style])));
    m_fonts[index] = font;
}

void DisplayPage::SetColor(ColourSwatch& swatch, quint32 colour) {
    swatch.setColour(colour);
}

quint32 DisplayPage::GetColor(const ColourSwatch& swatch) {
    return swatch.colour();
}

void DisplayPage::cmdFontChange_Click(int index) {
    if (const std::optional<FontSetting> chosen = m_choosers.chooseFont(m_fonts[index])) {
        SetFont(index, *chosen);
    }
}

void DisplayPage::chooseColour(ColourSwatch& swatch) {
    const QColor start = ColourMap::toColor(GetColor(swatch), QApplication::palette());
    if (const std::optional<QColor> chosen = m_choosers.chooseColor(start)) {
        SetColor(swatch, ColourMap::fromColor(*chosen));
    }
}

void DisplayPage::cmdForeColor_Click(int index) {
    chooseColour(*m_swatches[index][Fore]);
}

void DisplayPage::cmdBackColor_Click(int index) {
    chooseColour(*m_swatches[index][Back]);
}

void DisplayPage::cmdForeColorSel_Click(int index) {
    chooseColour(*m_swatches[index][ForeSel]);
}

void DisplayPage::cmdBackColorSel_Click(int index) {
    chooseColour(*m_swatches[index][BackSel]);
}
