#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace query {

// The clauses a statement is cut into.
enum class Clause { Select, Where, GroupBy, OrderBy };

// A statement prepared for parsing: blanks normalised, line breaks deleted, plus a lower-case
// copy at the same character positions. Everything is matched on the lower-case copy; only
// aliases are read from the text as written, through writtenAt().
class StatementText {
public:
    // Raises QueryError "Statement is invalid: ..." when fewer than 7 characters remain.
    explicit StatementText(std::string_view statement);

    // The normalisation on its own: trim blanks, collapse double blanks, drop the blanks around
    // ",", "(", ")", "<", ">" and "=", delete carriage returns and line feeds (so a line break
    // joins the words on either side).
    static std::string normalise(std::string_view statement);

    const std::string& written() const { return written_; }
    const std::string& lower() const { return lower_; }
    // The part of the written text at the positions of `lowerPart`, which must be a view into
    // lower().
    std::string_view writtenAt(std::string_view lowerPart) const;

    // The text of a clause in the lower-case copy, empty when its keyword is missing. The
    // keyword is searched anywhere (inside quotes too); the clause runs up to the nearest
    // keyword after its start, minus the one character before that keyword.
    std::string_view clause(Clause which) const;

private:
    std::string written_;
    std::string lower_;
};

// A comma-separated list cut into entries, in order.
struct ListEntries {
    std::vector<std::string_view> entries;
    // The list ended with a comma: there is an empty last entry that is not in `entries`.
    bool endsWithComma = false;
};

// Cuts at every comma. Two commas in a row (or a leading comma) make the rest of the list,
// starting at that comma, one last entry. An empty list is one empty entry.
ListEntries splitList(std::string_view list);

// A condition's text and how it joins the conditions before it.
struct ConditionText {
    std::string_view text;
    bool joinedByOr = false;  // the first condition is always joined by AND
};

// Cuts a where clause at " and " and " or ", strictly from left to right; there are no
// parentheses.
std::vector<ConditionText> splitConditions(std::string_view where);

}  // namespace query
