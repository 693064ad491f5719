#pragma once

#include "app/widgets/CHtmlView.h"

namespace app {

// The HTML view for text the program builds: reports, analysis and page information. Its
// content comes through showHtml.
class CMoreHtmlView : public CHtmlView {
    Q_OBJECT

public:
    using CHtmlView::CHtmlView;
};

}  // namespace app
