#pragma once

class QWebEngineProfile;

namespace app {

class HtmlTextHandler;

// The one browser profile every HTML view of the program shares: off the record (nothing it
// shows leaves a trace on disk), its cache in memory, no persistent cookies, every download
// refused, and the views' texts served from memory. Every page on it has an interceptor of its
// own that refuses what is not local and counts it for its view (CHtmlView makes each page
// with one before it loads anything). Made on first use; it lives until the application object
// goes, after every view's page.
QWebEngineProfile* htmlViewProfile();
// The profile's server of the views' texts; none when the views' scheme was not registered
// before the application started (prepareWebEngine).
HtmlTextHandler* htmlTextHandler();

}  // namespace app
