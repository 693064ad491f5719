#include "query/QueryParser.h"

#include "query/QueryError.h"
#include "query/StatementText.h"
#include "query/TextCase.h"

#include <algorithm>
#include <array>
#include <string>

namespace query {
namespace {

// Column indexes of a select item must stay below this.
constexpr std::int32_t kMaxColumns = 1024;

struct Operator {
    std::string_view text;
    std::int32_t flags;
    bool negated;
};

constexpr std::array<Operator, 7> kOperators = {{
    {"=", kEqual, false},
    {"<", kLess, false},
    {">", kGreater, false},
    {"<=", kLess | kEqual, false},
    {">=", kGreater | kEqual, false},
    {"<>", kEqual, true},
    {"like", kLike, false},
}};

std::string str(std::string_view text) {
    return std::string(text);
}

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of a run of digits, saturated well above any column count or TOP.
std::int64_t digitsValue(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits) value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
    return value;
}

std::string_view trimApostrophes(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of('\'') - first + 1);
}

// One parse: the source table and the statement as passed in, for messages.
class Parser {
public:
    Parser(const QueryTable& source, std::string_view statement)
        : source_(source), statement_(statement) {}

    QueryStatement run() const {
        const StatementText text(statement_);
        QueryStatement statement;
        parseSelect(text, statement);
        parseWhere(text.clause(Clause::Where), statement);
        parseGroupBy(text.clause(Clause::GroupBy), statement);
        parseOrderBy(text.clause(Clause::OrderBy), statement);
        statement.wholeTable = statement.groupKeys.empty() &&
                               std::all_of(statement.selectItems.begin(),
                                           statement.selectItems.end(), [](const SelectItem& item) {
                                               return item.aggregate != &Aggregate::plain();
                                           });
        return statement;
    }

private:
    // Entries are parsed in order; a trailing comma is reported once they all parsed.
    [[noreturn]] void failListEndsWithComma() const {
        throw QueryError(kListEndsWithCommaMessage, str(statement_).c_str());
    }

    void parseSelect(const StatementText& text, QueryStatement& statement) const {
        std::string_view list = text.clause(Clause::Select);
        if (list.empty()) throw QueryError("'SELECT' part of the statement can't be empty.");
        if (list.starts_with("top ")) {
            list.remove_prefix(4);
            const std::size_t blank = list.find(' ');
            const std::string_view digits = list.substr(0, blank);
            if (digits.empty() || !isDigits(digits) || digitsValue(digits) < 1)
                throw QueryError("'TOP' statement is invalid: '%s'.", str(list).c_str());
            statement.topCount = static_cast<std::int32_t>(digitsValue(digits));
            list =
                blank == std::string_view::npos ? list.substr(list.size()) : list.substr(blank + 1);
        }
        const ListEntries items = splitList(list);
        for (std::string_view item : items.entries) {
            const auto position = static_cast<std::int32_t>(statement.selectItems.size());
            statement.selectItems.push_back(parseItem(text, item, position));
        }
        if (items.endsWithComma) failListEndsWithComma();
    }

    SelectItem parseItem(const StatementText& text, std::string_view item,
                         std::int32_t position) const {
        SelectItem result;
        result.position = position;
        std::string_view expression = item;
        const std::size_t as = item.find(" as '");
        if (as != std::string_view::npos && as > 0) {
            const std::size_t close = item.find('\'', as + 5);
            if (close == std::string_view::npos)
                throw QueryError("Value alias is invalid: '%s'.", str(item).c_str());
            result.alias = str(text.writtenAt(item.substr(as + 5, close - as - 5)));
            expression = item.substr(0, as);
        }
        std::string_view columnName = expression;
        const std::size_t open = expression.find('(');
        if (open != std::string_view::npos) {
            const std::string_view name = expression.substr(0, open);
            result.aggregate = Aggregate::find(name);
            if (result.aggregate == nullptr)
                throw QueryError("Unknown operator: '%s'.", str(name).c_str());
            const std::size_t close = expression.find(')', open + 1);
            if (close == std::string_view::npos)
                throw QueryError("Invalid value name: '%s'.", str(expression).c_str());
            columnName = expression.substr(open + 1, close - open - 1);
        }
        result.sourceColumn = resolveColumn(source_, columnName);
        if (result.sourceColumn < 0)
            throw QueryError("Column Name is invalid: '%s'.", str(columnName).c_str());
        if (result.sourceColumn >= kMaxColumns)
            throw QueryError("Value name is invalid: '%s'.", str(columnName).c_str());
        result.expression = str(expression);
        return result;
    }

    void parseWhere(std::string_view where, QueryStatement& statement) const {
        if (where.empty()) return;
        for (const ConditionText& condition : splitConditions(where))
            statement.conditions.push_back(parseCondition(
                condition.text, condition.joinedByOr ? Connector::Or : Connector::And));
    }

    Condition parseCondition(std::string_view written, Connector connector) const {
        std::string_view text = written;
        const bool notFlag = text.starts_with("not ");
        if (notFlag) text.remove_prefix(4);
        std::string_view left, op, right;
        std::string symbolRight;  // the symbol form's right operand without its apostrophes
        if (text.find(' ') == std::string_view::npos) {
            const std::size_t at = text.find_first_of("<>=");
            if (at == std::string_view::npos)
                throw QueryError("Invalid condition statement: '%s'.", str(written).c_str());
            const std::size_t end = std::min(text.find_first_not_of("<>=", at), text.size());
            left = text.substr(0, at);
            op = text.substr(at, end - at);
            symbolRight = str(text.substr(end));
            std::erase(symbolRight, '\'');
            right = symbolRight;
        } else {
            const std::size_t first = text.find(' ');
            const std::size_t second = text.find(' ', first + 1);
            if (second == std::string_view::npos)
                throw QueryError("Invalid condition statement: '%s'.", str(written).c_str());
            left = text.substr(0, first);
            op = text.substr(first + 1, second - first - 1);
            right = text.substr(second + 1);
        }
        left = trimApostrophes(left);
        right = trimApostrophes(right);
        const std::int32_t leftColumn = resolveColumn(source_, left);
        const std::int32_t rightColumn = resolveColumn(source_, right);
        if (left.empty() || op.empty() || right.empty() || (leftColumn < 0 && rightColumn < 0))
            throw QueryError("Invalid condition statement: '%s'.",
                             (str(left) + str(op) + str(right)).c_str());
        const auto found = std::find_if(kOperators.begin(), kOperators.end(),
                                        [&](const Operator& o) { return o.text == op; });
        if (found == kOperators.end()) throw QueryError("Invalid operator: '%s'.", str(op).c_str());

        Condition condition;
        condition.connector = connector;
        condition.operatorFlags = found->flags;
        condition.negate = notFlag != found->negated;
        // Two columns cannot be compared: the left one wins and the right text is a literal.
        condition.sourceColumn = leftColumn >= 0 ? leftColumn : rightColumn;
        const std::string_view literal = leftColumn >= 0 ? right : left;
        const QueryValue* model =
            source_.rowCount() > 0
                ? source_.row(0).cell(static_cast<std::size_t>(condition.sourceColumn))
                : nullptr;
        if (model != nullptr) condition.literal = model->parse(literal);
        if (!condition.literal) throw QueryError("Invalid value: '%s'.", str(literal).c_str());
        return condition;
    }

    void parseGroupBy(std::string_view groupBy, QueryStatement& statement) const {
        if (groupBy.empty()) return;
        const ListEntries names = splitList(groupBy);
        for (std::size_t i = 0; i < names.entries.size(); ++i) {
            const std::string name = str(names.entries[i]);
            const std::int32_t column = resolveColumn(source_, name);
            if (column < 0) throw QueryError("Invalid grouping column: '%s'.", name.c_str());
            const auto item = std::find_if(statement.selectItems.begin(),
                                           statement.selectItems.end(), [&](const SelectItem& s) {
                                               return s.sourceColumn == column &&
                                                      s.aggregate == &Aggregate::plain();
                                           });
            if (item == statement.selectItems.end()) {
                if (i + 1 < names.entries.size())
                    throw QueryError(
                        "Grouping column should be specified in 'select' part of the statement: "
                        "'%s'.",
                        name.c_str());
                throw QueryError(
                    "Grouping column should be specified in 'select' part of the statement. "
                    "Group by: '%s'.",
                    name.c_str());
            }
            addGroupKey(statement.groupKeys, {column, item->position});
        }
        if (names.endsWithComma) failListEndsWithComma();
    }

    // Keeps the keys ordered by source column, each column once.
    static void addGroupKey(std::vector<GroupKey>& keys, GroupKey key) {
        const auto at = std::lower_bound(
            keys.begin(), keys.end(), key,
            [](const GroupKey& a, const GroupKey& b) { return a.sourceColumn < b.sourceColumn; });
        if (at == keys.end() || at->sourceColumn != key.sourceColumn) keys.insert(at, key);
    }

    void parseOrderBy(std::string_view orderBy, QueryStatement& statement) const {
        if (orderBy.empty()) return;
        const ListEntries entries = splitList(orderBy);
        for (std::string_view entry : entries.entries) {
            std::string_view expression = entry;
            std::int32_t direction = SortKey::kAscending;
            const std::size_t blank = entry.find(' ');
            if (blank != std::string_view::npos) {
                const std::string_view word = entry.substr(blank + 1);
                if (word == "desc")
                    direction = SortKey::kDescending;
                else if (word != "asc")
                    throw QueryError("Invalid sort direction: '%s'.", str(word).c_str());
                expression = entry.substr(0, blank);
            }
            // Only the expression text as written matches: not an alias, not a column that is
            // not selected.
            const auto item =
                std::find_if(statement.selectItems.begin(), statement.selectItems.end(),
                             [&](const SelectItem& s) { return s.expression == expression; });
            if (item == statement.selectItems.end())
                throw QueryError("Sort column is invalid: '%s'.", str(entry).c_str());
            statement.sortKeys.push_back({item->position, direction});
        }
        if (entries.endsWithComma) failListEndsWithComma();
    }

    const QueryTable& source_;
    std::string_view statement_;
};

}  // namespace

std::int32_t resolveColumn(const QueryTable& table, std::string_view name) {
    const std::vector<std::string>& names = table.columnNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (equalIgnoringCase(names[i], name)) return static_cast<std::int32_t>(i);
    if (isDigits(name) && digitsValue(name) < static_cast<std::int64_t>(names.size()))
        return static_cast<std::int32_t>(digitsValue(name));
    return -1;
}

QueryStatement parseStatement(std::string_view statement, const QueryTable& source) {
    return Parser(source, statement).run();
}

}  // namespace query
