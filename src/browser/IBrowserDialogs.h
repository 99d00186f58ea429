#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The modal questions and messages of the main window. The program shows dialogs; tests answer
// them without a window.
class IBrowserDialogs {
public:
    virtual ~IBrowserDialogs() = default;

    virtual void exclamation(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    // OK and Cancel with the question icon; true for OK.
    virtual bool question(const QString& text) = 0;
    // A file to open; filter is "Description|pattern|..." as the translation files hold it.
    virtual std::optional<QString> openFile(const QString& title, const QString& folder, const QString& filter) = 0;
    // Several files to open (File > Read); empty when cancelled.
    virtual QStringList openFiles(const QString& title, const QString& folder, const QString& filter) = 0;
    // A line of text (the schema upgrade's author question); nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& prompt) = 0;
    // The About box.
    virtual void about(const QString& caption, const QString& version) = 0;
};

// The dialogs as real windows.
class WidgetDialogs final : public IBrowserDialogs {
public:
    explicit WidgetDialogs(class QWidget* parent) : m_parent(parent) {}

    void exclamation(const QString& text) override;
    void information(const QString& text) override;
    bool question(const QString& text) override;
    std::optional<QString> openFile(const QString& title, const QString& folder, const QString& filter) override;
    QStringList openFiles(const QString& title, const QString& folder, const QString& filter) override;
    std::optional<QString> inputText(const QString& prompt) override;
    void about(const QString& caption, const QString& version) override;

    // "A|*.a|B|*.b" as a Qt file dialog filter.
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_parent;
};
