#include "query/QueryValue.h"

namespace query {

bool QueryValue::evaluate(int operatorFlags, const QueryValue& literal, bool negate) const {
    const bool match = ((operatorFlags & kEqual) && compare(literal) == 0) ||
                       ((operatorFlags & kLess) && compare(literal) < 0) ||
                       ((operatorFlags & kGreater) && compare(literal) > 0) ||
                       ((operatorFlags & kLike) && like(literal));
    return match != negate;
}

}  // namespace query
