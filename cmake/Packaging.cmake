# The Debian package, made by `cpack -G DEB` (scripts/package builds and checks it).
# PELORIN_DEBIAN_DOCS adds the two files Debian's policy asks of every package: the copyright
# file and the compressed changelog in the documentation folder. The package is a native one
# (no Debian revision): its makers are the program's. The project has no mail address, so the
# maintainer is named without one (scripts/package tells lintian so), and the changelog's
# trailer, whose form needs the angle brackets, leaves them empty.
option(PELORIN_DEBIAN_DOCS "Install the Debian copyright file and changelog" OFF)

set(PELORIN_MAINTAINER "The Pelorin authors")

if(PELORIN_DEBIAN_DOCS)
    set(changelog "${CMAKE_BINARY_DIR}/packaging/changelog")
    configure_file("${CMAKE_SOURCE_DIR}/packaging/changelog.in" "${changelog}.in" @ONLY)
    add_custom_command(OUTPUT "${changelog}.gz"
        COMMAND "${CMAKE_COMMAND}" -E copy "${changelog}.in" "${changelog}"
        COMMAND "${PELORIN_GZIP}" -9nf "${changelog}"
        DEPENDS "${changelog}.in" VERBATIM)
    add_custom_target(pelorin_debian_docs ALL DEPENDS "${changelog}.gz")
    install(FILES "${changelog}.gz" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
    install(FILES "${CMAKE_SOURCE_DIR}/packaging/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${PELORIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make instant-messenger chat logs easier to read")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Pelorin turns instant-messenger chat logs into an indented text file, in"
    "which the speakers' header lines stand out, or into an HTML page in which"
    "every speaker has a colour of its own. It reads text logs with a header"
    "line for every utterance in Shift-JIS, UTF-8 or UTF-16, talk histories"
    "saved by LINE, and the XML histories of MSN Messenger and Windows"
    "Messenger."
    ""
    "Pages come in the classic style or a modern one for today's browsers and"
    "phones (UTF-8, a light and a dark theme, search and speaker filters), with"
    "an index page for each folder if wanted. Many logs, whole folders or a pipe"
    "are converted without a window by pelorin --batch. Its user interface is"
    "Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELORIN_MAINTAINER}")
# The libraries come from the binary (dpkg-shlibdeps); Qt's window-system plugins and the SVG
# plugins that draw the windows' icon are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
