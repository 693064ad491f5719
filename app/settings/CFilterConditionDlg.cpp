#include "app/settings/CFilterConditionDlg.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "app/settings/ColorListDelegate.h"
#include "app/widgets/QtColor.h"
#include "engine/figures/ConnectionSpeed.h"

namespace app {
namespace {

CFilterConditionDlg::ColorChooser& colorChooser() {
    static CFilterConditionDlg::ColorChooser chooser;
    return chooser;
}

// The most seconds whose milliseconds still fit the 32-bit time a page is compared with.
constexpr int kMaxSeconds = 2147483;

}  // namespace

CFilterConditionDlg::CFilterConditionDlg(report::FilterCondition condition, QWidget* parent)
    : QDialog(parent),
      condition_(std::move(condition)),
      timeType_(new QComboBox),
      connection_(new QComboBox),
      seconds_(new QSpinBox),
      color_(new QComboBox),
      name_(new QLineEdit),
      ok_(nullptr) {
    setWindowTitle(tr("Condition"));
    timeType_->addItems({tr("Browsing"), tr("Download")});
    for (const auto& speed : engine::kConnectionSpeeds)
        connection_->addItem(QString::fromUtf8(speed.name.data(), qsizetype(speed.name.size())));
    seconds_->setRange(0, kMaxSeconds);
    color_->setItemDelegate(new ColorListDelegate(color_));
    name_->setMaxLength(kMaxNameLength);

    timeType_->setCurrentIndex(condition_.isDownloadTime() ? 1 : 0);
    connection_->setCurrentIndex(
        engine::isConnectionIndex(condition_.connectionType) ? condition_.connectionType : 0);
    seconds_->setValue(std::clamp(condition_.threshold, 0, kMaxSeconds));
    if (condition_.name.empty()) condition_.name = report::generatedName(condition_);
    automatic_ = condition_.name == report::generatedName(condition_);
    name_->setText(QString::fromStdString(condition_.name));
    fillColors();

    auto* more = new QPushButton(tr("..."));
    more->setAccessibleName(tr("Other color"));
    auto* rule = new QHBoxLayout;
    const auto label = [](const QString& text, QWidget* buddy) {
        auto* caption = new QLabel(text);
        caption->setBuddy(buddy);
        return caption;
    };
    rule->addWidget(label(tr("I&f"), timeType_));
    rule->addWidget(timeType_);
    rule->addWidget(label(tr("o&n"), connection_));
    rule->addWidget(connection_);
    rule->addWidget(label(tr("takes &more than"), seconds_));
    rule->addWidget(seconds_);
    rule->addWidget(new QLabel(tr("seconds.")));
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(color_, 1);
    colorRow->addWidget(more);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rule);
    layout->addWidget(label(tr("&Highlight page with the following color:"), color_));
    layout->addLayout(colorRow);
    layout->addWidget(label(tr("Condition Name:"), name_));
    layout->addWidget(name_);
    layout->addWidget(buttons);

    connect(timeType_, &QComboBox::currentIndexChanged, this, [this] { fieldsChanged(); });
    connect(connection_, &QComboBox::currentIndexChanged, this, [this] { fieldsChanged(); });
    connect(seconds_, &QSpinBox::valueChanged, this, [this] { fieldsChanged(); });
    connect(color_, &QComboBox::currentIndexChanged, this, &CFilterConditionDlg::colorChosen);
    connect(name_, &QLineEdit::textEdited, this, &CFilterConditionDlg::nameEdited);
    connect(more, &QPushButton::clicked, this, &CFilterConditionDlg::chooseCustomColor);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // A name left empty would make an unnamed row and an unnamed stored key.
        if (condition_.name.empty()) condition_.name = report::generatedName(condition_);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ok_->setEnabled(condition_.threshold != 0);
}

void CFilterConditionDlg::fillColors() {
    filling_ = true;
    auto* model = new QStandardItemModel(color_);
    for (const auto& named : report::kNamedColors) {
        auto* item =
            new QStandardItem(QString::fromUtf8(named.name.data(), qsizetype(named.name.size())));
        item->setData(qtColor(named.color), Qt::DecorationRole);
        model->appendRow(item);
    }
    if (condition_.customColor != 0) {
        auto* item = new QStandardItem(tr("Custom"));
        item->setData(qtColor(condition_.customColor), Qt::DecorationRole);
        model->appendRow(item);
    }
    color_->setModel(model);
    const bool named = condition_.colorIndex >= 0 &&
                       condition_.colorIndex < static_cast<int>(report::kNamedColors.size());
    color_->setCurrentIndex(condition_.customColor != 0 ? report::kCustomColorIndex
                                                        : (named ? condition_.colorIndex : 0));
    filling_ = false;
}

void CFilterConditionDlg::fieldsChanged() {
    condition_.timeType = timeType_->currentIndex();
    condition_.connectionType = connection_->currentIndex();
    condition_.threshold = seconds_->value();
    const std::string generated = report::generatedName(condition_);
    if (automatic_) {
        condition_.name = generated;
        name_->setText(QString::fromStdString(generated));
    } else {
        automatic_ = condition_.name == generated;
    }
    ok_->setEnabled(condition_.threshold != 0);
}

void CFilterConditionDlg::nameEdited(const QString& text) {
    condition_.name = text.toStdString();
    automatic_ = condition_.name.empty() || condition_.name == report::generatedName(condition_);
}

void CFilterConditionDlg::colorChosen(int row) {
    if (filling_ || row < 0) return;
    if (row == report::kCustomColorIndex) {
        condition_.colorIndex = report::kCustomColorIndex;
        return;
    }
    // The colour the user picks is the one that highlights; a custom colour left in force
    // behind a named choice would paint pages in a colour the dialog does not show.
    condition_.colorIndex = row;
    if (condition_.customColor != 0) {
        condition_.customColor = 0;
        fillColors();
    }
}

void CFilterConditionDlg::chooseCustomColor() {
    const QColor initial = qtColor(report::colorOf(condition_));
    std::optional<QColor> chosen;
    if (colorChooser()) {
        chosen = colorChooser()(initial, this);
    } else {
        const QColor picked = QColorDialog::getColor(initial, this, tr("Color"));
        if (picked.isValid()) chosen = picked;
    }
    if (!chosen) return;
    // 0 means "no custom colour"; pure black is kept as the nearest colour that is not 0.
    condition_.customColor = std::max<report::ColorRef>(colorRef(*chosen), 1);
    condition_.colorIndex = report::kCustomColorIndex;
    fillColors();
}

void CFilterConditionDlg::setColorChooser(ColorChooser chooser) {
    colorChooser() = std::move(chooser);
}

}  // namespace app
