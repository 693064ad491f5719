#include "app/reports/StyleEditing.h"

#include "app/reports/CStyleEditorDlg.h"

namespace app {

void editStyles(QWidget* parent, report::ReportManager& reports, std::int32_t styleId) {
    CStyleEditorDlg dialog(reports, styleId, parent);
    dialog.exec();
}

}  // namespace app
