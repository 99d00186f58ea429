#pragma once

#include <QList>
#include <QPicture>
#include <QSizeF>

// The window that shows the pages clsPrinter composed in preview mode.
class IPreviewForm {
public:
    virtual ~IPreviewForm() = default;

    // Shows the pages, each drawn in twips on a page of pageSize twips; called by EndDoc.
    virtual void showPages(const QList<QPicture>& pages, const QSizeF& pageSize) = 0;
};
