#include "app/reports/CReportTableDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <vector>

#include "app/reports/EnterKeyFilter.h"
#include "app/widgets/Captions.h"
#include "app/widgets/QueryEdit.h"
#include "query/ElementTable.h"
#include "query/StatisticsCatalog.h"
#include "report/TableItem.h"

namespace app {
namespace {

// A list whose button acts on its current row: enabled only with one, and run by a double
// click or Enter as well.
void wireList(QListWidget* list, QPushButton* button, std::function<void()> action) {
    button->setEnabled(false);
    QObject::connect(list, &QListWidget::currentRowChanged, button,
                     [button](int row) { button->setEnabled(row >= 0); });
    QObject::connect(button, &QPushButton::clicked, list, action);
    QObject::connect(list, &QListWidget::itemDoubleClicked, list, action);
    EnterKeyFilter::install(list, std::move(action));
}

}  // namespace

CReportTableDlg::CReportTableDlg(const report::TableItem& item,
                                 const query::StatisticsCatalog& statistics, QWidget* parent)
    : QDialog(parent),
      query_(new QueryEdit),
      fields_(new QListWidget),
      statistics_(new QListWidget),
      insert_(new QPushButton(tr("&Insert"))),
      load_(new QPushButton(tr("&Load"))) {
    setWindowTitle(tr("Table Properties"));
    query_->setPlainText(QString::fromStdString(item.query()));
    fillLists(statistics);
    wireList(fields_, insert_, [this] { insertField(); });
    wireList(statistics_, load_, [this] { loadStatistics(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportTableDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportTableDlg::reject);

    auto* lists = new QGridLayout;
    lists->addWidget(captionFor(tr("&Available Fields:"), fields_), 0, 0);
    lists->addWidget(captionFor(tr("Available &Statistics:"), statistics_), 0, 1);
    lists->addWidget(fields_, 1, 0);
    lists->addWidget(statistics_, 1, 1);
    lists->addWidget(insert_, 2, 0, Qt::AlignRight);
    lists->addWidget(load_, 2, 1, Qt::AlignRight);
    lists->setColumnStretch(0, 2);
    lists->setColumnStretch(1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(captionFor(tr("&Table Query:"), query_));
    layout->addWidget(query_, 2);
    layout->addLayout(lists, 3);
    layout->addWidget(buttons);
    resize(640, 480);
    query_->setFocus();
}

void CReportTableDlg::fillLists(const query::StatisticsCatalog& statistics) {
    QStringList names;
    for (std::string_view name : query::kElementColumns)
        names.append(QString::fromUtf8(name.data(), qsizetype(name.size())));
    names.sort(Qt::CaseInsensitive);
    fields_->addItems(names);

    std::vector<query::StatisticsDefinition> definitions = statistics.definitions();
    std::stable_sort(definitions.begin(), definitions.end(), [](const auto& a, const auto& b) {
        return QString::fromStdString(a.title).compare(QString::fromStdString(b.title),
                                                       Qt::CaseInsensitive) < 0;
    });
    for (const query::StatisticsDefinition& definition : definitions) {
        auto* row = new QListWidgetItem(QString::fromStdString(definition.title), statistics_);
        row->setData(Qt::UserRole, QString::fromStdString(definition.query));
    }
}

void CReportTableDlg::copyTo(report::TableItem& item) const {
    item.setQuery(query_->toPlainText().toStdString());
}

void CReportTableDlg::insertField() {
    if (const QListWidgetItem* row = fields_->currentItem()) query_->insertAtCaret(row->text());
}

void CReportTableDlg::loadStatistics() {
    const QListWidgetItem* row = statistics_->currentItem();
    if (!row) return;
    QTextCursor cursor = query_->textCursor();
    cursor.select(QTextCursor::Document);
    cursor.insertText(row->data(Qt::UserRole).toString());
    query_->setTextCursor(cursor);
    query_->setFocus();
}

void CReportTableDlg::accept() {
    if (query_->validate(this)) QDialog::accept();
}

}  // namespace app
