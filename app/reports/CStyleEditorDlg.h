#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

class QListView;
class QPlainTextEdit;
class QPushButton;

namespace report {
class ReportManager;
}

namespace app {

class CMyListCtrl;
class StyleClassesModel;
class StyleListModel;

// "Style Editor": the style sets of the manager, the classes of the selected one to edit in
// place and its style block as a preview. Every change goes to the manager at once; "Close"
// only ends the dialog.
class CStyleEditorDlg : public QDialog {
    Q_OBJECT

public:
    // Preselects the set `styleId`, or "Default" when there is none with that id.
    CStyleEditorDlg(report::ReportManager& reports, std::int32_t styleId,
                    QWidget* parent = nullptr);
    ~CStyleEditorDlg() override;

    // The set whose classes are shown; none when the list has no selection.
    std::optional<std::int32_t> selectedStyleId() const;
    void selectStyle(std::int32_t styleId);
    // "&New...": asks for a name and adds a copy of the selected set ("Default" when none).
    void newStyle();
    // "&Delete...": asks, then deletes the selected stored set and selects "Default".
    void deleteStyle();

    // The preview's text as the style block with its "\r\r\n" line ends; the box shows it with
    // one line per line of the block.
    const std::string& previewText() const { return previewText_; }

    QListView* styleList() const { return styles_; }
    CMyListCtrl* propertyList() const { return properties_; }
    QPlainTextEdit* preview() const { return preview_; }
    QPushButton* newButton() const { return new_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* closeButton() const { return close_; }
    StyleListModel* styleModel() const { return styleModel_; }
    StyleClassesModel* classesModel() const { return classesModel_; }

private:
    void buildLayout();
    void selectionChanged();
    void showPreview();
    void editValue(const QModelIndex& index);

    report::ReportManager& reports_;
    StyleListModel* styleModel_;
    StyleClassesModel* classesModel_;
    QListView* styles_;
    CMyListCtrl* properties_;
    QPlainTextEdit* preview_;
    QPushButton* new_;
    QPushButton* delete_;
    QPushButton* close_;
    std::string previewText_;
};

}  // namespace app
