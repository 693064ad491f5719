#pragma once

#include <QString>
#include <QTreeView>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace app {

// The report-style list whose columns the user may reshape: it keeps column definitions, shows
// the visible ones in the user's order with widths proportional to its client width, offers
// the header context menu and stores its layout in its own settings section. A column number
// is the model's column index (from 0); model columns without a definition stay hidden.
// A right click in the body is left to the parent window.
class CMyListCtrl : public QTreeView {
    Q_OBJECT

public:
    struct Column {
        int number = 0;
        QString name;
        QString text;  // a second text, empty where not given
        bool visible = true;
        int format = 0;        // kept for the owner; the model gives the header its alignment
        int defaultWidth = 0;  // share of the client width in percent
        int width = 0;         // current share in percent
        int minimumWidth = 0;  // pixels

        bool operator==(const Column&) const = default;
    };

    // Chooses the entry of a popup menu in place of the user: the menu, where it would open.
    using MenuRunner = std::function<QAction*(QMenu&, const QPoint&)>;
    // Called (posted, not at once) with the list when its "Customize" entry is chosen.
    using CustomizeHandler = std::function<void(CMyListCtrl&)>;

    explicit CMyListCtrl(std::string section, QWidget* parent = nullptr);
    ~CMyListCtrl() override;

    void setModel(QAbstractItemModel* model) override;

    // Appends a definition to the defaults and to the current state alike.
    void addColumn(int number, const QString& name, int widthPercent, int minimumPixels,
                   bool visible = true, int format = 0);
    // Shows the visible definitions in definition order and sizes them (forced layout).
    void rebuildColumns();
    // The proportional layout; unforced it leaves widths alone that the user set by hand.
    void layoutColumns(bool forced);
    // The stored layout of the list's section (a section path below the settings root).
    void loadLayout();
    void loadLayout(const std::string& section);
    bool saveLayout() const;
    bool saveLayout(const std::string& section) const;
    // Back to the defining columns, rebuilt.
    void restoreDefaults();

    const std::vector<Column>& columns() const { return columns_; }
    const std::vector<Column>& defaultColumns() const { return defaults_; }
    const Column* column(int number) const;
    // The column numbers of the visible columns in display order.
    std::vector<int> displayOrder() const;
    // Shows exactly these columns in this order (the Customize page's outcome).
    void applyVisibleOrder(const std::vector<int>& numbers);
    void setColumnVisible(int number, bool visible);

    const std::string& section() const { return section_; }
    // The name under which the Customize page lists it ("Site Tree").
    // A list is announced by its title unless it was given a name of its own.
    void setTitle(const QString& title) {
        title_ = title;
        if (accessibleName().isEmpty()) setAccessibleName(title);
    }
    const QString& title() const { return title_; }
    void setFirstColumnMinimum(int pixels) { firstColumnMinimum_ = pixels; }
    void setCustomizeHandler(CustomizeHandler handler) { customize_ = std::move(handler); }
    bool hasCustomizeTarget() const { return static_cast<bool>(customize_); }

    // The header menu for the header column under `headerPos`, and its outcome once chosen.
    std::unique_ptr<QMenu> headerMenu(const QPoint& headerPos);
    void showHeaderMenu(const QPoint& headerPos);
    // Every list's popup menus go through this (none: the menu is shown to the user).
    static void setMenuRunner(MenuRunner runner);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void runMenuAction(QAction* action);
    void applyOrder(const std::vector<int>& numbers);
    void userResized(int logical, int oldSize, int newSize);
    Column* findColumn(int number);

    std::string section_;
    QString title_;
    std::vector<Column> columns_;
    std::vector<Column> defaults_;
    int firstColumnMinimum_ = 0;
    bool applyingWidths_ = false;
    CustomizeHandler customize_;
};

}  // namespace app
