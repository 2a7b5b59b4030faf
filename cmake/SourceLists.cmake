# Every source file belongs to a target because a CMakeLists.txt names it;
# nothing joins a target because of its name or its folder. Two helpers keep
# it so:
#   od_gui_sources(TARGET FILE...)  window sources: built into TARGET when the
#                                   windows are built (OD_BUILD_GUI), named as
#                                   listed either way
#   od_check_sources_listed(FOLDER...)
#                                   fails configuration when a .cpp, .h or .ui
#                                   file under one of the folders is listed by
#                                   no target, so a new file cannot silently
#                                   drop out of the build
# and od_check_core_without_qt() keeps Qt away from the core library, whose
# sources must not include a widget header.

# Files listed for a target that this configuration does not build.
function(od_sources_not_built)
  foreach(source IN LISTS ARGN)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE path)
    set_property(GLOBAL APPEND PROPERTY OD_SOURCES_NOT_BUILT ${path})
  endforeach()
endfunction()

function(od_gui_sources target)
  if(OD_BUILD_GUI)
    target_sources(${target} PRIVATE ${ARGN})
  else()
    od_sources_not_built(${ARGN})
  endif()
endfunction()

function(_od_targets_below directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    _od_targets_below(${subdirectory} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(od_check_sources_listed)
  _od_targets_below(${CMAKE_SOURCE_DIR} targets)
  get_property(listed GLOBAL PROPERTY OD_SOURCES_NOT_BUILT)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    get_target_property(base ${target} SOURCE_DIR)
    if(NOT sources)
      continue()
    endif()
    foreach(source IN LISTS sources)
      if(source MATCHES "\\$<")
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${base} NORMALIZE OUTPUT_VARIABLE path)
      list(APPEND listed ${path})
    endforeach()
  endforeach()

  set(unlisted)
  foreach(folder IN LISTS ARGN)
    set(root ${CMAKE_SOURCE_DIR}/${folder})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${root}/*.cpp ${root}/*.h ${root}/*.ui)
    foreach(candidate IN LISTS found)
      if(NOT candidate IN_LIST listed)
        file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR} ${candidate})
        string(APPEND unlisted "\n  ${name}")
      endif()
    endforeach()
  endforeach()
  if(unlisted)
    message(FATAL_ERROR "These files are listed by no target, so they would not be built:${unlisted}\n"
      "Name each in its folder's CMakeLists.txt: core sources with target_sources(odcore PRIVATE ...), "
      "window sources with od_gui_sources(odgui ...). A subsystem folder that has no CMakeLists.txt yet "
      "gets one and joins OD_FOLDERS in the top-level CMakeLists.txt.")
  endif()
endfunction()

function(od_check_core_without_qt)
  get_target_property(libraries odcore LINK_LIBRARIES)
  get_target_property(includes odcore INCLUDE_DIRECTORIES)
  if("${libraries};${includes}" MATCHES "Qt6|qt6")
    message(FATAL_ERROR "odcore must not use Qt (found in its libraries or include folders: "
      "${libraries};${includes}); window code belongs in odgui.")
  endif()
endfunction()
