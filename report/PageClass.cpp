#include "report/PageClass.h"

#include <array>

namespace report {
namespace {

struct ClassNames {
    const char* plain;
    const char* colored;
};

constexpr std::array<ClassNames, 7> kNames{{
    {"Unknown", "Unknown"},
    {"Perfect", "<FONT color=\"green\"> Perfect </FONT>"},
    {"Good", "<FONT color=\"green\"> Good </FONT>"},
    {"Normal", "<FONT color=\"blue\"> Normal </FONT>"},
    {"Medium", "<FONT color=\"magenta\"> Medium </FONT>"},
    {"Bad", "<FONT color=\"red\"> Bad </FONT>"},
    {"Critical", "<FONT color=\"red\"> Critical </FONT>"},
}};

const ClassNames& namesOf(PageClass value) {
    return value >= 0 && value < static_cast<PageClass>(kNames.size())
               ? kNames[static_cast<std::size_t>(value)]
               : kNames[0];
}

}  // namespace

std::string plainName(PageClass value) {
    return namesOf(value).plain;
}
std::string coloredName(PageClass value) {
    return namesOf(value).colored;
}

}  // namespace report
