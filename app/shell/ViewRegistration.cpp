#include "app/shell/ViewRegistration.h"

#include <algorithm>

namespace app {

const ViewCommand* ViewRegistration::command(CommandId id) const {
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [id](const ViewCommand& each) { return each.id == id; });
    return found == commands.end() ? nullptr : &*found;
}

bool ViewRegistration::answers(ViewMove move) const {
    return std::find(moves.begin(), moves.end(), move) != moves.end();
}

}  // namespace app
