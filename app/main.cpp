#include "app/main/PagelystApp.h"

int main(int argc, char* argv[]) {
    return app::runPagelyst(argc, argv);
}
