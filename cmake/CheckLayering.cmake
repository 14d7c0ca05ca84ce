# Checks the layering of the sources; run by CTest:
#   cmake -DSOURCE_DIR=<project> -DQT_CORE_INCLUDE=<QtCore include folder> -P CheckLayering.cmake
#
# - The core modules use QtCore only: no QtGui, QtWidgets or other Qt module
#   header, in either form (<QtGui/QColor> or a class header that QtCore
#   does not have).
# - Dependencies point down: each core module includes only its own headers
#   and those of the modules it may use; src/io, the file layer, none.
# - A header named *_p.h is private to its module.
# - The core names things in English: an identifier of the core modules
#   (comments and string literals aside) holds no historical name of the
#   original program's windows ("liste_", "debut_rad", "fin_rad",
#   "nb_traits", "langue").  Those names live on as strings written once at
#   the edges, and as window, control and handler names in src/app.
cmake_minimum_required(VERSION 3.25)

# io is at the bottom: every core module may use it, it uses none of ours.
set(allowed_io io)
set(allowed_dictionary dictionary io)
set(allowed_lookup dictionary lookup io)
# search may use lookup (one way only): the completion over search results
# (search/resultcompletion.h) starts from the prefix index of the lookup
# field the results come from.
set(allowed_search dictionary lookup search io)
set(allowed_translate dictionary translate io)
set(allowed_settings settings io)
set(allowed_strokes strokes io)
set(allowed_speech speech io)
set(core_modules io dictionary lookup search translate settings strokes speech)
set(all_modules ${core_modules} app)

set(problems "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
     "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp"
     "${SOURCE_DIR}/tests/*.h" "${SOURCE_DIR}/tests/*.cpp"
     "${SOURCE_DIR}/bench/*.h" "${SOURCE_DIR}/bench/*.cpp")
foreach(file IN LISTS sources)
    set(module "")
    if(file MATCHES "^src/([a-z]+)/")
        set(module "${CMAKE_MATCH_1}")
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
        # Private headers stay inside their module.
        if(header MATCHES "^([a-z]+)/[^/]+_p\\.h$" AND NOT CMAKE_MATCH_1 STREQUAL module)
            list(APPEND problems "${file}: includes ${header}, private to src/${CMAKE_MATCH_1}")
        endif()
        if(NOT module IN_LIST core_modules)
            continue()
        endif()
        if(header MATCHES "^(Qt[A-Za-z]+)/" AND NOT CMAKE_MATCH_1 STREQUAL "QtCore")
            list(APPEND problems "${file}: includes ${header}, not part of QtCore")
        elseif(header MATCHES "^Q[A-Za-z0-9]+$" AND NOT EXISTS "${QT_CORE_INCLUDE}/${header}")
            list(APPEND problems "${file}: includes <${header}>, not a QtCore header")
        elseif(header MATCHES "^([a-z]+)/")
            set(target "${CMAKE_MATCH_1}")
            if(target IN_LIST all_modules AND NOT target IN_LIST allowed_${module})
                list(APPEND problems "${file}: src/${module} may not include ${header}")
            endif()
        endif()
    endforeach()
    if(module IN_LIST core_modules)
        file(READ "${SOURCE_DIR}/${file}" code)
        # Blank out escapes, character literals, string literals, then
        # comments ("//" inside a string is gone by then).
        string(REGEX REPLACE "\\\\." "_" code "${code}")
        string(REGEX REPLACE "'[^'\n]'" "''" code "${code}")
        string(REGEX REPLACE "\"[^\"\n]*\"" "\"\"" code "${code}")
        string(REGEX REPLACE "//[^\n]*" "" code "${code}")
        string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" code "${code}")
        string(REGEX MATCHALL "[A-Za-z0-9_]*(liste_|debut_rad|fin_rad|nb_traits|[Ll]angue)[A-Za-z0-9_]*"
               historical "${code}")
        if(historical)
            list(REMOVE_DUPLICATES historical)
            list(JOIN historical ", " names)
            list(APPEND problems "${file}: historical names as identifiers in the core: ${names}")
        endif()
    endif()
endforeach()

if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "Layering broken:\n${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layering holds in ${count} files")
