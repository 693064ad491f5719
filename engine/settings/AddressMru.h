#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The address bar's recent addresses: the list shown in its drop-down (insertion order), the
// trimmed forms for the duplicate test, the completion list offered while typing, and the bar's
// text. Stored under "AddrMRU" as "mru0", "mru1", ... with "mru_end" = the count, "last" = the
// bar's text when saved, and "current", which the main window writes when it closes. There is
// no browser history of visited addresses to complete from, so completion offers the recent
// addresses only. Used on the user-interface thread.
class AddressMru {
public:
    // Appends text as typed, unless it is empty or its trimmed form is already held.
    void mruAdd(std::string_view text);

    // Replaces the list with the stored one: "mru<i>" for i from 0 to mru_end - 1, stopping at
    // the first missing value; then a non-empty "current" is added and becomes the bar's text.
    // Stored texts are cut to 255 characters.
    void mruLoad();

    // Replaces the whole "AddrMRU" section, in one change of the store, by the list, "mru_end"
    // and "last" (the bar's text completed as a typed address). False when the store could not
    // be written.
    bool mruSave() const;

    // Writes "current": the address of the page shown when the main window closes.
    static bool saveCurrent(std::string_view address);

    // Entries of the completion list that, both texts trimmed, begin with the typed text or
    // with "http://" or "https://" followed by it (compared exactly, case included).
    std::vector<std::string> candidates(std::string_view typed) const;

    const std::vector<std::string>& entries() const { return list_; }
    const std::string& barText() const { return barText_; }
    void setBarText(std::string text) { barText_ = std::move(text); }

private:
    std::vector<std::string> list_;
    std::set<std::string, std::less<>> trimmed_;
    std::vector<std::string> completion_;
    std::string barText_;
};

// An address typed into the bar: "http://" is put in front when it starts (after blanks and
// controls) with none of "http://", "https://" and "file://" (any case); otherwise it is
// returned as typed.
std::string completeTyped(std::string_view text);

}  // namespace engine
