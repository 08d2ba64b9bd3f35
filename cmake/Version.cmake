# The program's version, from project(... VERSION) only: the header the code includes as
# "pelorin/version.h" (through the pelorin_version target), the manual pages, the metainfo and
# the package all take it from here. Its form is major "." minor revision, one digit each for
# minor and revision ("2.00"), as the windows show it.
if(NOT PROJECT_VERSION MATCHES "^([0-9]+)\\.([0-9])([0-9])$")
    message(FATAL_ERROR "project VERSION must read major.minor revision, like 2.00: ${PROJECT_VERSION}")
endif()
set(PELORIN_VERSION_MAJOR ${CMAKE_MATCH_1})
set(PELORIN_VERSION_MINOR ${CMAKE_MATCH_2})
set(PELORIN_VERSION_REVISION ${CMAKE_MATCH_3})

# The web page that lists the program's releases, for the version window's check for a newer
# one; the project has none, and without it the window offers no check.
set(PELORIN_RELEASES_PAGE "" CACHE STRING "Address of the page listing the releases (empty: none)")

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${CMAKE_BINARY_DIR}/generated/pelorin/version.h @ONLY)
add_library(pelorin_version INTERFACE)
target_include_directories(pelorin_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
