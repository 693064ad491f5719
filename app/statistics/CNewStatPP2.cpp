#include "app/statistics/CNewStatPP2.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "app/widgets/Captions.h"
#include "app/widgets/QueryEdit.h"
#include "query/ElementTable.h"

namespace app {

CNewStatPP2::CNewStatPP2(BaseQuery baseQuery, QWidget* parent)
    : QWizardPage(parent),
      baseQuery_(std::move(baseQuery)),
      query_(new QueryEdit),
      fields_(new QListWidget),
      insert_(new QPushButton(tr("&Insert"))) {
    setTitle(tr("Statistics Query"));
    insert_->setEnabled(false);
    connect(insert_, &QPushButton::clicked, this, &CNewStatPP2::insertField);
    connect(fields_, &QListWidget::itemDoubleClicked, this, &CNewStatPP2::insertField);
    connect(fields_, &QListWidget::currentRowChanged, this,
            [this](int row) { insert_->setEnabled(row >= 0); });

    // Wide enough for the longest column name without a horizontal scroll bar.
    int widest = 0;
    for (std::string_view name : query::kElementColumns)
        widest = std::max(widest, fields_->fontMetrics().horizontalAdvance(
                                      QString::fromUtf8(name.data(), qsizetype(name.size()))));
    fields_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fields_->setFixedWidth(widest + 2 * fields_->frameWidth() +
                           fields_->verticalScrollBar()->sizeHint().width() + 8);

    auto* fieldsLabel = captionFor(tr("Available Fields"), fields_);
    query_->setAccessibleName(tr("Query"));
    auto* side = new QVBoxLayout;
    side->addWidget(fieldsLabel);
    side->addWidget(fields_, 1);
    side->addWidget(insert_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(query_, 1);
    layout->addLayout(side);
}

void CNewStatPP2::initializePage() {
    if (const QString base = baseQuery_(); !base.isNull()) query_->setPlainText(base);
    QStringList names;
    for (std::string_view name : query::kElementColumns)
        names.append(QString::fromUtf8(name.data(), qsizetype(name.size())));
    names.sort(Qt::CaseInsensitive);
    fields_->clear();
    fields_->addItems(names);
    insert_->setEnabled(false);
    query_->setFocus();
}

bool CNewStatPP2::validatePage() {
    return query_->validate(this);
}

void CNewStatPP2::insertField() {
    if (const QListWidgetItem* item = fields_->currentItem()) query_->insertAtCaret(item->text());
}

}  // namespace app
