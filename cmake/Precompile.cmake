# SPDX-License-Identifier: GPL-3.0-or-later
# Precompiled headers for the targets of many files. Two thirds of compiling one of our files is
# reading the standard library, Qt or GoogleTest again; read once per target, a cold build of
# both CI builds takes about a third less processor time. Off (-DMORVANTA_PRECOMPILE=OFF), every
# file must still compile from its own includes: the headers below only come first, they never
# stand in for an include a file needs.
#   morvanta_precompile(morvanta_engine std)       the standard library
#   morvanta_precompile(engine_tests gtest)        and GoogleTest
#   morvanta_precompile(morvanta_workshop qt)      and Qt Widgets
#   morvanta_precompile(uiTests qttest)            and Qt Test
#   morvanta_precompile(workshopMemoryTest workshopTests)   the same headers, compiled once
option(MORVANTA_PRECOMPILE "Precompile the standard, Qt and GoogleTest headers per target" ON)

set(MORVANTA_PRECOMPILED_STD <algorithm> <cmath> <cstdint> <functional> <map> <memory> <optional>
    <string> <string_view> <utility> <vector>)
set(MORVANTA_PRECOMPILED_QT <QApplication> <QLabel> <QLineEdit> <QMessageBox> <QPainter>
    <QPushButton> <QString> <QTimer> <QWidget>)

function(morvanta_precompile target kind)
    if(NOT MORVANTA_PRECOMPILE)
        return()
    endif()
    set(headers ${MORVANTA_PRECOMPILED_STD})
    if(kind STREQUAL "std")
        # With libstdc++ precompiled, GCC 12 at -O3 (CMake's Release; Debian's flags and the
        # tests' own code are -O2 and less) reports array bounds and object sizes inside
        # std::string's own code that it keeps quiet without: false alarms like -Wrestrict's.
        string(TOUPPER "${CMAKE_BUILD_TYPE}" type)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13 AND
           " ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${type}} " MATCHES " -O3 ")
            return()
        endif()
    elseif(kind STREQUAL "gtest")
        list(APPEND headers <gtest/gtest.h>)
    elseif(kind STREQUAL "qt")
        list(APPEND headers ${MORVANTA_PRECOMPILED_QT})
    elseif(kind STREQUAL "qttest")
        # The test programs are a few batches of files each. GCC takes longer to make this header
        # (10 s) than it saves them all in reading it (under 1 s a batch); clang makes it in 4 s
        # and saves 2 s a batch.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            return()
        endif()
        list(APPEND headers ${MORVANTA_PRECOMPILED_QT} <QTest>)
    elseif(TARGET ${kind})
        get_target_property(made ${kind} PRECOMPILE_HEADERS)
        if(made)
            target_precompile_headers(${target} REUSE_FROM ${kind})
        endif()
        return()
    else()
        message(FATAL_ERROR "morvanta_precompile: no headers named ${kind}")
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
    # Clang stamps a precompiled header with the times of the files read, so that every new
    # checkout makes a different one and ccache finds nothing built from it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        target_compile_options(${target} PRIVATE "SHELL:-Xclang -fno-pch-timestamp")
    endif()
endfunction()
