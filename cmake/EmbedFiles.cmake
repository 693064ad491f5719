# Compiles a folder's files into the program as a table of {path, bytes}.
#
# pagelyst_embed_files(OUTPUT file.cpp DIRECTORY dir HEADER header NAMESPACE ns FUNCTION name)
#   At build time, writes file.cpp defining `std::span<const EmbeddedFile> ns::name()` over every
#   file under `dir` (paths relative to it, "/"-separated, sorted). `header` is included first and
#   declares `EmbeddedFile` ({std::string_view path; std::string_view bytes;}) and the function.
#   The step runs again when any file changes; a file added or removed reconfigures the build.
#
# The same file is the script of that build step (cmake -P), so no outside tool is needed.

if(NOT CMAKE_SCRIPT_MODE_FILE)
    set(_pagelyst_embed_script ${CMAKE_CURRENT_LIST_FILE})

    function(pagelyst_embed_files)
        cmake_parse_arguments(E "" "OUTPUT;DIRECTORY;HEADER;NAMESPACE;FUNCTION" "" ${ARGN})
        get_filename_component(directory ${E_DIRECTORY} ABSOLUTE)
        file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${directory}/*)
        add_custom_command(
            OUTPUT ${E_OUTPUT}
            COMMAND ${CMAKE_COMMAND} -DDIRECTORY=${directory} -DOUTPUT=${E_OUTPUT}
                    -DHEADER=${E_HEADER} -DNAMESPACE=${E_NAMESPACE} -DFUNCTION=${E_FUNCTION}
                    -P ${_pagelyst_embed_script}
            DEPENDS ${files} ${_pagelyst_embed_script}
            COMMENT "Embedding the files under ${E_DIRECTORY}"
            VERBATIM)
    endfunction()
    return()
endif()

# Script mode: one string literal per file, 32 bytes per line, every byte a "\xNN" escape (an
# escape followed by another backslash cannot swallow the next character). The length is given
# explicitly, so files may hold zero bytes.
string(REPEAT "[0-9a-f]" 64 line_of_hex)
file(GLOB_RECURSE files RELATIVE ${DIRECTORY} LIST_DIRECTORIES false ${DIRECTORY}/*)
list(SORT files)

set(entries "")
foreach(path IN LISTS files)
    file(READ ${DIRECTORY}/${path} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "(${line_of_hex})" "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" hex "${hex}")
    string(REGEX REPLACE "\n$" "" hex "${hex}")
    string(REPLACE "\n" "\"\n        \"" literal "\"${hex}\"")
    string(APPEND entries "    {\"${path}\",\n     std::string_view(\n        ${literal},\n        ${size})},\n")
endforeach()

set(text "// Generated from ${DIRECTORY} by cmake/EmbedFiles.cmake; do not edit.
#include \"${HEADER}\"

namespace ${NAMESPACE} {
namespace {

constexpr EmbeddedFile kFiles[] = {
${entries}};

}  // namespace

std::span<const EmbeddedFile> ${FUNCTION}() { return kFiles; }

}  // namespace ${NAMESPACE}
")

# Written only when changed, so that an unchanged table is not compiled again.
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "${text}" @ONLY)
