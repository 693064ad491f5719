#include "app/analysis/CPageDetailsDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/widgets/CElementListCtrl.h"
#include "app/widgets/ElementListModel.h"
#include "app/widgets/PropertyListCtrl.h"
#include "app/widgets/PropertyListModel.h"
#include "engine/schedule/PageEntry.h"
#include "report/ElementColumns.h"
#include "report/PageInformation.h"

namespace app {

namespace {

// The dialog keeps no layouts of its own: these sections are never stored.
constexpr const char* kPropertiesSection = "PageDetailsDlg\\Properties";
constexpr const char* kElementsSection = "PageDetailsDlg\\Elements";

constexpr int kElementListHeight = 220;

}  // namespace

CPageDetailsDlg::CPageDetailsDlg(std::shared_ptr<engine::PageEntry> page, int connection,
                                 const report::FilterConditionList& conditions, QWidget* parent)
    : QDialog(parent),
      page_(std::move(page)),
      connection_(connection),
      pageRows_(new PagePropertiesModel(conditions, report::InformationForm::AllConnections, this)),
      elementRows_(new ElementPropertiesModel(report::ElementRowsTitle::Dialog, this)),
      caption_(new QLabel),
      noPage_(new QLabel(QString::fromStdString(report::noPageHtml()))),
      stack_(new QStackedWidget),
      properties_(new PropertyListCtrl(kPropertiesSection, tr("Page Information"))),
      elements_(new CElementListCtrl(kElementsSection, nullptr)),
      more_(new QPushButton(tr("&More >>"))) {
    setWindowTitle(tr("Page Information"));
    setSizeGripEnabled(true);

    properties_->setObjectName(QStringLiteral("pageDetails"));
    properties_->setAccessibleName(tr("Page Information"));
    properties_->setModel(pageRows_);
    noPage_->setTextFormat(Qt::RichText);
    noPage_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noPage_->setMargin(6);
    noPage_->setAutoFillBackground(true);
    noPage_->setBackgroundRole(QPalette::Base);
    stack_->addWidget(noPage_);
    stack_->addWidget(properties_);

    elements_->setObjectName(QStringLiteral("pageElements"));
    // The dialog is wide: what each element is and how it ended show as well.
    for (const std::uint32_t id :
         {report::kElementType, report::kElementStatus, report::kElementPercentTime})
        elements_->setColumnVisible(ElementListModel::columnOf(id), true);
    elements_->showPage(page_, connection_);
    elements_->setMinimumHeight(kElementListHeight);
    elements_->hide();

    auto* close = new QPushButton(tr("Close"));
    close->setDefault(true);
    more_->setEnabled(page_ != nullptr);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(more_, &QPushButton::clicked, this, [this] { setExpanded(!expanded_); });
    connect(elements_, &CElementListCtrl::currentItemChanged, this, [this] {
        if (expanded_) showDetails();
    });

    auto* details = new QVBoxLayout;
    details->addWidget(caption_);
    details->addWidget(stack_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(close);
    buttons->addWidget(more_);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(details, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(elements_);

    resize(720, 440);
    showDetails();
}

CPageDetailsDlg::~CPageDetailsDlg() = default;

void CPageDetailsDlg::keepOnScreen() {
    const QScreen* shown = screen();
    if (!shown || !isVisible()) return;
    const QRect room = shown->availableGeometry();
    QRect frame = frameGeometry();
    if (frame.bottom() <= room.bottom()) return;
    frame.moveBottom(room.bottom());
    if (frame.top() < room.top()) frame.moveTop(room.top());
    move(frame.topLeft());
}

void CPageDetailsDlg::setExpanded(bool expanded) {
    if (expanded == expanded_ || (expanded && !page_)) return;
    expanded_ = expanded;
    more_->setText(expanded ? tr("&Less <<") : tr("&More >>"));
    if (expanded) {
        collapsedHeight_ = height();
        elements_->show();
        resize(width(), collapsedHeight_ + kElementListHeight + layout()->spacing());
        keepOnScreen();
        const QModelIndex first = elements_->model()->index(0, 0);
        if (first.isValid()) {
            elements_->selectionModel()->setCurrentIndex(
                first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    } else {
        elements_->hide();
        layout()->activate();
        resize(width(), collapsedHeight_);
    }
    showDetails();
}

void CPageDetailsDlg::refresh() {
    elements_->refresh();
    if (expanded_) {
        elementRows_->refresh();
    } else {
        pageRows_->refresh();
    }
}

void CPageDetailsDlg::showDetails() {
    if (expanded_) {
        elementRows_->show(page_, elements_->currentItem(), connection_);
        if (properties_->model() != elementRows_) properties_->setModel(elementRows_);
        caption_->setText(tr("Web page element details:"));
    } else {
        pageRows_->show(page_, connection_);
        if (properties_->model() != pageRows_) properties_->setModel(pageRows_);
        caption_->setText(tr("Web page details:"));
    }
    stack_->setCurrentWidget(page_ ? static_cast<QWidget*>(properties_) : noPage_);
}

}  // namespace app
