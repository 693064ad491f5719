#include "query/QueryStatement.h"

#include <sstream>

namespace query {
namespace {

void describeItem(std::ostream& out, const SelectItem& item) {
    const std::string_view name = item.aggregate->name();
    out << "item " << item.position << ": column " << item.sourceColumn << ' '
        << (name.empty() ? "plain" : name) << " \"" << item.expression << '"';
    if (!item.alias.empty()) out << " as \"" << item.alias << '"';
    out << '\n';
}

void describeCondition(std::ostream& out, const Condition& condition) {
    out << "condition: ";
    switch (condition.connector) {
        case Connector::And:
            out << "and ";
            break;
        case Connector::Or:
            out << "or ";
            break;
        default:
            out << "connector " << static_cast<std::int32_t>(condition.connector) << ' ';
            break;
    }
    if (condition.negate) out << "not ";
    out << "column " << condition.sourceColumn << " flags " << condition.operatorFlags << " \""
        << (condition.literal ? condition.literal->toText() : std::string()) << "\"\n";
}

}  // namespace

std::string QueryStatement::describe() const {
    std::ostringstream out;
    if (topCount > 0) out << "top " << topCount << '\n';
    for (const SelectItem& item : selectItems) describeItem(out, item);
    for (const Condition& condition : conditions) describeCondition(out, condition);
    for (const GroupKey& key : groupKeys)
        out << "group: column " << key.sourceColumn << " item " << key.position << '\n';
    for (const SortKey& key : sortKeys)
        out << "sort: item " << key.position << (key.direction > 0 ? " desc" : " asc") << '\n';
    if (wholeTable) out << "whole table\n";
    return out.str();
}

}  // namespace query
