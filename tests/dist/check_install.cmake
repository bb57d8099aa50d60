# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later

cmake_minimum_required(VERSION 3.22)
# Installs the build into a staging folder (DESTDIR) and checks the file list: the fixed files
# against installed_files.txt, the story tree against the sample story it was installed from,
# and the launcher's paths against where the program and the story really went.
# Arguments: BUILD_DIR, PREFIX, STAGE, EXPECTED, STORY_SOURCE.
file(REMOVE_RECURSE "${STAGE}")
set(ENV{DESTDIR} "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(root "${STAGE}${PREFIX}")
file(GLOB_RECURSE everything LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
set(fixed)
set(story)
set(failures)
foreach(path IN LISTS everything)
    if(NOT "/${path}" MATCHES "^${PREFIX}/")
        list(APPEND failures "installed outside the prefix: /${path}")
        continue()
    endif()
    file(RELATIVE_PATH relative "${root}" "${STAGE}/${path}")
    if(relative MATCHES "^share/vorta/(.*)")
        list(APPEND story "${CMAKE_MATCH_1}")
    else()
        list(APPEND fixed "${relative}")
    endif()
endforeach()

file(STRINGS "${EXPECTED}" expected REGEX "^[^#]")
list(SORT fixed)
list(SORT expected)
foreach(path IN LISTS expected)
    if(NOT path IN_LIST fixed)
        list(APPEND failures "missing: ${path}")
    endif()
endforeach()
foreach(path IN LISTS fixed)
    if(NOT path IN_LIST expected)
        list(APPEND failures "not expected: ${path}")
    endif()
endforeach()

# The reader's tree is the sample story less the authors' plot note.
file(GLOB_RECURSE sample LIST_DIRECTORIES false RELATIVE "${STORY_SOURCE}" "${STORY_SOURCE}/*")
list(REMOVE_ITEM sample outline.txt)
list(FILTER sample EXCLUDE REGEX "^story\\.journal")
list(SORT sample)
list(SORT story)
if(NOT story STREQUAL sample)
    list(APPEND failures "share/vorta is not the sample story without outline.txt")
endif()
if(NOT "Genres/genres.vtq" IN_LIST story OR NOT "vorta.cfg" IN_LIST story)
    list(APPEND failures "share/vorta lacks the catalogue or the settings")
endif()

# The launcher names the program and the story where the install put them.
foreach(name games/vorta libexec/vorta/vorta bin/vorta-author)
    execute_process(COMMAND test -x "${root}/${name}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(APPEND failures "not executable: ${name}")
    endif()
endforeach()
file(STRINGS "${root}/games/vorta" installed_line REGEX "^installed=")
file(STRINGS "${root}/games/vorta" program_line REGEX "^program=")
if(NOT installed_line STREQUAL "installed='${PREFIX}/share/vorta'"
   OR NOT program_line STREQUAL "program='${PREFIX}/libexec/vorta/vorta'")
    list(APPEND failures "the launcher looks elsewhere: ${installed_line} ${program_line}")
endif()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "The installed file list is wrong:\n  ${text}")
endif()
list(LENGTH everything count)
message(STATUS "${count} files installed where expected")
