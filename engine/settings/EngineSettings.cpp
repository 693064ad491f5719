#include "engine/settings/EngineSettings.h"

#include "persist/SettingsMap.h"

namespace engine {
namespace {

namespace setting = persist::setting;

// A stored choice outside the documented set would reach the transfer or the crawl as a mode
// they do not have; the default is used instead.
std::int32_t choiceOf(const persist::IntSetting& stored) {
    const std::int32_t value = stored.get();
    return value >= 0 && value <= 2 ? value : stored.defaultValue;
}

}  // namespace

EngineSettings loadSettings() {
    EngineSettings s;

    s.operation.autoCheck = choiceOf(setting::kAutoCheck);
    s.operation.showOrig = setting::kShowOrig.get() != 0;

    s.connection.authentication = setting::kAuthentication.get() != 0;
    s.connection.name = setting::kName.get();
    s.connection.password = setting::kPassword.get();
    s.connection.proxy = choiceOf(setting::kProxy);
    s.connection.proxyServer = setting::kProxyServer.get();
    s.connection.proxyPort = setting::kProxyPort.get();

    s.limits.pageLimit = setting::kPageLimit.get();
    s.limits.levelLimit = setting::kLevelLimit.get();
    // The Auto toggle is on after every start, whatever was saved.
    s.limits.enabled = true;
    return s;
}

bool saveSettings(const EngineSettings& s) {
    bool saved = true;
    const auto save = [&saved](bool written) { saved = written && saved; };

    save(setting::kAutoCheck.set(s.operation.autoCheck));
    save(setting::kShowOrig.set(s.operation.showOrig ? 1 : 0));

    save(setting::kAuthentication.set(s.connection.authentication ? 1 : 0));
    save(setting::kName.set(s.connection.name));
    save(setting::kPassword.set(s.connection.password));
    save(setting::kProxy.set(s.connection.proxy));
    save(setting::kProxyServer.set(s.connection.proxyServer));
    save(setting::kProxyPort.set(s.connection.proxyPort));

    save(setting::kPageLimit.set(s.limits.pageLimit));
    save(setting::kLevelLimit.set(s.limits.levelLimit));
    save(setting::kAutoLoadEnabled.set(s.limits.enabled ? 1 : 0));
    return saved;
}

}  // namespace engine
