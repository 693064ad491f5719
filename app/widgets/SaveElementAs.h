#pragma once

class QWidget;

namespace engine {
class SaveElement;
class WebItem;
}  // namespace engine

namespace app {

// "Save Element As": the save dialog with the filter of the item's content kind, then the item's
// bytes written exactly as received. A file that cannot be written is reported and any earlier
// file of that name kept. True when the file was written.
bool saveElementAs(QWidget* parent, engine::SaveElement& saver, const engine::WebItem& item);

}  // namespace app
