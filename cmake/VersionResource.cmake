# The project's version, in the one place it is kept (project() in the top
# CMakeLists.txt), for the sources and for Windows' version resources.
set(HIDBRIDGE_COPYRIGHT "Copyright (C) the HidBridge authors")
set(HIDBRIDGE_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${HIDBRIDGE_GENERATED_DIR}/hidbridge_version.h @ONLY)

# Gives a Windows target the version resource of its file, such as
# HidBridge.x32, with that description.
function(add_version_resource target file description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(VERSION_FILE_TYPE VFT_DLL)
  else()
    set(VERSION_FILE_TYPE VFT_APP)
  endif()
  set(VERSION_TARGET_NAME ${target})
  set(VERSION_TARGET_FILE ${file})
  set(VERSION_DESCRIPTION "${description}")
  set(rc ${HIDBRIDGE_GENERATED_DIR}/${target}_version.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
