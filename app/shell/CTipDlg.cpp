#include "app/shell/CTipDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QVBoxLayout>

#include "app/widgets/MessageBoxes.h"
#include "persist/SettingsMap.h"
#include "persist/TipReader.h"

namespace app {

QPixmap CTipDlg::lightBulb(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    // Rays around the glass.
    p.setPen(QPen(QColor(240, 190, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(24, 18);
    for (int i = 0; i < 7; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(-90 + (i - 3) * 30.0);
        p.drawLine(QPointF(15, 0), QPointF(20, 0));
        p.restore();
    }
    // The glass: a ball narrowing into the neck.
    QPainterPath glass;
    glass.moveTo(19, 33);
    glass.cubicTo(19, 28, 12, 25, 12, 18);
    glass.arcTo(QRectF(12, 6, 24, 24), 180, -180);
    glass.cubicTo(36, 25, 29, 28, 29, 33);
    glass.closeSubpath();
    QRadialGradient light(QPointF(21, 14), 16);
    light.setColorAt(0, QColor(255, 255, 225));
    light.setColorAt(0.6, QColor(255, 232, 90));
    light.setColorAt(1, QColor(240, 180, 20));
    p.setPen(QPen(QColor(150, 110, 10), 1.2));
    p.setBrush(light);
    p.drawPath(glass);
    // The filament.
    p.setPen(QPen(QColor(190, 120, 0), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(21, 31), QPointF(21, 21), QPointF(23, 24), QPointF(25, 21),
                             QPointF(27, 24), QPointF(27, 31)});
    // The screw base and its contact.
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(QColor(170, 170, 175));
    for (int ring = 0; ring < 3; ++ring)
        p.drawRoundedRect(QRectF(18.5, 33 + ring * 3, 11, 3), 1, 1);
    p.setBrush(QColor(90, 90, 95));
    p.drawRoundedRect(QRectF(21, 42, 6, 3), 1.5, 1.5);
    return pixmap;
}

CTipDlg::CTipDlg(const QString& tipsPath, QWidget* parent)
    : QDialog(parent), reader_(std::make_unique<persist::TipReader>(tipsPath.toStdString())) {
    setWindowTitle(tr("Tip of the Day"));

    // The framed area: the picture on a grey band, the heading and the tip on white.
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setAutoFillBackground(true);
    QPalette paper = frame->palette();
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(paper);
    auto* band = new QLabel;
    band->setPixmap(lightBulb(56));
    band->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    band->setContentsMargins(12, 14, 12, 12);
    band->setAutoFillBackground(true);
    QPalette grey = band->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    band->setPalette(grey);
    auto* heading = new QLabel(tr("Did you know..."));
    QFont large = heading->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    heading->setFont(large);
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Plain);
    tip_ = new QLabel;
    tip_->setObjectName(QStringLiteral("tipText"));
    tip_->setTextFormat(Qt::PlainText);
    tip_->setWordWrap(true);
    tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tip_->setMinimumHeight(110);
    auto* text = new QVBoxLayout;
    text->setContentsMargins(16, 14, 16, 16);
    text->setSpacing(8);
    text->addWidget(heading);
    text->addWidget(rule);
    text->addWidget(tip_, 1);
    auto* inside = new QHBoxLayout(frame);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->setSpacing(0);
    inside->addWidget(band);
    inside->addLayout(text, 1);

    startUp_ = new QCheckBox(tr("&Show Tips on StartUp"));
    startUp_->setChecked(persist::setting::kTipStartUp.get() != 0);
    next_ = new QPushButton(tr("&Next Tip"));
    close_ = new QPushButton(tr("&Close"));
    close_->setDefault(true);
    connect(next_, &QPushButton::clicked, this, &CTipDlg::showNextTip);
    connect(close_, &QPushButton::clicked, this, [this] {
        persist::setting::kTipStartUp.set(startUp_->isChecked() ? 1 : 0);
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(startUp_);
    buttons->addStretch(1);
    buttons->addWidget(next_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    if (!reader_->isOpen()) {
        tip_->setText(QString::fromLatin1(persist::TipReader::kMissingText.data(),
                                          persist::TipReader::kMissingText.size()));
        next_->setEnabled(false);
        return;
    }
    reportTrouble();
    showNextTip();
}

// The reader stores where the next tip starts.
CTipDlg::~CTipDlg() = default;

QString CTipDlg::tipText() const {
    return tip_->text();
}

void CTipDlg::showNextTip() {
    tip_->setText(QString::fromUtf8(reader_->next()));
    reportTrouble();
}

void CTipDlg::reportTrouble() {
    if (!reader_->takeTrouble()) return;
    const auto& text = persist::TipReader::kTroubleText;
    MessageBoxes::show(isVisible() ? this : parentWidget(),
                       {QMessageBox::NoIcon, QString::fromLatin1(MessageBoxes::kProductTitle),
                        QString::fromLatin1(text.data(), text.size()), QMessageBox::Ok});
}

}  // namespace app
