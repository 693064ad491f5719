#include "engine/schedule/PageState.h"

namespace engine {

std::string_view pageStateText(std::uint32_t state) {
    switch (static_cast<PageState>(state)) {
        case PageState::Ready:
            return "Ready";
        case PageState::InProcess:
            return "In process...";
        case PageState::Finished:
            return "Finished";
        case PageState::Error:
            return "Error";
        case PageState::ChildError:
            return "Child Error";
        case PageState::Aborting:
            return "Aborting...";
        case PageState::Canceled:
            return "Canceled";
    }
    return "Unknown";
}

bool isLoaded(PageState state) {
    return state == PageState::Finished || state == PageState::Error ||
           state == PageState::ChildError;
}

}  // namespace engine
