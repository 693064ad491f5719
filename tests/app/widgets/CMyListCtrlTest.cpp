#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStandardItemModel>
#include <QTest>
#include <QVBoxLayout>

#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/ColumnLayout.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/app/AppTestSupport.h"

using app::CMyListCtrl;
using app::ProportionalColumn;

Q_DECLARE_METATYPE(std::vector<ProportionalColumn>)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

constexpr const char* kSection = "TestList";

// A window holding a four-column list; the parent records right clicks that reach it.
class Holder : public QWidget {
public:
    Holder() : model(3, 4), list(new CMyListCtrl(kSection)) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(list);
        list->addColumn(0, "Name", 40, 30);
        list->addColumn(1, "Size", 20, 20);
        list->addColumn(2, "Type", 20, 20);
        list->addColumn(3, "Time", 20, 20);
        list->setModel(&model);
        list->setSortingEnabled(true);
        resize(500, 300);
        show();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        ++contextMenus;
        event->accept();
    }

    QStandardItemModel model;
    CMyListCtrl* list;
    int contextMenus = 0;
};

QAction* findAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) return action;
        if (action->menu() != nullptr)
            if (QAction* inner = findAction(*action->menu(), text)) return inner;
    }
    return nullptr;
}

std::vector<int> sectionSizes(const CMyListCtrl& list) {
    std::vector<int> sizes;
    for (const int number : list.displayOrder())
        sizes.push_back(list.header()->sectionSize(number));
    return sizes;
}

}  // namespace

class CMyListCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        chosen_.clear();
        menuTexts_.clear();
        menus_ = 0;
        CMyListCtrl::setMenuRunner([this](QMenu& menu, const QPoint&) -> QAction* {
            ++menus_;
            for (QAction* action : menu.actions()) menuTexts_ << action->text();
            QAction* action = findAction(menu, chosen_);
            return action != nullptr && action->isEnabled() ? action : nullptr;
        });
    }
    void cleanup() {
        CMyListCtrl::setMenuRunner({});
        persist::deleteSection(kSection);
    }

    void proportionalLayout_data() {
        QTest::addColumn<std::vector<ProportionalColumn>>("columns");
        QTest::addColumn<int>("client");
        QTest::addColumn<int>("firstMinimum");
        QTest::addColumn<bool>("forced");
        QTest::addColumn<bool>("laidOut");
        QTest::addColumn<std::vector<int>>("widths");
        using C = std::vector<ProportionalColumn>;
        // The sum's boundaries, unforced and forced.
        QTest::newRow("S=94 unforced")
            << C{{47, 0}, {47, 0}} << 1000 << 0 << false << false << std::vector<int>{};
        QTest::newRow("S=94 forced")
            << C{{47, 0}, {47, 0}} << 1000 << 0 << true << true << std::vector<int>{470, 470};
        QTest::newRow("S=95") << C{{50, 0}, {45, 0}} << 1000 << 0 << false << true
                              << std::vector<int>{500, 450};
        QTest::newRow("S=100") << C{{50, 0}, {50, 0}} << 1000 << 0 << false << true
                               << std::vector<int>{500, 500};
        QTest::newRow("S=101 excess 1")
            << C{{51, 0}, {50, 0}} << 1000 << 0 << false << true << std::vector<int>{507, 487};
        QTest::newRow("S=104 excess 4")
            << C{{54, 0}, {50, 0}} << 1000 << 0 << false << true << std::vector<int>{529, 450};
        QTest::newRow("S=105 no excess")
            << C{{55, 0}, {50, 0}} << 1000 << 0 << false << true << std::vector<int>{550, 500};
        QTest::newRow("S=106 unforced")
            << C{{56, 0}, {50, 0}} << 1000 << 0 << false << false << std::vector<int>{};
        QTest::newRow("S=106 forced")
            << C{{56, 0}, {50, 0}} << 1000 << 0 << true << true << std::vector<int>{560, 500};
        // Client widths on both sides of a column's minimum.
        QTest::newRow("below minimum")
            << C{{50, 120}, {50, 0}} << 200 << 0 << false << true << std::vector<int>{120, 100};
        QTest::newRow("at minimum")
            << C{{50, 120}, {50, 0}} << 240 << 0 << false << true << std::vector<int>{120, 120};
        QTest::newRow("above minimum")
            << C{{50, 120}, {50, 0}} << 260 << 0 << false << true << std::vector<int>{130, 130};
        QTest::newRow("first column minimum")
            << C{{50, 10}, {50, 10}} << 200 << 150 << false << true << std::vector<int>{150, 100};
        QTest::newRow("list minimum only for the first")
            << C{{50, 10}, {25, 10}, {25, 10}} << 200 << 150 << false << true
            << std::vector<int>{150, 50, 50};
        QTest::newRow("no columns") << C{} << 500 << 0 << true << true << std::vector<int>{};
    }
    void proportionalLayout() {
        QFETCH(std::vector<ProportionalColumn>, columns);
        QFETCH(int, client);
        QFETCH(int, firstMinimum);
        QFETCH(bool, forced);
        QFETCH(bool, laidOut);
        QFETCH(std::vector<int>, widths);
        const auto result = app::proportionalWidths(columns, client, firstMinimum, forced);
        QCOMPARE(result.has_value(), laidOut);
        if (result) QCOMPARE(*result, widths);
    }

    void headerTakesTheProportionalWidths() {
        Holder holder;
        const int client = holder.list->viewport()->width();
        const auto expected =
            app::proportionalWidths({{40, 30}, {20, 20}, {20, 20}, {20, 20}}, client, 0, true);
        QCOMPARE(sectionSizes(*holder.list), *expected);
        holder.resize(800, 300);
        QTRY_COMPARE(sectionSizes(*holder.list),
                     *app::proportionalWidths({{40, 30}, {20, 20}, {20, 20}, {20, 20}},
                                              holder.list->viewport()->width(), 0, false));
    }

    void hidingAndShowingKeepsTheShare() {
        Holder holder;
        holder.list->setColumnVisible(2, false);
        holder.list->setColumnVisible(2, true);
        QCOMPARE(holder.list->columns(), holder.list->defaultColumns());
    }

    void aWidthTheUserSetBecomesTheShare() {
        Holder holder;
        const int client = holder.list->viewport()->width();
        holder.list->header()->resizeSection(1, client / 2);
        QCOMPARE(holder.list->column(1)->width, 50);
        QVERIFY(holder.list->saveLayout());
        QCOMPARE(persist::readIntValue(kSection, "1_size"), std::optional<std::int32_t>(50));
    }

    void layoutSurvivesSaveAndLoad() {
        {
            Holder holder;
            holder.list->applyVisibleOrder({3, 0, 2});
            holder.list->sortByColumn(2, Qt::DescendingOrder);
            QVERIFY(holder.list->saveLayout());
        }
        QCOMPARE(persist::readIntValue(kSection, "1_visible"), std::optional<std::int32_t>(0));
        QCOMPARE(persist::readIntValue(kSection, "0_size"), std::optional<std::int32_t>(40));
        QCOMPARE(persist::readIntValue(kSection, "0_order"), std::optional<std::int32_t>(3));
        QCOMPARE(persist::readIntValue(kSection, "2_order"), std::optional<std::int32_t>(2));
        QCOMPARE(persist::readIntValue(kSection, "3_order"), std::nullopt);
        Holder again;
        again.list->loadLayout();
        QCOMPARE(again.list->displayOrder(), (std::vector<int>{3, 0, 2}));
        QVERIFY(!again.list->column(1)->visible);
        QCOMPARE(again.list->header()->sortIndicatorSection(), 2);
        QCOMPARE(again.list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void storedOrderWithAGapAppliesItsFirstPositions() {
        persist::writeIntValue(kSection, "0_order", 3);
        persist::writeIntValue(kSection, "1_order", 2);
        persist::writeIntValue(kSection, "3_order", 0);
        Holder holder;
        holder.list->loadLayout();
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{3, 2, 0, 1}));
    }

    void missingValuesKeepTheDefiningValues() {
        persist::writeIntValue(kSection, "2_size", 30);
        Holder holder;
        holder.list->loadLayout();
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(holder.list->column(2)->width, 30);
        QCOMPARE(holder.list->column(1)->width, 20);
    }

    void savingRemovesValuesOfColumnsTheListNoLongerHas() {
        persist::writeIntValue(kSection, "7_size", 10);
        Holder holder;
        QVERIFY(holder.list->saveLayout());
        QCOMPARE(persist::readIntValue(kSection, "7_size"), std::nullopt);
    }

    void hideColumnEntryNamesTheColumnUnderThePointer() {
        Holder holder;
        const QHeaderView* header = holder.list->header();
        const QPoint onSize(header->sectionViewportPosition(1) + 5, 5);
        chosen_ = "Hide Column 'Size'";
        holder.list->showHeaderMenu(onSize);
        QCOMPARE(menuTexts_.first(), QString("Hide Column 'Size'"));
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0, 2, 3}));
    }

    void offAnyColumnTheHideEntryIsDisabled() {
        Holder holder;
        holder.list->applyVisibleOrder({0});
        chosen_ = "Hide Column";
        holder.list->showHeaderMenu(QPoint(holder.list->header()->width() - 2, 5));
        QCOMPARE(menuTexts_.first(), QString("Hide Column"));
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0}));
    }

    void hidingTheLastColumnLeavesNoneAndRestoreBringsThemBack() {
        Holder holder;
        chosen_ = "Hide Column 'Name'";
        holder.list->applyVisibleOrder({0});
        holder.list->showHeaderMenu(QPoint(5, 5));
        QVERIFY(holder.list->displayOrder().empty());
        chosen_ = "Restore Defaults";
        holder.list->showHeaderMenu(QPoint(5, 5));
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(holder.list->columns(), holder.list->defaultColumns());
    }

    void columnsEntryTogglesItsColumn() {
        Holder holder;
        chosen_ = "Type";
        holder.list->showHeaderMenu(QPoint(5, 5));
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0, 1, 3}));
        holder.list->showHeaderMenu(QPoint(5, 5));
        QCOMPARE(holder.list->displayOrder(), (std::vector<int>{0, 1, 2, 3}));
    }

    void customizeEntryOnlyWithATargetAndItReachesIt() {
        Holder holder;
        chosen_ = "Customize";
        holder.list->showHeaderMenu(QPoint(5, 5));
        QVERIFY(!menuTexts_.contains("Customize"));
        CMyListCtrl* asked = nullptr;
        holder.list->setCustomizeHandler([&asked](CMyListCtrl& list) { asked = &list; });
        menuTexts_.clear();
        holder.list->showHeaderMenu(QPoint(5, 5));
        QCOMPARE(menuTexts_.last(), QString("Customize"));
        QTRY_COMPARE(asked, holder.list);
    }

    void rightClickInTheBodyGoesToTheParent() {
        Holder holder;
        QWidget* body = holder.list->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                body->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(body, &event);
        QCOMPARE(holder.contextMenus, 1);
        QCOMPARE(menus_, 0);
    }

private:
    apptest::ProgramHome home_;
    QString chosen_;
    QStringList menuTexts_;
    int menus_ = 0;
};

QTEST_MAIN(CMyListCtrlTest)
#include "CMyListCtrlTest.moc"
