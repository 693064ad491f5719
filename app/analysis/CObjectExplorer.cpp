#include "app/analysis/CObjectExplorer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/items/ItemRegistry.h"

namespace app {

namespace {

enum Column { kItem, kObject, kLevel, kSize };

// What the walk copies out: the item's own texts are read after the registry's lock is released.
struct Visited {
    const void* node;
    std::shared_ptr<engine::WebItem> item;
    int level;
};

QString identity(const void* object) {
    return QString::asprintf(
        "0x%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(object) & 0xffffffffu));
}

}  // namespace

CObjectExplorer::CObjectExplorer(const engine::ItemRegistry& registry, QWidget* parent)
    : QDialog(parent), registry_(registry), list_(new QTreeWidget) {
    setWindowTitle(tr("Object Explorer"));
    setSizeGripEnabled(true);
    list_->setObjectName(QStringLiteral("objects"));
    list_->setAccessibleName(tr("Objects"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({tr("Item"), tr("Object"), tr("Level"), tr("Size")});
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(kObject, QHeaderView::Stretch);

    auto* refreshButton = new QPushButton(tr("Refresh"));
    auto* close = new QPushButton(tr("Close"));
    close->setDefault(true);
    connect(refreshButton, &QPushButton::clicked, this, &CObjectExplorer::refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(refreshButton);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(640, 400);
    refresh();
}

void CObjectExplorer::refresh() {
    std::vector<Visited> nodes;
    registry_.walkAll([&nodes](const engine::ItemRegistry::Node& node, int depth) {
        nodes.push_back({&node, node.item, depth});
    });
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(nodes.size()));
    for (const Visited& v : nodes) {
        const engine::WebItem* item = v.item.get();
        // The object column names the item by its identity and its address together.
        const QString address = item ? QString::fromStdString(item->address().urlText) : QString();
        auto* row = new QTreeWidgetItem;
        row->setText(kItem, identity(v.node));
        row->setText(kObject, identity(item) + QStringLiteral("  ") + address);
        row->setText(kLevel, QString::asprintf("%d", v.level));
        row->setText(kSize, QString::asprintf("%d", item ? static_cast<int>(std::min<std::uint32_t>(
                                                               item->size(), INT32_MAX))
                                                         : 0));
        row->setTextAlignment(kLevel, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
        rows.push_back(row);
    }
    list_->addTopLevelItems(rows);
    for (int column : {kItem, kLevel, kSize}) list_->resizeColumnToContents(column);
}

}  // namespace app
