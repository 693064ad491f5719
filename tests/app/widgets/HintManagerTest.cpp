// The hint balloons: the two permissions of the stored state, the delays, closing by the user's
// input and what a closed balloon stores, against a settings store in a temporary home.
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

#include "app/widgets/CBalloon.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/HintStateStore.h"
#include "app/widgets/HintTexts.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

Q_DECLARE_METATYPE(std::optional<int>)

namespace {

constexpr int kHint = 3;

std::optional<int> storedState(int hint) {
    return persist::readIntValue(persist::section::kToolTips, persist::toolTipValueName(hint));
}

void store(int hint, std::optional<int> state) {
    if (state) {
        QVERIFY(persist::writeIntValue(persist::section::kToolTips, persist::toolTipValueName(hint),
                                       *state));
    }
}

void enter(QWidget* window) {
    QEnterEvent event(QPointF(5, 5), window->mapToGlobal(QPointF(5, 5)),
                      window->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(window, &event);
}

void leave(QWidget* window) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(window, &event);
}

}  // namespace

class HintManagerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stateIsTheStoredValueOrThree_data();
    void stateIsTheStoredValueOrThree();
    void raiseNeedsBitTwoAndShowingBitOne_data();
    void raiseNeedsBitTwoAndShowingBitOne();
    void hoverNeedsBitOne_data();
    void hoverNeedsBitOne();
    void raisedBalloonComesAfterTheRaiseDelayAtThePoint();
    void raisedWithoutPointComesNextToItsWindow();
    void hoverBalloonComesAfterTheHoverDelayAtThePointer();
    void leavingTheWindowCancelsTheHover();
    void closingStoresTheChoice_data();
    void closingStoresTheChoice();
    void inputCancelsAWaitingBalloon();
    void clicksInsideTheBalloonKeepItOpen();
    void ordinaryCloseStopsRaisingButKeepsHover();
    void registeredTextReplacesTheBuiltInOne();
    void balloonStaysOnTheScreenAndPointsAtItsPoint_data();
    void balloonStaysOnTheScreenAndPointsAtItsPoint();

private:
    std::unique_ptr<testing_support::TempHome> home_;
    std::unique_ptr<app::SettingsHintStore> store_;
    std::unique_ptr<app::HintManager> hints_;
    std::unique_ptr<QWidget> window_;
    QLineEdit* field_ = nullptr;
    QPushButton* other_ = nullptr;
};

void HintManagerTest::init() {
    home_ = std::make_unique<testing_support::TempHome>();
    store_ = std::make_unique<app::SettingsHintStore>();
    hints_ = std::make_unique<app::HintManager>(*store_);
    window_ = std::make_unique<QWidget>();
    field_ = new QLineEdit(window_.get());
    field_->setGeometry(10, 10, 200, 24);
    other_ = new QPushButton(QStringLiteral("other"), window_.get());
    other_->setGeometry(10, 60, 100, 24);
    window_->setGeometry(100, 100, 300, 200);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void HintManagerTest::cleanup() {
    hints_.reset();
    window_.reset();
    store_.reset();
    home_.reset();
}

void HintManagerTest::stateIsTheStoredValueOrThree_data() {
    QTest::addColumn<std::optional<int>>("stored");
    QTest::addColumn<int>("state");
    QTest::newRow("missing") << std::optional<int>() << 3;
    for (int v : {0, 1, 2, 3, 7}) QTest::addRow("%d", v) << std::optional<int>(v) << v;
}

void HintManagerTest::stateIsTheStoredValueOrThree() {
    QFETCH(std::optional<int>, stored);
    QFETCH(int, state);
    store(kHint, stored);
    QCOMPARE(hints_->hintState(kHint), state);
}

void HintManagerTest::raiseNeedsBitTwoAndShowingBitOne_data() {
    QTest::addColumn<std::optional<int>>("stored");
    QTest::addColumn<bool>("raised");
    QTest::addColumn<bool>("shown");
    QTest::newRow("missing") << std::optional<int>() << true << true;
    QTest::newRow("0") << std::optional<int>(0) << false << false;
    QTest::newRow("1") << std::optional<int>(1) << false << false;
    QTest::newRow("2") << std::optional<int>(2) << true << false;
    QTest::newRow("3") << std::optional<int>(3) << true << true;
}

void HintManagerTest::raiseNeedsBitTwoAndShowingBitOne() {
    QFETCH(std::optional<int>, stored);
    QFETCH(bool, raised);
    QFETCH(bool, shown);
    store(kHint, stored);
    QCOMPARE(hints_->showHint(kHint, QPoint(150, 150)), raised);
    // The raise delay runs out at once; the state decides then.
    QCOMPARE(hints_->elapsePending(), raised);
    QCOMPARE(hints_->balloon() && hints_->balloon()->isVisible(), shown);
    QCOMPARE(storedState(kHint), stored);  // nothing is written until a balloon closes
}

void HintManagerTest::hoverNeedsBitOne_data() {
    QTest::addColumn<std::optional<int>>("stored");
    QTest::addColumn<bool>("shown");
    QTest::newRow("missing") << std::optional<int>() << true;
    QTest::newRow("0") << std::optional<int>(0) << false;
    QTest::newRow("1") << std::optional<int>(1) << true;
    QTest::newRow("2") << std::optional<int>(2) << false;
    QTest::newRow("3") << std::optional<int>(3) << true;
}

void HintManagerTest::hoverNeedsBitOne() {
    QFETCH(std::optional<int>, stored);
    QFETCH(bool, shown);
    store(kHint, stored);
    hints_->registerHint(kHint, field_);
    enter(field_);
    QCOMPARE(hints_->pendingHint(), kHint);
    QVERIFY(hints_->elapsePending());
    QCOMPARE(hints_->balloon() != nullptr, shown);
}

void HintManagerTest::raisedBalloonComesAfterTheRaiseDelayAtThePoint() {
    QSignalSpy shown(hints_.get(), &app::HintManager::hintShown);
    const QPoint point(180, 170);
    QVERIFY(hints_->showHint(kHint, point));
    QVERIFY(!hints_->balloon());
    QCOMPARE(hints_->pendingHint(), kHint);
    QCOMPARE(hints_->pendingDelayMs(), app::HintManager::kRaiseDelayMs);
    QVERIFY(shown.wait());
    QCOMPARE(shown.at(0).at(0).toInt(), kHint);
    QCOMPARE(hints_->shownHint(), kHint);
    QCOMPARE(hints_->balloon()->tip(), point);
    QCOMPARE(hints_->balloon()->text(), app::builtInHintText(kHint));
    QVERIFY(hints_->balloon()->geometry().contains(point));
}

void HintManagerTest::raisedWithoutPointComesNextToItsWindow() {
    hints_->registerHint(2, field_);
    QVERIFY(hints_->showHint(2));
    QTRY_VERIFY(hints_->balloon() != nullptr);
    const QRect box = field_->rect();
    QCOMPARE(hints_->balloon()->tip(), field_->mapToGlobal(QPoint(box.center().x(), box.bottom())));
}

void HintManagerTest::hoverBalloonComesAfterTheHoverDelayAtThePointer() {
    hints_->registerHint(2, field_);
    enter(field_);
    QCOMPARE(hints_->pendingDelayMs(), app::HintManager::kHoverDelayMs);
    QTRY_VERIFY_WITH_TIMEOUT(hints_->balloon() != nullptr, 5000);
    QCOMPARE(hints_->shownHint(), 2);
    QCOMPARE(hints_->balloon()->tip(), QCursor::pos());
}

void HintManagerTest::leavingTheWindowCancelsTheHover() {
    hints_->registerHint(2, field_);
    enter(field_);
    leave(field_);
    QCOMPARE(hints_->pendingHint(), 0);
    QVERIFY(!hints_->elapsePending());
    QVERIFY(!hints_->balloon());
}

void HintManagerTest::closingStoresTheChoice_data() {
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("written");
    QTest::newRow("Close") << false << "close" << 1;
    QTest::newRow("Close, do not show again") << true << "close" << 0;
    QTest::newRow("click elsewhere") << false << "click" << 1;
    QTest::newRow("click elsewhere, do not show again") << true << "click" << 0;
    QTest::newRow("key") << false << "key" << 1;
    QTest::newRow("key, do not show again") << true << "key" << 0;
    QTest::newRow("dismiss") << false << "dismiss" << 1;
}

void HintManagerTest::closingStoresTheChoice() {
    QFETCH(bool, checked);
    QFETCH(QString, how);
    QFETCH(int, written);
    QSignalSpy closed(hints_.get(), &app::HintManager::hintClosed);
    QVERIFY(hints_->showHint(kHint, QPoint(150, 300)));
    QTRY_VERIFY(hints_->balloon() != nullptr);
    app::CBalloon* balloon = hints_->balloon();
    if (checked) QTest::mouseClick(balloon->doNotShowBox(), Qt::LeftButton);
    QCOMPARE(balloon->doNotShowAgain(), checked);
    QVERIFY(balloon->isVisible());
    if (how == "close") QTest::mouseClick(balloon->closeButton(), Qt::LeftButton);
    if (how == "click") QTest::mouseClick(other_, Qt::LeftButton);
    if (how == "key") QTest::keyClick(field_, Qt::Key_A);
    if (how == "dismiss") hints_->dismiss();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toInt(), kHint);
    QCOMPARE(closed.at(0).at(1).toBool(), checked);
    QVERIFY(!hints_->balloon());
    QCOMPARE(storedState(kHint), std::optional<int>(written));
}

void HintManagerTest::inputCancelsAWaitingBalloon() {
    QVERIFY(hints_->showHint(kHint, QPoint(150, 150)));
    QTest::keyClick(field_, Qt::Key_B);
    QCOMPARE(hints_->pendingHint(), 0);
    hints_->registerHint(2, field_);
    enter(field_);
    QTest::mouseClick(other_, Qt::LeftButton);
    QCOMPARE(hints_->pendingHint(), 0);
    QVERIFY(!hints_->elapsePending());
    QVERIFY(!hints_->balloon());
    QCOMPARE(storedState(kHint), std::optional<int>());
}

void HintManagerTest::clicksInsideTheBalloonKeepItOpen() {
    QVERIFY(hints_->showHint(kHint, QPoint(150, 150)));
    QTRY_VERIFY(hints_->balloon() != nullptr);
    QTest::mouseClick(hints_->balloon(), Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseClick(hints_->balloon()->doNotShowBox(), Qt::LeftButton);
    QVERIFY(hints_->balloon() && hints_->balloon()->isVisible());
    QVERIFY(hints_->balloon()->doNotShowAgain());
}

void HintManagerTest::ordinaryCloseStopsRaisingButKeepsHover() {
    QVERIFY(hints_->showHint(kHint, QPoint(150, 150)));
    QTRY_VERIFY(hints_->balloon() != nullptr);
    QTest::mouseClick(hints_->balloon()->closeButton(), Qt::LeftButton);
    QVERIFY(!hints_->showHint(kHint, QPoint(150, 150)));
    hints_->registerHint(kHint, field_);
    enter(field_);
    QTRY_VERIFY_WITH_TIMEOUT(hints_->balloon() != nullptr, 5000);
}

void HintManagerTest::registeredTextReplacesTheBuiltInOne() {
    hints_->registerHint(42, nullptr, QStringLiteral("own\ntext"));
    QVERIFY(hints_->showHint(42, QPoint(150, 150)));
    QTRY_VERIFY(hints_->balloon() != nullptr);
    QCOMPARE(hints_->balloon()->text(), QStringLiteral("own\ntext"));
}

void HintManagerTest::balloonStaysOnTheScreenAndPointsAtItsPoint_data() {
    QTest::addColumn<QPointF>("where");  // fractions of the screen
    QTest::newRow("top left") << QPointF(0.01, 0.01);
    QTest::newRow("top right") << QPointF(0.99, 0.01);
    QTest::newRow("bottom left") << QPointF(0.01, 0.99);
    QTest::newRow("bottom right") << QPointF(0.99, 0.99);
    QTest::newRow("middle") << QPointF(0.5, 0.5);
}

void HintManagerTest::balloonStaysOnTheScreenAndPointsAtItsPoint() {
    QFETCH(QPointF, where);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint point(screen.left() + int(where.x() * screen.width()),
                       screen.top() + int(where.y() * screen.height()));
    app::CBalloon balloon(app::builtInHintText(4));
    balloon.showAt(point);
    const QRect box = balloon.geometry();
    QVERIFY(screen.contains(box));
    QVERIFY(box.contains(point));
    // The tail's tip is the box's top or bottom edge at the point.
    QVERIFY(point.y() == box.top() || point.y() == box.bottom());
}

QTEST_MAIN(HintManagerTest)

#include "HintManagerTest.moc"
