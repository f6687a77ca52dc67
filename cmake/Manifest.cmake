# A program's application manifest, embedded as its manifest resource
# (type 24, id 1), which Windows reads before the program starts.
#
#   wobble_manifest(TARGET path/to/file.manifest)
#
# Each program gets its own: the client's (per-monitor DPI, visual styles)
# is also given to the test programs that make the client's windows, so that
# they run as the client runs.
function(wobble_manifest target manifest)
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc")
  file(CONFIGURE OUTPUT "${script}" CONTENT "1 24 \"${manifest}\"\n")
  target_sources(${target} PRIVATE "${script}")
  set_source_files_properties("${script}" PROPERTIES OBJECT_DEPENDS "${manifest}")
endfunction()

set(WOBBLE_CLIENT_MANIFEST "${PROJECT_SOURCE_DIR}/res/WobbleMiniChat.manifest")
set(WOBBLE_SERVICE_MANIFEST "${PROJECT_SOURCE_DIR}/res/Service.manifest")
