#pragma once

#include <QObject>

#include <memory>
#include <vector>

#include "app/shell/EngineAdapter.h"
#include "engine/crawl/ScenarioDocument.h"
#include "engine/crawl/SiteTree.h"
#include "engine/items/SaveElement.h"
#include "engine/schedule/SiteManager.h"
#include "engine/settings/AddressMru.h"
#include "query/StatisticsCatalog.h"
#include "report/FilterConditionList.h"
#include "report/ReportManager.h"

namespace app {

// What every main window of the program shares, for the whole run: the interactive download
// manager with its one site tree and the scenario document over it, the statistics and report
// definitions, the highlighting conditions, the recent addresses and the element save dialog's
// folder. The engine's notifications arrive here, on the user-interface thread, in batches:
// the site tree handles each first, then every listener (the main windows) hears it.
// User-interface thread only.
class AppContext : public QObject {
    Q_OBJECT

public:
    // Hears the engine's notifications after the site tree has handled them.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void engineMessage(const engine::EngineMessage& message) = 0;
        // The end of a batch: a moment to refresh what the messages changed.
        virtual void engineBatchHandled() {}
    };

    AppContext();
    ~AppContext() override;

    engine::SiteManager& manager() { return *manager_; }
    engine::SiteTree& tree() { return *tree_; }
    engine::ScenarioDocument& document() { return *document_; }
    query::StatisticsCatalog& statistics() { return statistics_; }
    report::ReportManager& reports() { return reports_; }
    report::FilterConditionList& conditions() { return conditions_; }
    engine::AddressMru& recentAddresses() { return recent_; }
    engine::SaveElement& elementSaver() { return elementSaver_; }
    EngineAdapter& adapter() { return *adapter_; }

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    // Adds a typed address to the recent addresses and stores them; the windows' address bars
    // follow (recentAddressesChanged).
    void addRecentAddress(const QString& text);

    // Reads the engine settings and the highlighting conditions from the store, and gives the
    // site tree's crawl the stored limits (the Auto toggle always starts on). Once a run: the
    // windows share them, so a window opened later changes nothing.
    void loadSettings();
    // The crawl limits of the engine settings, given to the site tree's crawl controller; the
    // Auto toggle keeps its state.
    void applyCrawlSettings();

    // Whether a download runs: a worker of either queue, or a crawl between its levels.
    bool downloadRunning() const;

    // The end of the run: every waiting worker is released and later notifications are
    // dropped; then the work is stopped and waited for.
    void shutDown();

signals:
    void recentAddressesChanged();
    // The highlighting conditions were replaced: every page's colour is evaluated again.
    void conditionsChanged();

private:
    void handleBatch(const std::vector<engine::EngineMessage>& messages);

    std::shared_ptr<EngineAdapter> adapter_;
    std::unique_ptr<engine::SiteManager> manager_;
    std::unique_ptr<engine::SiteTree> tree_;
    std::unique_ptr<engine::ScenarioDocument> document_;
    query::StatisticsCatalog statistics_;
    report::ReportManager reports_;
    report::FilterConditionList conditions_;
    engine::AddressMru recent_;
    engine::SaveElement elementSaver_;
    std::vector<Listener*> listeners_;
    bool settingsLoaded_ = false;
    bool shutDown_ = false;
};

}  // namespace app
