# The version record that Explorer shows in a program's properties, filled
# from the project's version. Each program gets its own script, configured
# into its build folder and compiled into that program alone, so that the
# tests that link the client's other resources carry none.
#
#   wobble_version_resource(TARGET "File description")
function(wobble_version_resource target description)
  set(WOBBLE_FILE_DESCRIPTION "${description}")
  set(WOBBLE_FILE_NAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/res/Version.rc.in" "${script}" @ONLY)
  target_sources(${target} PRIVATE "${script}")
endfunction()
