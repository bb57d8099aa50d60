# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later

cmake_minimum_required(VERSION 3.22)
# Installs the build into a staging folder (DESTDIR) and checks the file list against
# installed_files.txt, the installed story against the sample story file it was installed from,
# and that the reader's command is the program itself. The page in share/vorta/web is expected
# only from a build given the story module (WEB_MODULE_DIR), as the package's build is; then the
# installed vorta-author writes a page from the manuscript with it.
# Arguments: BUILD_DIR, PREFIX, STAGE, EXPECTED, STORY_FILE, WEB_MODULE_DIR, MANUSCRIPT.
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(root "${STAGE}${PREFIX}")
file(GLOB_RECURSE everything LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
set(installed)
set(failures)
foreach(path IN LISTS everything)
    if(NOT "/${path}" MATCHES "^${PREFIX}/")
        list(APPEND failures "installed outside the prefix: /${path}")
        continue()
    endif()
    file(RELATIVE_PATH relative "${root}" "${STAGE}/${path}")
    list(APPEND installed "${relative}")
endforeach()

file(STRINGS "${EXPECTED}" expected REGEX "^[^#]")
if(NOT WEB_MODULE_DIR)
    list(FILTER expected EXCLUDE REGEX "^share/vorta/web/")
endif()
foreach(path IN LISTS expected)
    if(NOT path IN_LIST installed)
        list(APPEND failures "missing: ${path}")
    endif()
endforeach()
foreach(path IN LISTS installed)
    if(NOT path IN_LIST expected)
        list(APPEND failures "not expected: ${path}")
    endif()
endforeach()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${STORY_FILE}"
                        "${root}/share/vorta/vorta-sample.vorta" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    list(APPEND failures "share/vorta/vorta-sample.vorta is not the sample story file")
endif()
# The command is the program, not a script that starts it.
foreach(name games/vorta bin/vorta-author)
    file(READ "${root}/${name}" head LIMIT 4 HEX)
    execute_process(COMMAND test -x "${root}/${name}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT head STREQUAL "7f454c46")
        list(APPEND failures "not an executable program: ${name}")
    endif()
endforeach()

if(WEB_MODULE_DIR)
    execute_process(COMMAND "${root}/bin/vorta-author" web "${MANUSCRIPT}" -o "${STAGE}/site"
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE said)
    if(NOT status EQUAL 0 OR NOT EXISTS "${STAGE}/site/vorta-core.wasm")
        list(APPEND failures "the installed vorta-author writes no page: ${said}")
    endif()
endif()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "The installed file list is wrong:\n  ${text}")
endif()
list(LENGTH everything count)
message(STATUS "${count} files installed where expected")
