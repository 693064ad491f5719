#include "app/shell/AppContext.h"

#include <algorithm>

#include "engine/settings/EngineSettings.h"
#include "report/PageSnapshot.h"

namespace app {

AppContext::AppContext()
    : adapter_(std::make_shared<EngineAdapter>(
          this, [this](const std::vector<engine::EngineMessage>& batch) { handleBatch(batch); })),
      manager_(
          std::make_unique<engine::SiteManager>(engine::SiteManager::Role::Interactive, adapter_)),
      tree_(std::make_unique<engine::SiteTree>(*manager_)),
      document_(std::make_unique<engine::ScenarioDocument>(*tree_)) {
    // Every page is graded as it finishes, on the worker that finished it.
    tree_->setPageAnalysis([](engine::PageEntry& page) { report::analyseAndStore(page); });
    // The address bars of every window start from the addresses the last run stored.
    recent_.mruLoad();
}

AppContext::~AppContext() {
    shutDown();
}

void AppContext::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    adapter_->shutDown();
    tree_->stop();
}

void AppContext::handleBatch(const std::vector<engine::EngineMessage>& messages) {
    for (const engine::EngineMessage& message : messages) {
        tree_->handle(message);
        // A listener may go away while it handles a message (a window closes): walk a copy.
        const std::vector<Listener*> listeners = listeners_;
        for (Listener* listener : listeners) {
            if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
                listener->engineMessage(message);
            }
        }
    }
    const std::vector<Listener*> listeners = listeners_;
    for (Listener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
            listener->engineBatchHandled();
        }
    }
}

void AppContext::addListener(Listener* listener) {
    listeners_.push_back(listener);
}

void AppContext::removeListener(Listener* listener) {
    std::erase(listeners_, listener);
}

void AppContext::loadSettings() {
    if (settingsLoaded_) return;
    settingsLoaded_ = true;
    manager_->setSettings(engine::loadSettings());
    conditions_ = report::FilterConditionList::load();
    tree_->crawlController().enabled = true;
    applyCrawlSettings();
}

void AppContext::applyCrawlSettings() {
    const engine::CrawlLimits limits = manager_->settings().limits;
    engine::CrawlController& crawl = tree_->crawlController();
    crawl.levelLimit = limits.levelLimit;
    crawl.pageLimit = limits.pageLimit;
}

void AppContext::addRecentAddress(const QString& text) {
    const std::string address = text.toStdString();
    recent_.mruAdd(address);
    recent_.setBarText(address);
    recent_.mruSave();
    emit recentAddressesChanged();
}

bool AppContext::downloadRunning() const {
    return manager_->isBusy() || tree_->crawlController().running;
}

}  // namespace app
