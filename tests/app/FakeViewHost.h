#pragma once
// The window side of a view alone, for suites that build one view without a window: a page
// to show, the stored values, and what the view asked for.

#include <memory>

#include "app/shell/ViewHost.h"
#include "persist/SettingsBag.h"

namespace apptest {

class FakeViewHost final : public app::ViewHost {
public:
    std::shared_ptr<engine::PageEntry> currentPage() const override { return page; }
    void setCurrentPage(std::shared_ptr<engine::PageEntry> p) override { page = std::move(p); }
    std::shared_ptr<engine::WebItem> selectedElement() const override { return nullptr; }
    void setSelectedElement(std::shared_ptr<engine::WebItem>) override {}
    int connectionIndex() const override { return connection; }
    QString addressBarText() const override { return {}; }
    void setStatusText(const QString&) override {}
    void commandStateChanged() override {}
    void selectView(int) override {}
    void customizeList(app::CMyListCtrl&) override {}
    void raiseHint(int, const QPoint&) override {}
    persist::SettingsBag& viewSettings() override { return bag; }
    void menuChanged() override { ++menuRebuilds; }
    bool requestMove(app::ViewMove, const app::ViewTarget&) override { return false; }

    std::shared_ptr<engine::PageEntry> page;
    int connection = 0;
    persist::SettingsBag bag;
    int menuRebuilds = 0;
};

}  // namespace apptest
