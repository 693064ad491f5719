#include "app/widgets/CMyListCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>

#include <algorithm>

#include "app/widgets/ColumnLayout.h"
#include "persist/ListLayout.h"

namespace app {
namespace {

CMyListCtrl::MenuRunner& menuRunner() {
    static CMyListCtrl::MenuRunner runner;
    return runner;
}

// What a header menu entry does; the entry's data is the column number where one is meant.
enum class MenuCommand { Hide, Toggle, RestoreDefaults, Customize };
constexpr const char* kCommandProperty = "pagelystCommand";

QAction* addCommand(QMenu& menu, const QString& text, MenuCommand command, int number = -1) {
    QAction* action = menu.addAction(text);
    action->setProperty(kCommandProperty, static_cast<int>(command));
    action->setData(number);
    return action;
}

}  // namespace

CMyListCtrl::CMyListCtrl(std::string section, QWidget* parent)
    : QTreeView(parent), section_(std::move(section)) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showHeaderMenu(pos); });
    connect(header(), &QHeaderView::sectionResized, this, &CMyListCtrl::userResized);
}

CMyListCtrl::~CMyListCtrl() = default;

void CMyListCtrl::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
    rebuildColumns();
}

void CMyListCtrl::addColumn(int number, const QString& name, int widthPercent, int minimumPixels,
                            bool visible, int format) {
    const Column column{number, name,         {},           visible,
                        format, widthPercent, widthPercent, minimumPixels};
    columns_.push_back(column);
    defaults_.push_back(column);
}

CMyListCtrl::Column* CMyListCtrl::findColumn(int number) {
    const auto found = std::find_if(columns_.begin(), columns_.end(),
                                    [number](const Column& c) { return c.number == number; });
    return found == columns_.end() ? nullptr : &*found;
}

const CMyListCtrl::Column* CMyListCtrl::column(int number) const {
    return const_cast<CMyListCtrl*>(this)->findColumn(number);
}

void CMyListCtrl::rebuildColumns() {
    // Updates are locked only while the list is on screen: switching them off and on while it
    // is being shown for the first time leaves it unpainted.
    const bool lock = isVisible() && updatesEnabled();
    if (lock) setUpdatesEnabled(false);
    // Showing and hiding sections resizes them; that is not the user sizing a column.
    applyingWidths_ = true;
    QHeaderView* view = header();
    for (int logical = 0; logical < view->count(); ++logical) {
        const Column* definition = column(logical);
        view->setSectionHidden(logical, definition == nullptr || !definition->visible);
    }
    std::vector<int> order;
    for (const Column& definition : columns_)
        if (definition.visible) order.push_back(definition.number);
    applyOrder(order);
    applyingWidths_ = false;
    layoutColumns(true);
    if (lock) setUpdatesEnabled(true);
}

void CMyListCtrl::applyOrder(const std::vector<int>& numbers) {
    QHeaderView* view = header();
    int position = 0;
    for (const int number : numbers) {
        if (number < 0 || number >= view->count() || view->isSectionHidden(number)) continue;
        const int from = view->visualIndex(number);
        if (from < position) continue;  // named twice
        view->moveSection(from, position++);
    }
}

std::vector<int> CMyListCtrl::displayOrder() const {
    std::vector<int> order;
    const QHeaderView* view = header();
    for (int visual = 0; visual < view->count(); ++visual) {
        const int logical = view->logicalIndex(visual);
        if (!view->isSectionHidden(logical) && column(logical) != nullptr) order.push_back(logical);
    }
    return order;
}

void CMyListCtrl::layoutColumns(bool forced) {
    const std::vector<int> order = displayOrder();
    std::vector<ProportionalColumn> shares;
    shares.reserve(order.size());
    for (const int number : order) {
        const Column* definition = column(number);
        shares.push_back({definition->width, definition->minimumWidth});
    }
    const auto widths =
        proportionalWidths(shares, viewport()->width(), firstColumnMinimum_, forced);
    if (!widths) return;
    applyingWidths_ = true;
    for (std::size_t i = 0; i < order.size(); ++i)
        header()->resizeSection(order[i], std::max(0, (*widths)[i]));
    applyingWidths_ = false;
}

void CMyListCtrl::userResized(int logical, int /*oldSize*/, int newSize) {
    if (applyingWidths_ || header()->isSectionHidden(logical)) return;
    const int client = viewport()->width();
    Column* definition = findColumn(logical);
    if (definition == nullptr || client <= 0) return;
    // A width the user dragged becomes the column's share, so that it survives a save.
    definition->width = (newSize * 100 + client / 2) / client;
}

void CMyListCtrl::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    // Within a resize the list is painted once afterwards anyway.
    layoutColumns(false);
}

void CMyListCtrl::loadLayout() {
    loadLayout(section_);
}
bool CMyListCtrl::saveLayout() const {
    return saveLayout(section_);
}

namespace {

// The list's state as the store holds it: entries by column number, the visible columns'
// numbers in display order.
persist::ListLayout layoutOf(const std::vector<CMyListCtrl::Column>& columns,
                             const std::vector<int>& order, int sortColumn, int sortDirection) {
    persist::ListLayout layout;
    int count = 0;
    for (const auto& column : columns) count = std::max(count, column.number + 1);
    layout.columns.assign(static_cast<std::size_t>(count), {false, 0});
    for (const auto& column : columns)
        layout.columns[static_cast<std::size_t>(column.number)] = {column.visible, column.width};
    layout.order.assign(order.begin(), order.end());
    layout.sortColumn = sortColumn;
    layout.sortDirection = sortDirection;
    return layout;
}

}  // namespace

bool CMyListCtrl::saveLayout(const std::string& section) const {
    const int sortColumn = isSortingEnabled() ? header()->sortIndicatorSection() : -1;
    const int direction = static_cast<int>(header()->sortIndicatorOrder());
    return persist::saveListLayout(
        section, layoutOf(columns_, displayOrder(), sortColumn < 0 ? -1 : sortColumn, direction));
}

void CMyListCtrl::loadLayout(const std::string& section) {
    const persist::ListLayout defaults = layoutOf(columns_, {}, persist::kNoSortColumn, 0);
    const persist::ListLayout stored = persist::loadListLayout(section, defaults);
    for (Column& definition : columns_) {
        const auto& entry = stored.columns[static_cast<std::size_t>(definition.number)];
        definition.visible = entry.visible;
        definition.width = entry.size;
    }
    rebuildColumns();
    if (!stored.order.empty()) {
        applyOrder(stored.order);
        layoutColumns(true);
    }
    if (stored.sortColumn != persist::kNoSortColumn && isSortingEnabled()) {
        header()->setSortIndicator(stored.sortColumn, stored.sortDirection == 0
                                                          ? Qt::AscendingOrder
                                                          : Qt::DescendingOrder);
    }
}

void CMyListCtrl::restoreDefaults() {
    columns_ = defaults_;
    rebuildColumns();
}

void CMyListCtrl::setColumnVisible(int number, bool visible) {
    if (Column* definition = findColumn(number)) {
        definition->visible = visible;
        rebuildColumns();
    }
}

void CMyListCtrl::applyVisibleOrder(const std::vector<int>& numbers) {
    for (Column& definition : columns_)
        definition.visible =
            std::find(numbers.begin(), numbers.end(), definition.number) != numbers.end();
    rebuildColumns();
    applyOrder(numbers);
    layoutColumns(true);
}

std::unique_ptr<QMenu> CMyListCtrl::headerMenu(const QPoint& headerPos) {
    auto menu = std::make_unique<QMenu>(this);
    const int logical = header()->logicalIndexAt(headerPos);
    const Column* under = logical < 0 ? nullptr : column(logical);
    if (under != nullptr && under->visible) {
        addCommand(*menu, tr("Hide Column '%1'").arg(under->name), MenuCommand::Hide,
                   under->number);
    } else {
        addCommand(*menu, tr("Hide Column"), MenuCommand::Hide)->setEnabled(false);
    }
    QMenu* sub = menu->addMenu(tr("Columns"));
    for (const Column& definition : columns_) {
        QAction* entry = addCommand(*sub, definition.name, MenuCommand::Toggle, definition.number);
        entry->setCheckable(true);
        entry->setChecked(definition.visible);
    }
    menu->addSeparator();
    addCommand(*menu, tr("Restore Defaults"), MenuCommand::RestoreDefaults);
    if (customize_) addCommand(*menu, tr("Customize"), MenuCommand::Customize);
    return menu;
}

void CMyListCtrl::showHeaderMenu(const QPoint& headerPos) {
    const auto menu = headerMenu(headerPos);
    const QPoint global = header()->mapToGlobal(headerPos);
    QAction* chosen = menuRunner() ? menuRunner()(*menu, global) : menu->exec(global);
    if (chosen != nullptr) runMenuAction(chosen);
}

void CMyListCtrl::runMenuAction(QAction* action) {
    const QVariant command = action->property(kCommandProperty);
    if (!command.isValid()) return;
    const int number = action->data().toInt();
    switch (static_cast<MenuCommand>(command.toInt())) {
        case MenuCommand::Hide:
            setColumnVisible(number, false);
            break;
        case MenuCommand::Toggle:
            if (const Column* definition = column(number))
                setColumnVisible(number, !definition->visible);
            break;
        case MenuCommand::RestoreDefaults:
            restoreDefaults();
            break;
        case MenuCommand::Customize:
            QMetaObject::invokeMethod(
                this,
                [list = QPointer<CMyListCtrl>(this)] {
                    if (list && list->customize_) list->customize_(*list);
                },
                Qt::QueuedConnection);
            break;
    }
}

void CMyListCtrl::setMenuRunner(MenuRunner runner) {
    menuRunner() = std::move(runner);
}

void CMyListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // The body's menu belongs to the window that holds the list.
    event->ignore();
}

}  // namespace app
