# Two builds of one commit give the same bytes, wherever they are built:
# no build paths in the objects, no link time in the PE header, and one
# timestamp for everything that must carry one (the MSIs and their cabinets):
# SOURCE_DATE_EPOCH when the caller sets it, else the commit's own time.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
add_link_options(-Wl,--no-insert-timestamp)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TAV_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE TAV_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE l_git_result ERROR_QUIET)
  if(NOT l_git_result EQUAL 0)
    # Not a git checkout (a source archive): a fixed time, still the same every build.
    set(TAV_SOURCE_DATE_EPOCH 315532800)
  endif()
endif()
if(NOT TAV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$" OR TAV_SOURCE_DATE_EPOCH LESS 315532800)
  message(FATAL_ERROR "SOURCE_DATE_EPOCH '${TAV_SOURCE_DATE_EPOCH}' is not a time after 1980 in seconds")
endif()
