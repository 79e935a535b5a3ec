# One timestamp for everything a release must date (the MSIs and their
# cabinets, the Debian package): SOURCE_DATE_EPOCH when the caller sets it,
# else the commit's own time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(l_epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE l_epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE l_git_result ERROR_QUIET)
  if(NOT l_git_result EQUAL 0)
    # Not a git checkout (a source archive): a fixed time, still the same every build.
    set(l_epoch 315532800)
  endif()
endif()
if(NOT l_epoch MATCHES "^[0-9]+$" OR l_epoch LESS 315532800)
  message(FATAL_ERROR "SOURCE_DATE_EPOCH '${l_epoch}' is not a time after 1980 in seconds")
endif()
# In the cache, so that a second build can be pinned to this one's time.
set(TAV_SOURCE_DATE_EPOCH "${l_epoch}" CACHE INTERNAL "Source time of the release artefacts")
