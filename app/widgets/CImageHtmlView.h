#pragma once

#include "app/widgets/CHtmlView.h"

namespace app {

// The HTML view for a downloaded element shown from a temporary file (the element preview
// derives from it). Its content comes through showFile.
class CImageHtmlView : public CHtmlView {
    Q_OBJECT

public:
    using CHtmlView::CHtmlView;
};

}  // namespace app
