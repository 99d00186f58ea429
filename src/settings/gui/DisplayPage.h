#pragma once

#include "Settings.h"

#include <QWidget>
#include <array>

class ColourSwatch;
class ISettingChoosers;
class QLabel;

// Tab 2 of the options dialog: the fonts of the sequence list (index 0), the call list (1) and
// printing (2), and the text, background and selection colours of the two lists. The choices are
// kept in working fonts and swatches until the dialog reads them back.
class DisplayPage : public QWidget {
    Q_OBJECT

public:
    DisplayPage(ISettingChoosers& choosers, QWidget* parent = nullptr);

    void fill(const Settings& settings);
    // Fonts: print, call list, sequence list; then the colours of both lists.
    void readBack(Settings& settings) const;

    // Shows the font's name, size ("10.5 pt") and style, and makes it working font index.
    void SetFont(int index, const FontSetting& font);
    const FontSetting& GetFont(int index) const { return m_fonts[index]; }
    static void SetColor(ColourSwatch& swatch, quint32 colour);
    static quint32 GetColor(const ColourSwatch& swatch);

    void cmdFontChange_Click(int index);
    void cmdForeColor_Click(int index);
    void cmdBackColor_Click(int index);
    void cmdForeColorSel_Click(int index);
    void cmdBackColorSel_Click(int index);

private:
    // The four swatches of a list, in the order text, background, selected text, selected
    // background.
    enum Swatch { Fore, Back, ForeSel, BackSel };
    QWidget* buildList(int index, int titleKey, const char* frameName);
    void chooseColour(ColourSwatch& swatch);

    ISettingChoosers& m_choosers;
    std::array<FontSetting, 3> m_fonts;
    std::array<QLabel*, 3> m_fontName{};
    std::array<QLabel*, 3> m_fontStyle{};
    std::array<QLabel*, 3> m_fontSize{};
    std::array<std::array<ColourSwatch*, 4>, 2> m_swatches{};
};
