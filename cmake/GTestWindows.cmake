# GoogleTest and GoogleMock for the mingw-w64 builds, compiled from the sources
# that Debian's googletest package ships. Their own sources are built without our
# warning flags; their headers are system headers, so our strict warnings do not
# fire on them in our tests either.
set(TAV_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS "${TAV_GTEST_SOURCE_DIR}/googletest/src/gtest-all.cc")
  message(FATAL_ERROR "GoogleTest sources not found in ${TAV_GTEST_SOURCE_DIR} (install the googletest package)")
endif()

set(TAV_GTEST_DIR "${TAV_GTEST_SOURCE_DIR}/googletest")
set(TAV_GMOCK_DIR "${TAV_GTEST_SOURCE_DIR}/googlemock")

function(tav_add_gtest_library in_l_name)
  add_library(${in_l_name} STATIC ${ARGN})
  # Replace the directory's options (our -Werror set) for these third-party sources.
  set_target_properties(${in_l_name} PROPERTIES COMPILE_OPTIONS "-w")
  target_include_directories(${in_l_name} PRIVATE "${TAV_GTEST_DIR}" "${TAV_GMOCK_DIR}")
  target_include_directories(${in_l_name} SYSTEM PUBLIC "${TAV_GTEST_DIR}/include" "${TAV_GMOCK_DIR}/include")
endfunction()

tav_add_gtest_library(tav_gtest "${TAV_GTEST_DIR}/src/gtest-all.cc")
tav_add_gtest_library(tav_gtest_main "${TAV_GTEST_DIR}/src/gtest_main.cc")
tav_add_gtest_library(tav_gmock "${TAV_GMOCK_DIR}/src/gmock-all.cc")
target_link_libraries(tav_gtest_main PUBLIC tav_gtest)
target_link_libraries(tav_gmock PUBLIC tav_gtest)

add_library(GTest::gtest ALIAS tav_gtest)
add_library(GTest::gtest_main ALIAS tav_gtest_main)
add_library(GTest::gmock ALIAS tav_gmock)
