# Two builds of one commit give the same bytes, wherever they are built:
# no build paths in the objects, no link time in the PE header, and one
# timestamp for everything that must carry one (the MSIs and their cabinets):
# SOURCE_DATE_EPOCH when the caller sets it, else the commit's own time.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
add_link_options(-Wl,--no-insert-timestamp)

include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)
