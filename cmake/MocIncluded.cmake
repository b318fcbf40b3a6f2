# SPDX-License-Identifier: GPL-3.0-or-later
# A window test is one file whose test class is moc'ed into NAME.moc, which the file includes at
# its end:
#   morvanta_moc_included(workshopTests JobTest.cpp)   JobTest.moc, made before JobTest.cpp
# AUTOMOC would do the same, but for each program it also runs the compiler once for its macros
# and compiles an empty file against the program's precompiled header of Qt.
function(morvanta_moc_included target source)
    get_filename_component(name ${source} NAME_WE)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_moc)
    qt6_generate_moc(${CMAKE_CURRENT_SOURCE_DIR}/${source} ${folder}/${name}.moc TARGET ${target})
    target_sources(${target} PRIVATE ${folder}/${name}.moc)
    target_include_directories(${target} PRIVATE ${folder})
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endfunction()
