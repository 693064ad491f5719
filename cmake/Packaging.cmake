# Installation and the Debian package.
#
# `cmake --install` lays the programs out as the desktop expects them (XDG places under the
# prefix); the desktop program finds its help and tips at <bin>/../share/pagelyst, which is also
# where the build tree keeps them (app/CMakeLists.txt), so both layouts work unchanged.
# `cpack -G DEB` packs the same tree as pagelyst_<version>_<arch>.deb.
#
# The files of the package are in dist/: the menu entry, the scenario file type, the icons (the
# PNGs are rendered from the SVG and committed: `rsvg-convert -w N -h N pagelyst.svg`), the
# manual pages, the copyright notice and the changelog.

include(GNUInstallDirs)

set(dist_dir ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${PROJECT_BINARY_DIR}/dist)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/pagelyst)

# Manual pages and the changelog are installed compressed, reproducibly (no name, no time stamp).
function(pagelyst_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
endfunction()
file(MAKE_DIRECTORY ${dist_out})
set(gzipped "")
foreach(page pagelyst-cli pagelyst)
    pagelyst_gzip(${dist_dir}/man/${page}.1 ${dist_out}/${page}.1.gz)
    list(APPEND gzipped ${dist_out}/${page}.1.gz)
endforeach()
pagelyst_gzip(${dist_dir}/changelog ${dist_out}/changelog.gz)
list(APPEND gzipped ${dist_out}/changelog.gz)
add_custom_target(dist_files ALL DEPENDS ${gzipped})

# The newest changelog entry names the version being packed.
file(STRINGS ${dist_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^pagelyst \\(${PROJECT_VERSION}\\) ")
    message(WARNING "dist/changelog does not start with an entry for ${PROJECT_VERSION}")
endif()

install(TARGETS pagelyst-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${dist_out}/pagelyst-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist_dir}/copyright ${dist_out}/changelog.gz DESTINATION ${doc_dir})

if(TARGET pagelyst)
    install(TARGETS pagelyst RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${dist_out}/pagelyst.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # The whole help folder, whatever pages it holds, and the tips beside it.
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/help/
            DESTINATION ${CMAKE_INSTALL_DATADIR}/pagelyst/help)
    install(FILES ${PROJECT_SOURCE_DIR}/app/tips.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/pagelyst)
    install(FILES ${dist_dir}/pagelyst.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${dist_dir}/pagelyst.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
    set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ${dist_dir}/icons/pagelyst.svg DESTINATION ${icons}/scalable/apps)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${dist_dir}/icons/pagelyst-${size}.png DESTINATION ${icons}/${size}x${size}/apps
                RENAME pagelyst.png)
    endforeach()
endif()

set(CPACK_PACKAGE_NAME pagelyst)
set(CPACK_PACKAGE_VENDOR "The Pagelyst developers")
set(CPACK_PACKAGE_CONTACT "Pagelyst developers <pagelyst@lists.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure how fast web pages load and see why")
# The extended description as the control file shows it: lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Pagelyst downloads a web page and every element the page makes a browser"
    "fetch, times each phase of each transfer, restates the times for ten standard"
    "connection types and simulates a browser with four connections. It grades"
    "each page with hints, computes statistics in a small query language and"
    "renders HTML reports."
    "The package holds the desktop program pagelyst and the command-line program"
    "pagelyst-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries it links: the window needs the X platform plug-in (only recommended by
# Qt's GUI library), and help pages and addresses open with xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
