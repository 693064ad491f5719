#pragma once

#include <QString>

#include <memory>

#include "app/analysis/PreviewCache.h"
#include "app/widgets/CImageHtmlView.h"

namespace engine {
class WebItem;
}  // namespace engine

namespace app {

// The Analysis view's preview of the selected element: the element's file from the preview
// cache, shown by its "file://" address in an HTML view that runs no script and fetches nothing
// from the network (a previewed document's remote images stay away). An element without a body,
// or one whose file cannot be written, gets a short note instead.
class ElementPreview : public CImageHtmlView {
    Q_OBJECT

public:
    // Its files go to the program's temporary folder.
    explicit ElementPreview(QWidget* parent = nullptr);
    // Its files go to `folder` (ending in "/").
    explicit ElementPreview(const QString& folder, QWidget* parent = nullptr);

    // Shows `item`; a null item leaves the view blank.
    void showElement(const std::shared_ptr<engine::WebItem>& item);
    // Deletes the files of every element shown so far and leaves the view blank (the page
    // shown changed).
    void clear();

    const PreviewCache& cache() const { return cache_; }
    // The temporary file of the element shown (empty for a note or a blank view).
    const QString& shownFile() const { return shown_; }

    // The note shown in place of an element, with `text` escaped.
    static QString note(const QString& text);

private:
    PreviewCache cache_;
    QString shown_;
};

}  // namespace app
